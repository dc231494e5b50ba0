// Generated text for the consistency tests: English-like prose with
// everything the conversions treat specially sprinkled through it, and
// its entity-encoded and percent-encoded forms. The generator is seeded,
// so every run sees the same few hundred kilobytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "convert/entity_table.h"

class TextGenerator {
 public:
  explicit TextGenerator(uint64_t seed) : state_(seed) {}

  uint32_t Next() {
    // splitmix64: small, fast and the same on every platform.
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<uint32_t>((z ^ (z >> 31)) >> 16);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
  bool Percent(int p) { return Below(100) < p; }
  template <class T, int N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(N)];
  }

  // One sentence of prose with its trailing separator.
  std::u16string Sentence() {
    std::u16string s;
    const int words = 3 + Below(12);
    for (int w = 0; w < words; ++w) {
      if (w > 0) s += Separator();
      s += Word(w == 0);
    }
    s += Pick(Endings);
    if (Percent(25)) s = Quoted(s);
    return s;
  }

  // Prose of about length units, cut there.
  std::u16string Text(size_t length) {
    std::u16string s;
    while (s.size() < length) {
      s += Sentence();
      s += Percent(15) ? std::u16string(Pick(LineBreaks)) : std::u16string(u" ");
    }
    s.resize(length);
    return s;
  }

  // A line of prose, as a batch file would pass one: never empty.
  std::u16string Line() {
    std::u16string s = Sentence();
    if (Percent(40)) s += u" " + Sentence();
    if (Percent(10)) s = Pick(LeadingSpace) + s;
    return s;
  }

 private:
  static constexpr const char16_t* Words[] = {
      u"the",   u"quick", u"brown", u"fox",     u"jumps",  u"over",   u"lazy",   u"dog",   u"and",
      u"a",     u"of",    u"to",    u"in",      u"that",   u"it",     u"was",    u"for",   u"on",
      u"batch", u"file",  u"table", u"text",    u"entity", u"quote",  u"line",   u"night", u"year",
      u"rock",  u"roll",  u"tall",  u"clock",   u"Silver", u"Quick",  u"Hello",  u"said",  u"she",
      u"5",     u"42",    u"1999",  u"3.14",    u"x2",     u"café",   u"naïve",  u"Zürich", u"façade",
      u"αβγ",   u"Ωmega", u"漢字",  u"Straße",  u"œuvre",  u"×",      u"÷",      u"x²",    u"10³",
      u"AT&T",  u"R&D",   u"a<b",   u"x>y",     u"a|b",    u"€5",     u"100%",   u"#1",    u"@home",
      u"e-mail", u"co-op", u"well-known", u"C++", u"http://example.org/a?b=c&d=e", u"user_name",
      u"don't", u"it's",  u"o'clock", u"we're", u"you'll", u"rock 'n' roll", u"'tis", u"'Twas",
      u"'twixt", u"'em",  u"'99",   u"the '80s", u"5'",     u"6' 2\"",  u"x''",    u"'TWAS", u"'twas2",
      u"'tisn\x2019t", u"\xFF07tis", u"\x2018tis", u"rock \x2019n\x2019 roll",
      u"\xFF1C" u"b\xFF1E" u"bold\xFF1C/b\xFF1E", u"\xFF1C" u"a href=\"x\"\xFF1E" u"link\xFF1C/a\xFF1E",
      u"\xFF1E", u"\xFF06", u"\xFF05" u"41", u"\xFF10\xFF11", u"\xFF1Bsemi", u"\xFF03",
      u"\x2014", u"\x201C" u"curly\x201D", u"\x2018single\x2019", u"\x2190\x2191\x2192\x2193", u"\x20AC",
      u"\x0018\x0019\x001A\x001B", u"\U0001F600", u"\xD800", u"\xDC00", u"a\x00A0" u"b", u"\x2003",
      u"--start", u"end--", u"a--b", u"a---b", u"a----b", u"-", u"--", u"&", u"\"", u"'",
  };
  static constexpr const char16_t* Separators[] = {
      u" ", u" ", u" ", u" ", u" ", u" ", u" ", u", ", u"; ", u": ", u" -- ", u" --", u"--", u"  ",
      u"\t", u" & ", u"  & ", u" - ", u" \x2014", u"\x00A0", u" \x00A0 ", u"\x000B", u" \x000C ",
      u" | ", u" < ", u" > ", u"\r\n", u" (", u") ",
  };
  static constexpr const char16_t* Endings[] = {u".", u".", u".", u"!", u"?", u",", u"...", u"",
                                                 u":", u" --", u"'", u"\""};
  static constexpr const char16_t* LineBreaks[] = {u"\n", u"\r\n", u"\n\n", u"\t", u" \n "};
  static constexpr const char16_t* LeadingSpace[] = {u" ", u"  ", u"\t", u"\x00A0", u"\x3000"};

  std::u16string Word(bool first) {
    std::u16string w = Pick(Words);
    if (first && !w.empty() && w[0] >= u'a' && w[0] <= u'z' && Percent(60)) w[0] = char16_t(w[0] - 32);
    if (Percent(4)) w = u"'" + w + u"'";
    if (Percent(3)) w = u"\"" + w + u"\"";
    return w;
  }
  std::u16string Separator() { return Percent(80) ? u" " : Pick(Separators); }
  std::u16string Quoted(const std::u16string& s) {
    switch (Below(3)) {
      case 0: return u"\"" + s + u"\" " + Word(false) + u" said.";
      case 1: return u"'" + s + u"' " + Word(false) + u" said.";
      default: return s;
    }
  }

  uint64_t state_;
};

// Plain text: many lines and a few chunks up to the buffer's size.
inline std::vector<std::u16string> PlainCorpus() {
  TextGenerator gen(20260101);
  std::vector<std::u16string> pieces;
  for (int i = 0; i < 1500; ++i) pieces.push_back(gen.Line());
  for (size_t length : {200, 1000, 4000, 9000, 12000, 16000, 16383, 16383}) pieces.push_back(gen.Text(length));
  return pieces;
}

// The plain text with entities: the markup characters escaped, and
// references of every kind, well- and ill-formed, spread through it.
inline std::u16string EncodeEntities(const std::u16string& plain, TextGenerator& gen) {
  static constexpr const char16_t* OddReferences[] = {
      u"&#65;",   u"&#00065;", u"&#x42;",     u"&#X43;",    u"&#xfF;",    u"&#0;",     u"&#x0;",
      u"&#12a;",  u"&#;",      u"&#x;",       u"&#xZ;",     u"&#-5;",     u"&#\x00B2;", u"&#x41 ",
      u"&#128512;", u"&#x1F600;", u"&#1114112;", u"&#x110000;", u"&#99999999999999;", u"&#xD800;",
      u"& ",      u"&amp",     u"&amp x;",    u"&&amp;",    u"& amp;",    u"&abcdefghijk;", u"&abcdefghijkl;",
      u"&;",      u"&",        u"&Alpha;",    u"&AMP;",     u"&sub;",     u"&foo;",    u"AT&T; x",
      u"\xFF06lt;", u"&lt\xFF1B", u"&\xFF03" u"65;", u"&#x6a;", u"&thetasym;", u"&apos;",
  };
  std::u16string out;
  for (char16_t c : plain) {
    switch (c) {
      case u'&': out += u"&amp;"; break;
      case u'<': out += u"&lt;"; break;
      case u'>': out += u"&gt;"; break;
      case u'"': out += gen.Percent(50) ? u"&quot;" : u"&#34;"; break;
      case u'\'': out += gen.Percent(50) ? u"&#x27;" : u"&rsquo;"; break;
      default: out += c;
    }
    if (gen.Percent(3)) {
      const NamedEntityRow& row = NamedEntityTable[gen.Below(NAMED_ENTITY_COUNT)];
      out += u'&';
      out += row.name;
      out += u';';
    } else if (gen.Percent(1)) {
      out += gen.Pick(OddReferences);
    }
  }
  return out;
}

// The plain text with percent escapes, in both cases and with U+FF05,
// and malformed ones.
inline std::u16string EncodePercent(const std::u16string& plain, TextGenerator& gen) {
  static constexpr const char16_t* Odd[] = {u"%4",  u"%zz%", u"%g1%1g", u"100%", u"%00x", u"%%41",
                                             u"\xFF05" u"41", u"%\xFF14" u"1", u"\xFF1Cp\xFF1E", u"%"};
  static constexpr char16_t Upper[] = u"0123456789ABCDEF";
  static constexpr char16_t Lower[] = u"0123456789abcdef";
  std::u16string out;
  for (char16_t c : plain) {
    const bool alnum = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    if (c <= 0xFF && !alnum && gen.Percent(85)) {
      const char16_t* digits = gen.Percent(70) ? Upper : Lower;
      out += gen.Percent(90) ? u'%' : char16_t(0xFF05);
      out += digits[c >> 4];
      out += digits[c & 0xF];
    } else {
      out += c;
    }
    if (gen.Percent(1)) out += gen.Pick(Odd);
  }
  return out;
}
