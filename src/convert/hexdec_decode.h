// The two ways @HEXDEC decodes a text in place: one unit at a time, and
// eight at a time where the processor has SSSE3. Both give the same
// result; the export picks one.
#pragma once

// Decodes from read to write (write <= read) up to the terminator and
// terminates the result. The text must be terminated within its buffer.
void HexDecodeUnits(const char16_t* read, char16_t* write);

// True when HexDecodeBlocks can run on this processor.
bool HexDecodeBlocksSupported();

// Decodes the text of a full ArgBuffer in place, its last slot a
// terminator. Only where HexDecodeBlocksSupported().
void HexDecodeBlocks(char16_t* buffer);
