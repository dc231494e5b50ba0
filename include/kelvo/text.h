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
