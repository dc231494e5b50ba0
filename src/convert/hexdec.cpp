// @HEXDEC: decodes percent escapes ('%' or U+FF05 and two hexadecimal
// digits) into the character with that byte value, and folds the
// fullwidth forms U+FF01..U+FF1F to ASCII everywhere else.
//
// An escape of three units yields one, every other unit one, so the
// result is never longer than the text and is written over it: every
// unit is written at or before the place it was read from.
#include <cstdint>

#include "convert/hexdec_decode.h"
#include "kelvo/limits.h"
#include "kelvo/markup.h"
#include "kelvo/plugin.h"
#include "kelvo/services.h"

namespace {

// The value of an ASCII hexadecimal digit, -1 for any other unit.
constexpr int8_t HexDigitValueOf(int c) {
  return c >= '0' && c <= '9' ? int8_t(c - '0')
         : c >= 'A' && c <= 'F' ? int8_t(c - 'A' + 10)
         : c >= 'a' && c <= 'f' ? int8_t(c - 'a' + 10)
                                : int8_t(-1);
}

struct HexDigitTable {
  int8_t value[128];
};

constexpr HexDigitTable BuildHexDigitTable() {
  HexDigitTable t{};
  for (int c = 0; c < 128; ++c) t.value[c] = HexDigitValueOf(c);
  return t;
}

constexpr HexDigitTable HEX_DIGIT = BuildHexDigitTable();

inline int DigitValue(char16_t c) { return c < 128 ? HEX_DIGIT.value[c] : -1; }

// The byte value of the two digits at s, or -1 when they are not two
// hexadecimal digits as they stand (a fullwidth digit is none). The
// second is read only after the first proved a digit, so nothing past
// the terminator is read.
inline int EscapeValue(const char16_t* s) {
  const int high = DigitValue(s[0]);
  if (high < 0) return -1;
  const int low = DigitValue(s[1]);
  if (low < 0) return -1;
  return high * 16 + low;
}

}  // namespace

void HexDecodeUnits(const char16_t* read, char16_t* write) {
  for (;;) {
    char16_t c = FoldFullwidth(*read);
    if (c == 0) break;
    ++read;
    if (c == u'%') {
      const int value = EscapeValue(read);
      if (value >= 0) {
        c = value != 0 ? static_cast<char16_t>(value) : u'?';
        read += 2;
      }
    }
    *write++ = c;
  }
  *write = 0;
}

PLUGIN_EXPORT int PLUGIN_API f_hexdec(char16_t* buffer) {
  if (buffer == nullptr) return -1;
  if (CheckUnicodeOutput() != 0) return -2;

  // The last slot of the ArgBuffer always counts as the terminator; the
  // buffer is overwritten with the result anyway.
  buffer[MAX_TEXT_LEN] = 0;
  if (HexDecodeBlocksSupported()) {
    HexDecodeBlocks(buffer);
  } else {
    HexDecodeUnits(buffer, buffer);
  }
  return 0;
}
