// The two ways @HEXDEC decodes a text: one unit at a time, and eight at a
// time where the processor has SSSE3. Both give the same result;
// HexDecode picks one. Both write from `write` on, which may be the text
// itself (write == read): every unit is written at or before the place
// it was read from.
#pragma once

#include "kelvo/charclass.h"
#include "kelvo/markup.h"

// Decodes the text at read up to its terminator into write and
// terminates the result; returns its length.
int HexDecodeUnits(const char16_t* read, char16_t* write);

// The byte value of the two digits at s, or -1 when they are not two
// ASCII hexadecimal digits as they stand (a fullwidth digit is none). The
// second is read only after the first proved a digit, so nothing past
// the terminator is read.
inline int HexEscapeDigits(const char16_t* s) {
  if (!IsHexDigitChar(s[0]) || !IsHexDigitChar(s[1])) return -1;
  return HexDigitValue(s[0]) * 16 + HexDigitValue(s[1]);
}

// The byte value of the escape ('%' or U+FF05 and two digits) at s, or -1
// when there is none. Reading stops at the terminator, which folds to no
// percent sign.
inline int HexEscapeAt(const char16_t* s) {
  return FoldFullwidth(s[0]) == u'%' ? HexEscapeDigits(s + 1) : -1;
}

// A byte that can begin a UTF-8 sequence of two to four bytes. C0, C1 and
// F5..FF begin none (only overlong forms or values above U+10FFFF).
inline bool IsUtf8LeadByte(int value) { return value >= 0xC2 && value <= 0xF4; }

// Decodes the escape at read: together with the escapes after it, when
// they complete one UTF-8 sequence (shortest form, no surrogate, at most
// U+10FFFF), into that character, one unit or a surrogate pair; otherwise
// into the character of its own value ("?" for 0). Writes at write,
// reading everything it needs first, so write may lie at read; sets
// *written to the units written and returns the units read (3 for the
// escape alone, 6, 9 or 12 for a sequence).
int HexDecodeEscapeRun(const char16_t* read, char16_t* write, int* written);

// True when HexDecodeBlocks can run on this processor.
bool HexDecodeBlocksSupported();

// The same, for a text whose storage runs on to end, its terminator
// before it. Blocks read up to end; nothing is written after the result's
// terminator, so written over the text, the units after the text's
// terminator stay as they were. Only where HexDecodeBlocksSupported().
int HexDecodeBlocks(const char16_t* read, const char16_t* end, char16_t* write);
