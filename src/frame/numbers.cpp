// Number reading with the semantics of the C library's wcstoul/wcstol on
// a Windows host (32-bit long), over UTF-16 text.
#include <cstdint>

#include "kelvo/charclass.h"
#include "kelvo/services.h"

namespace {

int DigitValue(char16_t c, int base) {
  int v;
  if (c >= u'0' && c <= u'9') {
    v = c - u'0';
  } else if (base == 16 && IsHexDigitChar(c)) {
    v = HexDigitValue(c);
  } else {
    return -1;
  }
  return v < base ? v : -1;
}

// wcstoul on text that starts with a digit or, in base 16, with an
// optional second "0x": reads the digit run. overflow is set when the
// value leaves 32 bits; end points where reading stopped (at text when
// no digit was read).
uint32_t ReadUnsigned(const char16_t* text, int base, const char16_t** end, bool* overflow) {
  const char16_t* p = text;
  if (base == 16 && p[0] == u'0' && (p[1] == u'x' || p[1] == u'X') && IsHexDigitChar(p[2])) p += 2;
  uint64_t value = 0;
  *overflow = false;
  const char16_t* digits = p;
  for (int d; (d = DigitValue(*p, base)) >= 0; ++p) {
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    if (value > 0xFFFFFFFFull) {
      *overflow = true;
      value = 0xFFFFFFFFull;
    }
  }
  *end = (p == digits) ? text : p;
  return static_cast<uint32_t>(value);
}

}  // namespace

int ParseNumber(const char16_t* text, uint32_t* value, const char16_t** end) {
  if (text == nullptr || value == nullptr) return -1;
  const char16_t* start;
  int base;
  if (text[0] == u'0' && (text[1] == u'x' || text[1] == u'X') && IsHexDigitChar(text[2])) {
    start = text + 2;
    base = 16;
  } else if (IsDigitChar(text[0])) {
    start = text;
    base = 10;
  } else {
    return -1;
  }
  const char16_t* stop;
  bool overflow;
  uint32_t number = ReadUnsigned(start, base, &stop, &overflow);
  if (overflow) return -1;
  if (end == nullptr && *stop != 0) return -1;
  *value = number;
  if (end != nullptr) *end = stop;
  return 0;
}

int IsValueSeparator(char16_t ch) { return (ch == u':' || ch == u'=') ? 1 : 0; }

int32_t ReadLeadingInteger(const char16_t* text) {
  const char16_t* p = text;
  while (IsWhiteSpaceChar(*p)) ++p;
  bool negative = false;
  if (*p == u'+' || *p == u'-') negative = (*p++ == u'-');
  int64_t value = 0;
  for (; *p >= u'0' && *p <= u'9'; ++p) {
    value = value * 10 + (*p - u'0');
    if (value > 0x80000000ll) value = 0x80000000ll;
  }
  if (negative) return static_cast<int32_t>(-value);
  return value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}
