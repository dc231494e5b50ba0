// The contraction test of the single-quote rule.
#include "convert/contraction.h"

#include "kelvo/charclass.h"
#include "kelvo/text.h"

namespace {

// Every entry starts with an apostrophe and is at most this long.
constexpr int LONGEST_CONTRACTION = 10;

struct Contraction {
  const char16_t* text;
  int length;
};

template <int N>
constexpr Contraction Word(const char16_t (&text)[N]) {
  return {text, N - 1};
}

constexpr Contraction ContractionList[] = {
    Word(u"'cos"),   Word(u"'cus"),     Word(u"'em"),    Word(u"'mid"),     Word(u"'mongst"),
    Word(u"'n"),     Word(u"'n'"),      Word(u"'neath"), Word(u"'tain't"),  Word(u"'til"),
    Word(u"'tis"),   Word(u"'tisn't"),  Word(u"'twas"),  Word(u"'twasn't"), Word(u"'tween"),
    Word(u"'twere"), Word(u"'twern't"), Word(u"'twixt"), Word(u"'twould"),  Word(u"'twouldn't"),
    Word(u"'un"),
};

// The character as the word compares it: ASCII letters lowered, the
// typographic and fullwidth apostrophes read as the plain one.
char16_t WordChar(char16_t c) {
  c = LowerAscii(c);
  if (c == 0x2018 || c == 0x2019 || c == 0xFF07) return u'\'';
  return c;
}

bool Matches(const Contraction& entry, const char16_t* word, int length) {
  if (entry.length != length) return false;
  for (int i = 0; i < length; ++i) {
    if (entry.text[i] != word[i]) return false;
  }
  return true;
}

}  // namespace

bool IsContraction(const char16_t* apostrophe) {
  // A word longer than every entry cannot match, so the gathering stops
  // one character past the longest entry: the result is the same as for
  // the whole word.
  char16_t word[LONGEST_CONTRACTION + 1];
  int length = 0;
  for (;;) {
    const char16_t c = WordChar(apostrophe[length]);
    if (c != u'\'' && !IsAlphaChar(c)) break;
    if (length == LONGEST_CONTRACTION) return false;
    word[length++] = c;
  }
  for (const Contraction& entry : ContractionList) {
    if (Matches(entry, word, length)) return true;
  }
  return false;
}
