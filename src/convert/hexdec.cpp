// @HEXDEC: decodes percent escapes ('%' or U+FF05 and two hexadecimal
// digits) into the character with that byte value, and folds the
// fullwidth forms U+FF01..U+FF1F to ASCII everywhere else.
//
// An escape of three units yields one, every other unit one, so the
// result is never longer than the text. It is built in a buffer of its
// own, so that runs between escapes can be copied a block at a time
// without overwriting text not yet read, and copied back at the end.
#include <cstdint>
#include <cstring>

#include "convert/plain_run.h"
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

PLUGIN_EXPORT int PLUGIN_API f_hexdec(char16_t* buffer) {
  if (buffer == nullptr) return -1;
  if (CheckUnicodeOutput() != 0) return -2;

  // The last slot of the ArgBuffer always counts as the terminator; the
  // buffer is overwritten with the result anyway.
  buffer[MAX_TEXT_LEN] = 0;
  const char16_t* const limit = buffer + MAX_ARG_LEN;
  // Up to the first unit that changes, the text stays where it stands.
  const char16_t* read = SkipPlainRun(buffer, limit, u'%');
  const int unchanged = static_cast<int>(read - buffer);

  char16_t result[MAX_ARG_LEN];
  char16_t* write = result;
  for (;;) {
    // Escapes come every few units: the next one is found a block at a
    // time rather than by a test per unit, whose branch would be
    // mispredicted at nearly every escape.
    CopyPlainRun(read, write, limit, u'%');
    char16_t c = *read;
    if (c == 0) break;
    c = FoldFullwidth(c);
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
  std::memcpy(buffer + unchanged, result, sizeof(char16_t) * static_cast<size_t>(write - result + 1));
  return 0;
}
