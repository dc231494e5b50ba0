// @HEXENC: percent-encodes every character of U+0000..U+00FF that is
// neither alphanumeric nor in the keep-set, as U+FF05 and two upper-case
// hexadecimal digits; drops such characters above U+00FF. The fullwidth
// forms U+FF01..U+FF1F are folded to ASCII first.
//
// An escape goes into the result whole or not at all: when the result
// outgrows the buffer it ends with the last escape that fitted, never
// with a lone escape character.
#include <cstring>

#include "convert/hex_keepset.h"
#include "kelvo/limits.h"
#include "kelvo/markup.h"
#include "kelvo/plugin.h"
#include "kelvo/result_buffer.h"
#include "kelvo/services.h"

namespace {

constexpr char16_t HEX_DIGITS[] = u"0123456789ABCDEF";

}  // namespace

PLUGIN_EXPORT int PLUGIN_API f_hexenc(char16_t* buffer) {
  if (buffer == nullptr) return -1;
  if (CheckUnicodeOutput() != 0) return -2;

  HexKeepStorage storage;
  HexKeepSet keep;
  LoadHexKeepSet(&keep, &storage);

  char16_t text[MAX_ARG_LEN];
  ResultBuffer result;
  ResultInit(&result, text, MAX_ARG_LEN);

  int i = 0;
  for (;;) {
    int runStart = i;
    while (i < MAX_TEXT_LEN && HexCopiesAsIs(keep, buffer[i])) ++i;
    ResultAppendRun(&result, buffer + runStart, i - runStart);
    if (i >= MAX_TEXT_LEN || buffer[i] == 0 || ResultRoom(&result) == 0) break;

    char16_t c = FoldFullwidth(buffer[i++]);
    if (c > 0xFF) continue;  // neither alphanumeric nor kept: dropped
    if (keep.latin1[c] != 0) {
      ResultAppendChar(&result, c);
    } else {
      const char16_t escape[3] = {MARK_PERCENT, HEX_DIGITS[c >> 4], HEX_DIGITS[c & 0xF]};
      ResultAppendPiece(&result, escape, 3);
    }
  }
  std::memcpy(buffer, text, sizeof(char16_t) * static_cast<size_t>(result.length + 1));
  return 0;
}
