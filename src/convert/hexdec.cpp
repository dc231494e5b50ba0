// @HEXDEC: decodes percent escapes ('%' or U+FF05 and two hexadecimal
// digits) into the character with that byte value, and folds the
// fullwidth forms U+FF01..U+FF1F to ASCII everywhere else.
//
// Rewritten in place: an escape of three units yields one, every other
// unit one, so the write position never passes the read position.
#include <cstdint>
#include <cstring>

#include "convert/plain_run.h"
#include "kelvo/charclass.h"
#include "kelvo/limits.h"
#include "kelvo/markup.h"
#include "kelvo/plugin.h"
#include "kelvo/services.h"

namespace {

// The last slot of the ArgBuffer always counts as the terminator.
inline char16_t At(const char16_t* s, int i) { return i < MAX_TEXT_LEN ? s[i] : char16_t(0); }

}  // namespace

PLUGIN_EXPORT int PLUGIN_API f_hexdec(char16_t* buffer) {
  if (buffer == nullptr) return -1;
  if (CheckUnicodeOutput() != 0) return -2;

  int read = 0;
  int write = 0;
  for (;;) {
    int runEnd = SkipPlainRun(buffer, read, MAX_TEXT_LEN, u'%');
    if (write != read)
      std::memmove(buffer + write, buffer + read, sizeof(char16_t) * static_cast<size_t>(runEnd - read));
    write += runEnd - read;
    read = runEnd;
    if (At(buffer, read) == 0) break;

    char16_t c = FoldFullwidth(buffer[read++]);
    // The two digits are taken as they stand: a fullwidth digit is no
    // hexadecimal digit here.
    if (c == u'%' && IsHexDigitChar(At(buffer, read)) && IsHexDigitChar(At(buffer, read + 1))) {
      int value = HexDigitValue(buffer[read]) * 16 + HexDigitValue(buffer[read + 1]);
      read += 2;
      c = value != 0 ? static_cast<char16_t>(value) : u'?';
    }
    buffer[write++] = c;
  }
  buffer[write] = 0;
  return 0;
}
