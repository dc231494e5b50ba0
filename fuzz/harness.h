// Shared pieces of the fuzz targets: how a fuzz input becomes host
// settings, plugin options and an argument text, the ArgBuffer the host
// would pass, and the check that stops a run when an invariant breaks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kelvo/limits.h"
#include "kelvo/options.h"
#include "printable.h"

// One fuzz input, decoded. Layout of the bytes:
//   byte 0  host: bits 0-1 Unicode output (0, 1, 2, 0), bit 2 inside a
//           batch file, bits 3-4 HEXENC_KEEP (unset, a value, empty,
//           longer than the read buffer); with bit 7 set, the text is
//           padded in front with 'x' to 16383 units less 3 * (bits 5-6),
//           so that its end meets the end of the buffer
//   byte 1  options: Quotes = b % 3, Spaces = b / 3 % 3, Dash = b / 9 % 2,
//           Apos = b / 18 % 4 (taken modulo 72); b / 72 odd: the buffer
//           is unterminated (see ArgBuffer::Fill)
//   byte 2  with a HEXENC_KEEP value: its length in bytes, then the value
//   rest    the text, decoded by DecodeUnits
struct FuzzCase {
  int unicodeOutput = 0;
  bool batch = false;
  int keepMode = 0;
  std::u16string keepValue;
  Options options;
  int extra = 0;  // bits 5-7 of byte 0
  bool unterminated = false;
  std::u16string text;  // may hold NULs and run past MAX_TEXT_LEN
};

enum KeepMode { KEEP_UNSET = 0, KEEP_VALUE = 1, KEEP_EMPTY = 2, KEEP_OVERLONG = 3 };

// Bytes to UTF-16 code units, total over all inputs: UTF-8 text decodes as
// UTF-8, a three-byte form reaches every code unit (lone surrogates and
// fullwidth forms included), a four-byte form gives a surrogate pair, and
// any other byte stands for the unit of the same value.
std::u16string DecodeUnits(const uint8_t* data, size_t size);

FuzzCase ParseFuzzCase(const uint8_t* data, size_t size);

// Resets the stand-in host, captures its output and sets it and the plugin
// options up as the case says.
void ApplyCase(const FuzzCase& c);

// The text and its terminator in a heap block of exactly that size, so
// that the address sanitizer sees any read past the terminator.
std::unique_ptr<char16_t[]> ExactCopy(const std::u16string& text);

// The text a host puts in an ArgBuffer: cut at the first NUL and at
// MAX_TEXT_LEN units.
std::u16string ArgumentText(const std::u16string& text);

std::u16string Captured(int stream);

// "Kelvo plugin: " and, inside a batch file, the batch name and line.
std::u16string ErrorPrefixText(const FuzzCase& c);

[[noreturn]] void FuzzFail(const char* file, int line, const char* condition, const char* what);

#define FUZZ_CHECK(condition, what) \
  do {                              \
    if (!(condition)) FuzzFail(__FILE__, __LINE__, #condition, what); \
  } while (0)

// Fails the run, showing both texts around their first difference, when
// they differ.
void CheckSameText(const std::u16string& expected, const std::u16string& actual, const char* what,
                   const std::u16string& input);
