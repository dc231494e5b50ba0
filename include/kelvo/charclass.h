// Character classes on single UTF-16 code units. U+0000..U+00FF follow a
// fixed table (U+00A0 is white space; U+00B2, U+00B3, U+00B9 are digits);
// above that a table generated from the Unicode character data.
#pragma once

#include <cstdint>

enum CharClassBits : uint8_t {
  CC_SPACE = 1,
  CC_DIGIT = 2,
  CC_ALPHA = 4,
  CC_PUNCT = 8,
};

// Two-stage table: the high byte picks a 256-entry block.
extern const uint8_t CharClassBlockIndex[256];
extern const uint8_t CharClassBlocks[][256];

inline uint8_t CharClassOf(char16_t c) {
  return CharClassBlocks[CharClassBlockIndex[c >> 8]][c & 0xFF];
}

inline bool IsWhiteSpaceChar(char16_t c) { return (CharClassOf(c) & CC_SPACE) != 0; }
inline bool IsDigitChar(char16_t c) { return (CharClassOf(c) & CC_DIGIT) != 0; }
inline bool IsAlphaChar(char16_t c) { return (CharClassOf(c) & CC_ALPHA) != 0; }
inline bool IsAlnumChar(char16_t c) { return (CharClassOf(c) & (CC_ALPHA | CC_DIGIT)) != 0; }
inline bool IsGraphicChar(char16_t c) {
  return (CharClassOf(c) & (CC_ALPHA | CC_DIGIT | CC_PUNCT)) != 0;
}
inline bool IsHexDigitChar(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}
inline int HexDigitValue(char16_t c) {
  return c <= u'9' ? c - u'0' : (c | 0x20) - u'a' + 10;
}
