// @HEXDEC: decodes percent escapes ('%' or U+FF05 and two hexadecimal
// digits) into the character with that byte value, and folds the
// fullwidth forms U+FF01..U+FF1F to ASCII everywhere else.
//
// An escape of three units yields one, every other unit one, so the
// result is never longer than the text and can be written over it: every
// unit is written at or before the place it was read from. The result
// needs room for as many units as the text has.
#include "convert/conversion.h"
#include "convert/hexdec_decode.h"
#include "kelvo/charclass.h"
#include "kelvo/markup.h"
#include "kelvo/result_buffer.h"

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

int HexDecodeUnits(const char16_t* read, char16_t* write) {
  char16_t* const start = write;
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
  return static_cast<int>(write - start);
}

Status HexDecode(const Argument& argument, const Options&, ResultBuffer* out) {
  char16_t* const write = ResultCursor(out);
  const int length = HexDecodeBlocksSupported() ? HexDecodeBlocks(argument.text, argument.end, write)
                                                : HexDecodeUnits(argument.text, write);
  ResultCommit(out, length);
  return Status::Converted;
}
