// Bounded copies and ASCII-only case handling over UTF-16 strings.
#include "kelvo/text.h"

int TextCopy(char16_t* dest, int capacity, const char16_t* src) {
  int n = 0;
  while (n < capacity - 1 && src[n] != 0) {
    dest[n] = src[n];
    ++n;
  }
  dest[n] = 0;
  return n;
}

int TextAppend(char16_t* dest, int capacity, const char16_t* src) {
  int n = TextLengthBounded(dest, capacity - 1);
  int i = 0;
  while (n < capacity - 1 && src[i] != 0) dest[n++] = src[i++];
  dest[n] = 0;
  return n;
}

bool TextEqualsNoCase(const char16_t* a, const char16_t* b) {
  for (;; ++a, ++b) {
    if (UpperAscii(*a) != UpperAscii(*b)) return false;
    if (*a == 0) return true;
  }
}

bool TextStartsWithNoCase(const char16_t* text, const char16_t* prefix) {
  for (; *prefix != 0; ++text, ++prefix) {
    if (UpperAscii(*text) != UpperAscii(*prefix)) return false;
  }
  return true;
}

void TextUpperAscii(char16_t* text) {
  for (; *text != 0; ++text) *text = UpperAscii(*text);
}
