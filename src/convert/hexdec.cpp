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
#include "kelvo/markup.h"
#include "kelvo/result_buffer.h"

int HexDecodeEscapeRun(const char16_t* read, char16_t* write, int* written) {
  const int first = HexEscapeDigits(read + 1);
  // The bytes that follow the first (none when it begins no sequence),
  // the first byte's own bits, and the range of the second: narrower
  // after E0 and F0 (no overlong form), ED (no surrogate) and F4 (nothing
  // above U+10FFFF).
  int follow = 0;
  char32_t c = 0;
  int low = 0x80, high = 0xBF;
  if (IsUtf8LeadByte(first)) {
    follow = first < 0xE0 ? 1 : first < 0xF0 ? 2 : 3;
    c = static_cast<char32_t>(first & (0x7F >> (follow + 1)));
    if (first == 0xE0) low = 0xA0;
    if (first == 0xED) high = 0x9F;
    if (first == 0xF0) low = 0x90;
    if (first == 0xF4) high = 0x8F;
  }
  for (int k = 1; k <= follow; ++k) {
    const int byte = HexEscapeAt(read + 3 * k);
    if (byte < low || byte > high) {
      follow = 0;  // no sequence: the escape alone, as any other
      break;
    }
    c = c << 6 | (byte & 0x3F);
    low = 0x80;
    high = 0xBF;
  }
  if (follow == 0) {
    write[0] = first != 0 ? static_cast<char16_t>(first) : u'?';
    *written = 1;
  } else if (c < 0x10000) {
    write[0] = static_cast<char16_t>(c);
    *written = 1;
  } else {
    WritePair(c, write);
    *written = 2;
  }
  return 3 * (follow + 1);
}

int HexDecodeUnits(const char16_t* read, char16_t* write) {
  char16_t* const start = write;
  for (;;) {
    const char16_t c = FoldFullwidth(*read);
    if (c == 0) break;
    if (c == u'%' && HexEscapeDigits(read + 1) >= 0) {
      int written;
      read += HexDecodeEscapeRun(read, write, &written);
      write += written;
      continue;
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
