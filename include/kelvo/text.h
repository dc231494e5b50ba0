// Small helpers over NUL-terminated UTF-16 strings. Case mapping and
// comparison without regard to case touch only the ASCII letters.
#pragma once

#include <cstdint>

inline int TextLength(const char16_t* s) {
  int n = 0;
  while (s[n] != 0) ++n;
  return n;
}

// Length of s, but never more than limit (stops looking there).
inline int TextLengthBounded(const char16_t* s, int limit) {
  int n = 0;
  while (n < limit && s[n] != 0) ++n;
  return n;
}

// Surrogates: a character above U+FFFF is written as a high surrogate
// followed by a low one.
inline bool IsHighSurrogate(char16_t c) { return (c & 0xFC00) == 0xD800; }
inline bool IsLowSurrogate(char16_t c) { return (c & 0xFC00) == 0xDC00; }
inline bool IsSurrogate(char16_t c) { return (c & 0xF800) == 0xD800; }

// The character of a high and a low surrogate.
inline char32_t PairCharacter(char16_t high, char16_t low) {
  return 0x10000 + ((char32_t(high) - 0xD800) << 10) + (char32_t(low) - 0xDC00);
}

// Writes c (U+10000..U+10FFFF) as its two surrogates at out.
inline void WritePair(char32_t c, char16_t* out) {
  out[0] = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
  out[1] = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
}

inline char16_t UpperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }
inline char16_t LowerAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

// Copies at most capacity-1 characters and always terminates
// (capacity >= 1). Returns the number of characters copied.
int TextCopy(char16_t* dest, int capacity, const char16_t* src);

// Appends src to the text in dest, within capacity (terminator
// included). Returns the new length.
int TextAppend(char16_t* dest, int capacity, const char16_t* src);

// Whole-text comparison without regard to ASCII case.
bool TextEqualsNoCase(const char16_t* a, const char16_t* b);

// True when text begins with prefix, without regard to ASCII case.
bool TextStartsWithNoCase(const char16_t* text, const char16_t* prefix);

// Upper-cases the ASCII letters of text in place.
void TextUpperAscii(char16_t* text);
