// @HEXENC: percent-encodes every character of U+0000..U+00FF that is
// neither alphanumeric nor in the keep-set, as U+FF05 and two upper-case
// hexadecimal digits; drops such characters above U+00FF. The fullwidth
// forms U+FF01..U+FF1F are folded to ASCII first.
//
// An escape goes into the result whole or not at all: when the result
// outgrows the buffer it ends with the last escape that fitted, never
// with a lone escape character.
#include <bit>
#include <cstring>

#include "convert/hex_keepset.h"
#include "kelvo/limits.h"
#include "kelvo/markup.h"
#include "kelvo/plugin.h"
#include "kelvo/services.h"

namespace {

static_assert(std::endian::native == std::endian::little, "the packed outputs are stored as they lie in memory");

// An output is stored as four units, of which one to three count.
constexpr int STORE_UNITS = 4;
// Characters converted between two tests of the room left.
constexpr int BLOCK = 8;
// Below this length a whole block fits with its stores.
constexpr int BLOCK_LIMIT = MAX_ARG_LEN - 3 * (BLOCK - 1) - STORE_UNITS;

// U+0001..U+00FF: the characters the table answers for.
inline bool InTable(char16_t c) { return static_cast<uint16_t>(c - 1) < 0xFF; }

// Converts up to BLOCK characters while they lie in U+0001..U+00FF,
// one store and one addition each; returns where it stopped.
inline const char16_t* EncodeBlock(const char16_t* p, char16_t*& o, const HexOutput* table) {
#pragma GCC unroll 8
  for (int k = 0; k < BLOCK; ++k) {
    const char16_t c = p[k];
    if (!InTable(c)) return p + k;
    const HexOutput output = table[c];
    std::memcpy(o, &output, sizeof output);
    o += HexOutputLength(output);
  }
  return p + BLOCK;
}

// Encodes the text (read up to its terminator) into out, which has
// MAX_ARG_LEN units; returns the length. Characters of U+0001..U+00FF go
// a block at a time through the table; the terminator, the rest and the
// end of the room take the careful path one character at a time.
int EncodeText(const char16_t* p, const HexKeepSet& keep, char16_t* out) {
  const HexOutput* const table = keep.latin1;
  char16_t* o = out;
  char16_t* const blockLimit = out + BLOCK_LIMIT;
  char16_t* const full = out + MAX_TEXT_LEN;
  for (;;) {
    if (o <= blockLimit) {
      const char16_t* stop = EncodeBlock(p, o, table);
      const bool whole = stop == p + BLOCK;
      p = stop;
      if (whole) continue;
    }
    // One character, with every test.
    char16_t c = *p++;
    if (c == 0) break;
    if (c > 0xFF) {
      c = FoldFullwidth(c);
      if (c > 0xFF) {
        if (!HexKeepsAbove(keep, c)) continue;  // neither alphanumeric nor kept: dropped
        if (o == full) break;
        *o++ = c;
        continue;
      }
    }
    const HexOutput output = table[c];
    const int n = HexOutputLength(output);
    if (n > full - o) break;  // the result is full: an escape goes in whole or not at all
    for (int u = 0; u < n; ++u) o[u] = HexOutputUnit(output, u);
    o += n;
  }
  *o = 0;
  return static_cast<int>(o - out);
}

}  // namespace

PLUGIN_EXPORT int PLUGIN_API f_hexenc(char16_t* buffer) {
  if (buffer == nullptr) return -1;
  if (CheckUnicodeOutput() != 0) return -2;

  HexKeepStorage storage;
  HexKeepSet keep;
  LoadHexKeepSet(&keep, &storage);

  // The last slot of the ArgBuffer always counts as the terminator; the
  // buffer is overwritten with the result anyway.
  buffer[MAX_TEXT_LEN] = 0;
  char16_t text[MAX_ARG_LEN];
  const int length = EncodeText(buffer, keep, text);
  std::memcpy(buffer, text, sizeof(char16_t) * static_cast<size_t>(length + 1));
  return 0;
}
