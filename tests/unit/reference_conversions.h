// The conversions written the plain way: one character at a time, every
// rule tested in the order the rules are stated, entity names found by a
// scan of the whole table. Slow and obvious, so that the fast paths can
// be checked against them. Results are built with the ResultBuffer
// appends, whose cut policy (whole pieces or nothing, and nothing after a
// piece that did not fit) the fast paths share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "convert/entity_table.h"
#include "kelvo/charclass.h"
#include "kelvo/limits.h"
#include "kelvo/markup.h"
#include "kelvo/result_buffer.h"

namespace reference {

struct EntitizeOptions {
  int quotes;
  int spaces;
  int dash;
  int apos;
};

class Result {
 public:
  explicit Result(int capacity = MAX_ARG_LEN) : storage_(size_t(capacity)) {
    ResultInit(&rb_, storage_.data(), capacity);
  }
  void Char(char16_t c) { ResultAppendChar(&rb_, c); }
  void Entity(const std::u16string& name) { ResultAppendEntity(&rb_, name.data(), int(name.size())); }
  void Piece(const std::u16string& piece) { ResultAppendPiece(&rb_, piece.data(), int(piece.size())); }
  std::u16string Text() const { return std::u16string(rb_.text, size_t(rb_.length)); }

 private:
  std::vector<char16_t> storage_;
  ResultBuffer rb_;
};

inline bool EndsLine(char16_t c) { return c == 0 || c == u'\n' || c == u'\r'; }

inline bool IsContraction(const char16_t* apostrophe) {
  static const char16_t* const kList[] = {
      u"'cos",  u"'cus",   u"'em",     u"'mid",   u"'mongst", u"'n",      u"'n'",
      u"'neath", u"'tain't", u"'til",   u"'tis",   u"'tisn't", u"'twas",   u"'twasn't",
      u"'tween", u"'twere", u"'twern't", u"'twixt", u"'twould", u"'twouldn't", u"'un"};
  std::u16string word;
  for (const char16_t* p = apostrophe; word.size() < 1023; ++p) {
    char16_t c = *p;
    if (c >= u'A' && c <= u'Z') c = char16_t(c + 32);
    if (c == 0x2018 || c == 0x2019 || c == 0xFF07) c = u'\'';
    if (c != u'\'' && !IsAlphaChar(c)) break;
    word += c;
  }
  for (const char16_t* entry : kList)
    if (word == entry) return true;
  return false;
}

// @ENTITIZE's main loop and character rules, in the order they are
// stated. The input is read up to its terminator.
inline std::u16string Entitize(const std::u16string& input, const EntitizeOptions& o,
                               int capacity = MAX_ARG_LEN) {
  Result out(capacity);
  const char16_t* s = input.c_str();
  char16_t prev = u' ';
  bool protectedText = false;
  size_t i = 0;
  for (;;) {
    const size_t position = i;
    const char16_t ch = s[i++];
    if (ch == 0) break;
    if (ch == MARK_LT) protectedText = true;
    if (ch == MARK_GT) protectedText = false;
    if (protectedText) {
      out.Char(ch);
      prev = ch;
      continue;
    }
    const char16_t next = s[i];
    switch (ch) {
      case 0x18: case 0x2191: out.Entity(u"uarr;"); prev = ch; break;
      case 0x19: case 0x2193: out.Entity(u"darr;"); prev = ch; break;
      case 0x1A: case 0x2192: out.Entity(u"rarr;"); prev = ch; break;
      case 0x1B: case 0x2190: out.Entity(u"larr;"); prev = ch; break;
      case u'&': out.Entity(u"amp;"); prev = ch; break;
      case u'<': out.Entity(u"lt;"); prev = ch; break;
      case u'>': out.Entity(u"gt;"); prev = ch; break;
      case u'|': out.Entity(u"brvbar;"); prev = ch; break;
      case 0x20AC: out.Entity(u"euro;"); prev = ch; break;
      case u'"':
        if (o.quotes == 1) {
          out.Entity(u"quot;");
          prev = ch;
        } else if (o.quotes == 2) {
          const bool closing = (IsGraphicChar(prev) && prev != 0x2018) || (IsWhiteSpaceChar(prev) && EndsLine(next));
          out.Entity(closing ? u"rdquo;" : u"ldquo;");
          prev = closing ? 0x201D : 0x201C;
        } else {
          out.Char(ch);
          prev = ch;
        }
        break;
      case u'\'':
        if (o.apos == 1) {
          out.Entity(u"#39;");
          prev = ch;
        } else if (o.apos == 2) {
          out.Entity(u"apos;");
          prev = ch;
        } else if (o.apos == 3) {
          enum { Opening, Closing, Apostrophe } kind;
          if (IsGraphicChar(prev) && prev != 0x201C) {
            kind = (IsAlnumChar(prev) && IsAlphaChar(next)) ? Apostrophe : Closing;
          } else {
            kind = (IsWhiteSpaceChar(prev) && EndsLine(next)) ? Closing : Opening;
          }
          if (!IsAlphaChar(prev) && IsAlphaChar(next) && IsContraction(s + position)) kind = Apostrophe;
          if (!IsAlnumChar(prev) && IsDigitChar(next) && IsDigitChar(s[i + 1]) && !IsAlnumChar(s[i + 2]))
            kind = Apostrophe;
          out.Entity(kind == Opening ? u"lsquo;" : u"rsquo;");
          prev = kind == Opening ? 0x2018 : kind == Closing ? 0x2019 : u'\'';
        } else {
          out.Char(ch);
          prev = ch;
        }
        break;
      case u'-':
        if (o.dash == 1 && prev != u'-' && prev != 0x2014 && position <= 16381 && next == u'-' && s[i + 1] != u'-') {
          out.Entity(u"mdash;");
          prev = 0x2014;
          ++i;
        } else {
          out.Char(ch);
          prev = ch;
        }
        break;
      case u'\t': case u'\n': case u'\r': case u' ':
        if (o.spaces == 1) {
          out.Entity(u"nbsp;");
          prev = u' ';
        } else if (o.spaces == 2) {
          if (next == u'-' || next == 0x2014 || next == u'&') {
            out.Entity(u"nbsp;");
          } else {
            out.Char(u' ');
          }
          while (IsWhiteSpaceChar(s[i])) ++i;
          prev = u' ';
        } else {
          out.Char(ch);
          prev = ch;
        }
        break;
      default:
        out.Char(ch);
        prev = ch;
    }
  }
  return out.Text();
}

inline char16_t Fold(char16_t c) { return (c >= 0xFF01 && c <= 0xFF1F) ? char16_t(c - 0xFEE0) : c; }
inline bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
inline bool IsAsciiHex(char16_t c) {
  return IsAsciiDigit(c) || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}
inline int HexValue(char16_t c) { return c <= u'9' ? c - u'0' : (c | 0x20) - u'a' + 10; }

// Scans every row of the tables.
inline const char16_t* FindName(const char16_t* field, const std::u16string& name) {
  for (size_t k = 0; k < name.size(); ++k)
    if (field[k] != name[k]) return nullptr;
  return field[name.size()] == 0 ? field : nullptr;
}
inline char16_t NamedCharacter(const std::u16string& name) {
  if (name.size() >= size_t(ENTITY_NAME_FIELD)) return 0;
  for (const NamedEntityRow& row : NamedEntityTable)
    if (FindName(row.name, name) != nullptr) return row.character;
  return 0;
}
inline const char16_t* Replacement(const std::u16string& name) {
  if (name.size() >= size_t(ENTITY_NAME_FIELD)) return nullptr;
  for (const EntityReplacementRow& row : EntityReplacementTable)
    if (FindName(row.name, name) != nullptr) return row.text;
  return nullptr;
}

// A numeric reference's character: '?' for 0 and beyond Unicode, a
// surrogate pair beyond the Basic Multilingual Plane.
inline std::u16string NumericCharacter(uint64_t value) {
  if (value == 0 || value > 0x10FFFF) return u"?";
  if (value <= 0xFFFF) return std::u16string(1, char16_t(value));
  value -= 0x10000;
  return {char16_t(0xD800 + (value >> 10)), char16_t(0xDC00 + (value & 0x3FF))};
}

inline std::u16string Deentitize(const std::u16string& input, bool approximate) {
  // The ArgBuffer's last slot always counts as the terminator.
  auto at = [&](size_t k) -> char16_t { return k < input.size() && k < size_t(MAX_TEXT_LEN) ? input[k] : 0; };
  std::u16string out;
  size_t i = 0;
  for (;;) {
    const char16_t c = Fold(at(i++));
    if (c == 0) break;
    if (c != u'&') {
      out += c;
      continue;
    }
    const size_t j = i;
    const bool decimal = at(j) == u'#' && IsAsciiDigit(at(j + 1));
    const bool hex = at(j) == u'#' && (at(j + 1) == u'x' || at(j + 1) == u'X') && IsAsciiHex(at(j + 2));
    if (decimal || hex) {
      size_t k = decimal ? j + 1 : j + 2;
      uint64_t value = 0;
      for (; decimal ? IsAsciiDigit(at(k)) : IsAsciiHex(at(k)); ++k) {
        value = value * (decimal ? 10 : 16) + uint64_t(HexValue(at(k)));
        if (value > 0x10FFFF) value = 0x110000;
      }
      if (at(k) == u';') {
        out += NumericCharacter(value);
        i = k + 1;
      } else {
        out += MARK_AMP;
      }
      continue;
    }
    // The name and its ';' lie within the 12 units after the ampersand.
    size_t n = 0;
    while (n < 12 && at(j + n) != 0 && at(j + n) != u';') ++n;
    if (n == 0 || n == 12 || at(j + n) != u';') {
      out += MARK_AMP;
      continue;
    }
    const std::u16string name = input.substr(j, n);
    const char16_t* replacement = approximate ? Replacement(name) : nullptr;
    if (replacement != nullptr) {
      out += replacement;
    } else {
      const char16_t named = NamedCharacter(name);
      out += named != 0 ? named : u'?';
    }
    i = j + n + 1;
  }
  return out;
}

// keepValue is HEXENC_KEEP as set (empty: absent).
inline std::u16string HexEncode(const std::u16string& input, const std::u16string& keepValue) {
  std::u16string keep;
  if (keepValue.empty()) {
    keep = u"#$+-./:;=?@_";
  } else {
    for (char16_t k : keepValue)
      if (k > 0x20 && k != u'%' && !IsAlnumChar(k) && keep.size() < 1023) keep += k;
  }
  static const char16_t kDigits[] = u"0123456789ABCDEF";
  Result out;
  for (size_t i = 0; i < input.size() && i < size_t(MAX_TEXT_LEN) && input[i] != 0; ++i) {
    const char16_t c = Fold(input[i]);
    if (IsAlnumChar(c) || keep.find(c) != std::u16string::npos) {
      out.Char(c);
    } else if (c <= 0xFF) {
      out.Piece({MARK_PERCENT, kDigits[c >> 4], kDigits[c & 0xF]});
    }
  }
  return out.Text();
}

inline std::u16string HexDecode(const std::u16string& input) {
  auto at = [&](size_t k) -> char16_t { return k < input.size() && k < size_t(MAX_TEXT_LEN) ? input[k] : 0; };
  std::u16string out;
  for (size_t i = 0;;) {
    char16_t c = Fold(at(i));
    if (c == 0) break;
    if (c == u'%' && IsAsciiHex(at(i + 1)) && IsAsciiHex(at(i + 2))) {
      const int value = HexValue(at(i + 1)) * 16 + HexValue(at(i + 2));
      c = value != 0 ? char16_t(value) : u'?';
      i += 3;
    } else {
      ++i;
    }
    out += c;
  }
  return out;
}

inline size_t SkipWhiteSpace(const std::u16string& s) {
  size_t i = 0;
  while (i < s.size() && IsWhiteSpaceChar(s[i])) ++i;
  return i;
}

// Results of the wrapping functions; an empty optional-like flag marks
// the inputs they refuse.
struct Outcome {
  bool ok;
  std::u16string text;
};

inline Outcome Tag(const std::u16string& input) {
  const std::u16string tag = input.substr(SkipWhiteSpace(input));
  if (tag.empty() || tag.size() >= 16381) return {false, u""};
  return {true, MARK_LT + tag + MARK_GT};
}

inline Outcome Comment(const std::u16string& input) {
  if (input.size() > 16374) return {false, u""};
  return {true, std::u16string(1, MARK_LT) + u"!-- " + input + u" --" + MARK_GT};
}

inline Outcome MakeEntity(const std::u16string& input) {
  if (input.empty()) return {false, u""};
  if (input.size() >= 2) {
    std::u16string name = input[0] == u'&' ? input.substr(1) : input;
    if (name.back() != u';') name += u';';
    return {true, MARK_AMP + name};
  }
  const std::u16string entity = Entitize(input, {1, 1, 0, 1});
  if (entity.size() > 1) return {true, entity};
  return {true, MARK_AMP + (u"#" + [](unsigned v) {
                  std::u16string d;
                  do d.insert(d.begin(), char16_t(u'0' + v % 10)); while ((v /= 10) != 0);
                  return d;
                }(input[0])) + u";"};
}

inline Outcome Entag(const std::u16string& input, const EntitizeOptions& o) {
  size_t start = SkipWhiteSpace(input);
  size_t end = start;
  size_t nameEnd = std::u16string::npos;
  bool quoted = false;
  for (; end < input.size(); ++end) {
    const char16_t c = input[end];
    if (c == u'"') quoted = !quoted;
    if (!quoted && c == u',') break;
    if (!quoted && nameEnd == std::u16string::npos && IsWhiteSpaceChar(c)) nameEnd = end;
  }
  if (end == start) return {false, u""};
  const std::u16string tag = input.substr(start, end - start);
  const std::u16string name = input.substr(start, (nameEnd == std::u16string::npos ? end : nameEnd) - start);
  const std::u16string text = end < input.size() ? input.substr(end + 1) : u"";
  return {true, MARK_LT + tag + MARK_GT + Entitize(text, o) + MARK_LT + u"/" + name + MARK_GT};
}

}  // namespace reference
