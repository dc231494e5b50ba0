#include "models.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cwchar>
#include <vector>

#include "convert/entity_table.h"
#include "kelvo/charclass.h"
#include "kelvo/limits.h"
#include "kelvo/markup.h"
#include "utf8.h"

namespace {

// A result that keeps to its capacity: once something has not fitted,
// nothing more goes in, and a pair whose low half did not fit loses its
// high half too.
struct Result {
  std::u16string text;
  size_t capacity;
  bool closed = false;

  void Cut(char16_t refused) {
    if (closed) return;
    closed = true;
    if (refused >= 0xDC00 && refused <= 0xDFFF && !text.empty() && text.back() >= 0xD800 &&
        text.back() <= 0xDBFF)
      text.pop_back();
  }
  void Char(char16_t c) {
    if (closed || text.size() >= capacity) return Cut(c);
    text += c;
  }
  void Piece(const std::u16string& piece) {
    if (closed) return;
    if (text.size() + piece.size() > capacity) return Cut(piece[0]);
    text += piece;
  }
  void Entity(const char16_t* name) { Piece(std::u16string(1, MARK_AMP) + name); }
};

const char16_t* const ContractionList[] = {
    u"'cos",   u"'cus",     u"'em",     u"'mid",    u"'mongst",   u"'n",      u"'n'",
    u"'neath", u"'tain't",  u"'til",    u"'tis",    u"'tisn't",   u"'twas",   u"'twasn't",
    u"'tween", u"'twere",   u"'twern't", u"'twixt", u"'twould",   u"'twouldn't", u"'un"};

bool ModelIsContraction(const std::u16string& in, size_t at) {
  std::u16string word;
  for (size_t i = at; i < in.size() && word.size() < 1023; ++i) {
    char16_t c = in[i];
    if (c >= u'A' && c <= u'Z') c = char16_t(c + 32);
    if (c == 0x2018 || c == 0x2019 || c == 0xFF07) c = u'\'';
    if (c != u'\'' && !IsAlphaChar(c)) break;
    word += c;
  }
  for (const char16_t* entry : ContractionList)
    if (word == entry) return true;
  return false;
}

bool EndsLine(char16_t c) { return c == 0 || c == u'\n' || c == u'\r'; }

}  // namespace

std::u16string ModelEntitize(const std::u16string& text, const Options& s, int capacity) {
  // The input up to its first NUL, then NULs to read ahead into.
  std::u16string in = text.substr(0, text.find(char16_t(0)));
  const size_t length = in.size();
  in.append(4, char16_t(0));
  auto at = [&](size_t i) { return i < in.size() ? in[i] : char16_t(0); };

  Result out{std::u16string(), size_t(capacity)};
  char16_t prev = u' ';
  bool protect = false;
  size_t i = 0;
  while (i <= length) {
    const size_t pos = i;
    const char16_t ch = in[i++];
    if (ch == 0) break;
    if (ch == MARK_LT) protect = true;
    if (ch == MARK_GT) protect = false;
    if (protect) {
      out.Char(ch);
      prev = ch;
      continue;
    }
    const char16_t next = at(i);
    char16_t after = ch;
    switch (ch) {
      case 0x18: case 0x2191: out.Entity(u"uarr;"); break;
      case 0x19: case 0x2193: out.Entity(u"darr;"); break;
      case 0x1A: case 0x2192: out.Entity(u"rarr;"); break;
      case 0x1B: case 0x2190: out.Entity(u"larr;"); break;
      case u'&': out.Entity(u"amp;"); break;
      case u'<': out.Entity(u"lt;"); break;
      case u'>': out.Entity(u"gt;"); break;
      case u'|': out.Entity(u"brvbar;"); break;
      case 0x20AC: out.Entity(u"euro;"); break;
      case u'"':
        if (s.quotes != Quotes::Always && s.quotes != Quotes::BestGuess) {
          out.Char(ch);
        } else if (s.quotes == Quotes::Always) {
          out.Entity(u"quot;");
        } else {
          const bool closing = (IsGraphicChar(prev) && prev != 0x2018) ||
                               (IsWhiteSpaceChar(prev) && EndsLine(next));
          out.Entity(closing ? u"rdquo;" : u"ldquo;");
          after = closing ? 0x201D : 0x201C;
        }
        break;
      case u'\'':
        if (s.apos != Apos::Numeric && s.apos != Apos::Named && s.apos != Apos::BestGuess) {
          out.Char(ch);
        } else if (s.apos == Apos::Numeric) {
          out.Entity(u"#39;");
        } else if (s.apos == Apos::Named) {
          out.Entity(u"apos;");
        } else {
          enum { Opening, Closing, Apostrophe } kind;
          if (IsGraphicChar(prev) && prev != 0x201C) {
            kind = (IsAlnumChar(prev) && IsAlphaChar(next)) ? Apostrophe : Closing;
          } else {
            kind = (IsWhiteSpaceChar(prev) && EndsLine(next)) ? Closing : Opening;
          }
          if (!IsAlphaChar(prev) && IsAlphaChar(next) && ModelIsContraction(in, pos))
            kind = Apostrophe;
          if (!IsAlnumChar(prev) && IsDigitChar(next) && IsDigitChar(at(i + 1)) &&
              !IsAlnumChar(at(i + 2)))
            kind = Apostrophe;
          out.Entity(kind == Opening ? u"lsquo;" : u"rsquo;");
          after = kind == Opening ? 0x2018 : kind == Closing ? 0x2019 : u'\'';
        }
        break;
      case u'-':
        if (s.dash == Dash::EmDash && prev != u'-' && prev != 0x2014 && pos <= size_t(MAX_ARG_LEN - 3) &&
            next == u'-' && at(i + 1) != u'-') {
          out.Entity(u"mdash;");
          after = 0x2014;
          ++i;
        } else {
          out.Char(ch);
        }
        break;
      case u'\t': case u'\n': case u'\r': case u' ':
        if (s.spaces != Spaces::Always && s.spaces != Spaces::BestGuess) {
          out.Char(ch);
        } else if (s.spaces == Spaces::Always) {
          out.Entity(u"nbsp;");
          after = u' ';
        } else {
          if (next == u'-' || next == 0x2014 || next == u'&') {
            out.Entity(u"nbsp;");
          } else {
            out.Char(u' ');
          }
          while (i < length && IsWhiteSpaceChar(in[i])) ++i;
          after = u' ';
        }
        break;
      default:
        out.Char(ch);
        break;
    }
    prev = after;
  }
  return out.text;
}

std::u16string ModelDeentitize(const char16_t* buffer, bool approximate) {
  auto at = [&](size_t i) { return i < size_t(MAX_TEXT_LEN) ? buffer[i] : char16_t(0); };
  std::u16string out;
  size_t i = 0;
  for (;;) {
    char16_t ch = FoldFullwidth(at(i++));
    if (ch == 0) break;
    if (ch != u'&') {
      out += ch;
      continue;
    }
    const size_t j = i;
    bool numeric = false;
    uint32_t base = 10;
    size_t digits = 0;
    if (at(j) == u'#' && at(j + 1) >= u'0' && at(j + 1) <= u'9') {
      numeric = true;
      digits = j + 1;
    } else if (at(j) == u'#' && (at(j + 1) == u'x' || at(j + 1) == u'X') &&
               IsHexDigitChar(at(j + 2))) {
      numeric = true;
      base = 16;
      digits = j + 2;
    }
    if (numeric) {
      // Digits past the last Unicode value only make the value larger.
      uint64_t value = 0;
      size_t k = digits;
      for (;; ++k) {
        const char16_t c = at(k);
        const bool digit = base == 10 ? (c >= u'0' && c <= u'9') : IsHexDigitChar(c);
        if (!digit) break;
        value = value * base + uint64_t(HexDigitValue(c));
        if (value > 0x10FFFF) value = 0x110000;
      }
      if (at(k) != u';') {
        out += MARK_AMP;
        continue;
      }
      if (value == 0 || value > 0x10FFFF) {
        out += u'?';
      } else if (value <= 0xFFFF) {
        out += char16_t(value);
      } else {
        out += char16_t(0xD800 + ((value - 0x10000) >> 10));
        out += char16_t(0xDC00 + ((value - 0x10000) & 0x3FF));
      }
      i = k + 1;
      continue;
    }
    size_t semicolon = 0;
    for (size_t m = 0; m < 12; ++m) {
      const char16_t c = at(j + m);
      if (c == 0) break;
      if (c == u';') {
        semicolon = m;
        break;
      }
    }
    if (semicolon == 0) {
      out += MARK_AMP;
      continue;
    }
    const char16_t* name = buffer + j;
    const int nameLength = int(semicolon);
    const char16_t* replacement = LookupEntityReplacement(name, nameLength);
    if (approximate && replacement != nullptr) {
      out += replacement;
    } else {
      const char16_t c = LookupNamedEntity(name, nameLength);
      out += c != 0 ? c : u'?';
    }
    i = j + semicolon + 1;
  }
  return out;
}

namespace {

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendCodePoint(std::u16string* out, char32_t c) {
  if (c < 0x10000) {
    *out += char16_t(c);
  } else {
    *out += char16_t(0xD800 + ((c - 0x10000) >> 10));
    *out += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
  }
}

}  // namespace

std::u16string ModelKeepSet(bool present, const std::u16string& value) {
  if (!present) return u"#$+-./:;=?@_";
  // Characters: a pair is taken whole, a lone surrogate not at all.
  std::u16string keep;
  for (size_t i = 0; i < value.size(); ++i) {
    const char16_t k = value[i];
    if (IsHigh(k) && i + 1 < value.size() && IsLow(value[i + 1])) {
      keep += value.substr(i++, 2);
    } else if (k > 0x20 && k != u'%' && !IsAlnumChar(k) && !IsSurrogate(k)) {
      keep += k;
    }
  }
  return keep;
}

std::u16string ModelHexenc(const std::u16string& text, const std::u16string& keep) {
  static constexpr char16_t HexDigits[] = u"0123456789ABCDEF";
  const size_t length = std::min(text.size(), size_t(MAX_TEXT_LEN));
  Result out{std::u16string(), size_t(MAX_TEXT_LEN)};
  for (size_t i = 0; i < length; ++i) {
    const char16_t c = FoldFullwidth(text[i]);
    if (c == 0) break;
    // The keep-set holds only whole characters, so a match of a pair's
    // two units is a kept pair.
    const bool pair = IsHigh(c) && i + 1 < length && IsLow(text[i + 1]);
    const std::u16string character = pair ? text.substr(i, 2) : std::u16string(1, c);
    if (IsAlnumChar(c) || (!IsSurrogate(c) && keep.find(c) != std::u16string::npos) ||
        (pair && keep.find(character) != std::u16string::npos)) {
      for (char16_t u : character) out.Char(u);
    } else if (c <= 0xFF) {
      out.Piece({MARK_PERCENT, HexDigits[c >> 4], HexDigits[c & 15]});
    } else {
      std::u16string escapes;
      for (unsigned char byte : Utf8Of(character, LoneSurrogates::Replace)) {
        escapes += MARK_PERCENT;
        escapes += HexDigits[byte >> 4];
        escapes += HexDigits[byte & 15];
      }
      out.Piece(escapes);
    }
    if (pair) ++i;
  }
  return out.text;
}

std::u16string ModelHexdec(const char16_t* buffer) {
  auto at = [&](size_t i) { return i < size_t(MAX_TEXT_LEN) ? buffer[i] : char16_t(0); };
  // The byte of the escape at i, or -1.
  auto escape = [&](size_t i) {
    if (FoldFullwidth(at(i)) != u'%' || !IsHexDigitChar(at(i + 1)) || !IsHexDigitChar(at(i + 2))) return -1;
    return HexDigitValue(at(i + 1)) * 16 + HexDigitValue(at(i + 2));
  };
  std::u16string out;
  for (size_t i = 0;;) {
    const int byte = escape(i);
    if (byte >= 0) {
      // Bytes 11xxxxxx announce a sequence as long as their leading ones;
      // it counts when every byte after the first is 10xxxxxx and the
      // value is one only this length can hold, no surrogate, and within
      // Unicode.
      const int length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
      char32_t c = char32_t(byte & (0x7F >> length));
      bool whole = length > 1 && byte < 0xF8;
      for (int k = 1; whole && k < length; ++k) {
        const int next = escape(i + 3 * size_t(k));
        whole = next >= 0x80 && next <= 0xBF;
        c = c << 6 | char32_t(next & 0x3F);
      }
      const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
      if (whole && c >= least[length] && c <= 0x10FFFF && !IsSurrogate(c)) {
        AppendCodePoint(&out, c);
        i += 3 * size_t(length);
      } else {
        out += byte != 0 ? char16_t(byte) : u'?';
        i += 3;
      }
      continue;
    }
    const char16_t c = FoldFullwidth(at(i++));
    if (c == 0) break;
    out += c;
  }
  return out;
}

std::u16string ModelHexRoundTrip(const std::u16string& text, const std::u16string& keep) {
  const size_t length = std::min(text.size(), size_t(MAX_TEXT_LEN));
  auto escaped = [&](char16_t c) { return c <= 0xFF && !IsAlnumChar(c) && keep.find(c) == std::u16string::npos; };
  std::u16string out;
  for (size_t i = 0; i < length; ++i) {
    const char16_t c = FoldFullwidth(text[i]);
    if (c == 0) break;
    if (IsHigh(c) && i + 1 < length && IsLow(text[i + 1])) {
      out += text.substr(i++, 2);
    } else if (IsSurrogate(c)) {
      out += char16_t(0xFFFD);
    } else if (c == 0xD7 && escaped(c) && i + 1 < length && text[i + 1] >= 0x80 && text[i + 1] <= 0xBF &&
               escaped(text[i + 1])) {
      // 110 10111, 10 xxxxxx: U+05C0 and the low six bits.
      out += char16_t(0x5C0 | (text[++i] & 0x3F));
    } else {
      out += c;
    }
  }
  return out;
}

std::u16string ModelHexencWithKeep(const std::u16string& text, const std::u16string& keepValue) {
  return ModelHexenc(text.substr(0, text.find(char16_t(0))), ModelKeepSet(!keepValue.empty(), keepValue));
}

namespace {

size_t SkipWhiteSpace(const std::u16string& s) {
  size_t i = 0;
  while (i < s.size() && IsWhiteSpaceChar(s[i])) ++i;
  return i;
}

std::u16string Decimal(unsigned value) {
  std::u16string digits;
  do digits.insert(digits.begin(), char16_t(u'0' + value % 10));
  while ((value /= 10) != 0);
  return digits;
}

}  // namespace

ModelOutcome ModelTag(const std::u16string& argument) {
  const std::u16string tag = argument.substr(SkipWhiteSpace(argument));
  if (tag.empty()) return {u"", u"Missing tag name\r\n"};
  if (tag.size() >= 16381) return {u"", u"Tag name too long\r\n"};
  return {MARK_LT + tag + MARK_GT};
}

// Refused when the comment as written, blanks included, would not fit.
ModelOutcome ModelComment(const std::u16string& argument) {
  const std::u16string text = ModelCommentText(argument);
  if (text.size() > 16374) return {u"", u"Comment too long\r\n"};
  return {std::u16string(1, MARK_LT) + u"!-- " + text + u" --" + MARK_GT};
}

ModelOutcome ModelMakeEntity(const std::u16string& argument) {
  if (argument.empty()) return {u"", u"Missing argument\r\n"};
  if (argument.size() >= 2) {
    std::u16string name = argument[0] == u'&' ? argument.substr(1) : argument;
    if (name.back() != u';') name += u';';
    // An entity cut before its ';' would be broken: refused instead.
    if (name.size() + 1 > size_t(MAX_TEXT_LEN)) return {u"", u"Entity name too long\r\n"};
    return {MARK_AMP + name};
  }
  const std::u16string entity = ModelEntitize(
      argument, {.quotes = Quotes::Always, .spaces = Spaces::Always, .dash = Dash::Never, .apos = Apos::Numeric},
      MAX_TEXT_LEN);
  if (entity.size() > 1) return {entity};
  return {MARK_AMP + (u"#" + Decimal(argument[0])) + u";"};
}

ModelOutcome ModelEntag(const std::u16string& argument, const Options& options) {
  // The tag text runs to the first comma outside double quotes; its name
  // ends at its first white space outside them.
  const size_t start = SkipWhiteSpace(argument);
  size_t end = start;
  size_t nameEnd = std::u16string::npos;
  bool quoted = false;
  for (; end < argument.size(); ++end) {
    const char16_t c = argument[end];
    if (c == u'"') {
      quoted = !quoted;
    } else if (!quoted) {
      if (c == u',') break;
      if (nameEnd == std::u16string::npos && IsWhiteSpaceChar(c)) nameEnd = end;
    }
  }
  const std::u16string tag = argument.substr(start, end - start);
  if (tag.empty()) return {u"", u"Missing tag name\r\n"};
  const std::u16string name = tag.substr(0, nameEnd == std::u16string::npos ? tag.size() : nameEnd - start);
  const size_t tags = tag.size() + 2 + name.size() + 3;
  if (tags > size_t(MAX_TEXT_LEN)) return {u"", u"Tag name too long\r\n"};
  const std::u16string string = end < argument.size() ? argument.substr(end + 1) : u"";
  const std::u16string body = ModelEntitize(string, options, int(size_t(MAX_TEXT_LEN) - tags));
  return {MARK_LT + tag + MARK_GT + body + MARK_LT + u"/" + name + MARK_GT, nullptr, string, body};
}

int ModelParseNumber(const std::u16string& text, bool wantEnd, uint32_t* value, size_t* end) {
  std::vector<wchar_t> wide(text.begin(), text.end());
  wide.push_back(0);
  const wchar_t* start;
  int base;
  if (wide[0] == L'0' && (wide[1] == L'x' || wide[1] == L'X') && IsHexDigitChar(char16_t(wide[2]))) {
    start = wide.data() + 2;
    base = 16;
  } else if (!text.empty() && IsDigitChar(text[0])) {
    start = wide.data();
    base = 10;
  } else {
    return -1;
  }
  wchar_t* stop = nullptr;
  errno = 0;
  const unsigned long number = std::wcstoul(start, &stop, base);
  if (errno != 0 || number > 0xFFFFFFFFul) return -1;
  if (!wantEnd && *stop != 0) return -1;
  *value = uint32_t(number);
  *end = size_t(stop - wide.data());
  return 0;
}

int32_t ModelLeadingInteger(const std::u16string& text) {
  size_t i = 0;
  while (i < text.size() && IsWhiteSpaceChar(text[i])) ++i;
  std::vector<wchar_t> wide(text.begin() + long(i), text.end());
  wide.push_back(0);
  const long number = std::wcstol(wide.data(), nullptr, 10);
  if (number > INT32_MAX) return INT32_MAX;
  if (number < INT32_MIN) return INT32_MIN;
  return int32_t(number);
}
