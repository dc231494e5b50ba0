// @HEXDEC: decodes percent escapes ('%' or U+FF05 and two hexadecimal
// digits) into the character with that byte value, and folds the
// fullwidth forms U+FF01..U+FF1F to ASCII everywhere else.
//
// An escape of three units yields one, every other unit one, so the
// result is never longer than the text and is written over it: every
// unit is written at or before the place it was read from.
#include "convert/hexdec_decode.h"
#include "kelvo/charclass.h"
#include "kelvo/limits.h"
#include "kelvo/markup.h"
#include "kelvo/plugin.h"
#include "kelvo/services.h"

namespace {

// The byte value of the two digits at s, or -1 when they are not two
// ASCII hexadecimal digits as they stand (a fullwidth digit is none). The
// second is read only after the first proved a digit, so nothing past
// the terminator is read.
inline int EscapeValue(const char16_t* s) {
  if (!IsHexDigitChar(s[0]) || !IsHexDigitChar(s[1])) return -1;
  return HexDigitValue(s[0]) * 16 + HexDigitValue(s[1]);
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
