// @HEXDEC: decodes percent escapes ('%' or U+FF05 and two hexadecimal
// digits) and folds the fullwidth forms U+FF01..U+FF1F to ASCII
// everywhere else. A run of escapes that forms one UTF-8 sequence becomes
// the character it encodes; every other escape becomes the character of
// its byte value ("?" for 0).
//
// An escape of three units yields one unit, a sequence of two to four
// escapes (six to twelve units) one or two, every other unit one, so the
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

// The byte value of the escape at s, or -1 when there is none. Reading
// stops at the terminator, which folds to no percent sign.
inline int EscapeAt(const char16_t* s) {
  return FoldFullwidth(s[0]) == u'%' ? EscapeValue(s + 1) : -1;
}

}  // namespace

int HexDecodeLeadEscape(const char16_t* read, char16_t* write, int* written) {
  const int lead = EscapeValue(read + 1);
  // The bytes that follow the lead byte, the lead's own bits, and the
  // range of the first of them: narrower after E0 and F0 (no overlong
  // form), ED (no surrogate) and F4 (nothing above U+10FFFF).
  int follow;
  char32_t c;
  int low = 0x80, high = 0xBF;
  if (lead < 0xE0) {
    follow = 1;
    c = lead & 0x1F;
  } else if (lead < 0xF0) {
    follow = 2;
    c = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else {
    follow = 3;
    c = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  }
  for (int k = 1; k <= follow; ++k) {
    const int byte = EscapeAt(read + 3 * k);
    if (byte < low || byte > high) {
      // No sequence: the lead escape alone, as any other escape.
      write[0] = static_cast<char16_t>(lead);
      *written = 1;
      return 3;
    }
    c = c << 6 | (byte & 0x3F);
    low = 0x80;
    high = 0xBF;
  }
  if (c < 0x10000) {
    write[0] = static_cast<char16_t>(c);
    *written = 1;
  } else {
    write[0] = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
    write[1] = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    *written = 2;
  }
  return 3 * (follow + 1);
}

int HexDecodeUnits(const char16_t* read, char16_t* write) {
  char16_t* const start = write;
  for (;;) {
    char16_t c = FoldFullwidth(*read);
    if (c == 0) break;
    if (c == u'%') {
      const int value = EscapeValue(read + 1);
      if (IsUtf8LeadByte(value)) {
        int written;
        read += HexDecodeLeadEscape(read, write, &written);
        write += written;
        continue;
      }
      if (value >= 0) {
        c = value != 0 ? static_cast<char16_t>(value) : u'?';
        read += 2;
      }
    }
    ++read;
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
