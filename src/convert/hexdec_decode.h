// The two ways @HEXDEC decodes a text: one unit at a time, and eight at a
// time where the processor has SSSE3. Both give the same result;
// HexDecode picks one. Both write from `write` on, which may be the text
// itself (write == read): every unit is written at or before the place
// it was read from.
#pragma once

// Decodes the text at read up to its terminator into write and
// terminates the result; returns its length.
int HexDecodeUnits(const char16_t* read, char16_t* write);

// True when HexDecodeBlocks can run on this processor.
bool HexDecodeBlocksSupported();

// The same, for a text whose storage runs on to end, its terminator
// before it. Blocks read up to end; nothing is written after the result's
// terminator, so written over the text, the units after the text's
// terminator stay as they were. Only where HexDecodeBlocksSupported().
int HexDecodeBlocks(const char16_t* read, const char16_t* end, char16_t* write);
