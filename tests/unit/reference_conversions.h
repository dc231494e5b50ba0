// The conversions written the plain way, for the fast paths to be
// checked against. @ENTITIZE, @DEENTITIZE, @HEXENC and @HEXDEC are the
// models the fuzz targets check against (fuzz/reference.cpp: one
// character at a time, every rule in the order the rules are stated,
// entity names found by a scan of the whole table); the wrapping
// functions are built on them here.
#pragma once

#include <cstdint>
#include <string>

#include "kelvo/charclass.h"
#include "kelvo/limits.h"
#include "kelvo/markup.h"
#include "reference.h"

namespace reference {

struct EntitizeOptions {
  int quotes;
  int spaces;
  int dash;
  int apos;
};

// capacity counts the slots of the result buffer, its terminator's among
// them.
inline std::u16string Entitize(const std::u16string& input, const EntitizeOptions& o,
                               int capacity = MAX_ARG_LEN) {
  return ModelEntitize(input, {o.quotes, o.spaces, o.dash, o.apos}, capacity - 1);
}

// The input is read as an ArgBuffer: up to its terminator, at most
// MAX_TEXT_LEN units.
inline std::u16string Deentitize(const std::u16string& input, bool approximate) {
  return ModelDeentitize(input.c_str(), approximate);
}

// keepValue is HEXENC_KEEP as set (empty: absent).
inline std::u16string HexEncode(const std::u16string& input, const std::u16string& keepValue) {
  const std::u16string text = input.substr(0, input.find(char16_t(0)));
  return ModelHexenc(text, ModelKeepSet(!keepValue.empty(), keepValue));
}

inline std::u16string HexDecode(const std::u16string& input) { return ModelHexdec(input.c_str()); }

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

// Refused when the comment as written would not fit the buffer.
inline Outcome Comment(const std::u16string& input) {
  const std::u16string text = ModelCommentText(input);
  if (text.size() > 16374) return {false, u""};
  return {true, std::u16string(1, MARK_LT) + u"!-- " + text + u" --" + MARK_GT};
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
