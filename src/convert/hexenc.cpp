// @HEXENC: percent-encodes every unit of U+0000..U+00FF that is neither
// alphanumeric nor in the keep-set, as U+FF05 and two upper-case
// hexadecimal digits; drops such units above U+00FF. The fullwidth forms
// U+FF01..U+FF1F are folded to ASCII first.
//
// An escape goes into the result whole or not at all: when the result
// outgrows its buffer it ends with the last escape that fitted, never
// with a lone escape character.
#include <bit>
#include <cstring>

#include "convert/conversion.h"
#include "convert/hex_keepset.h"
#include "kelvo/markup.h"
#include "kelvo/result_buffer.h"

namespace {

static_assert(std::endian::native == std::endian::little, "the packed outputs are stored as they lie in memory");

// An output is stored as four units, of which one to three count.
constexpr int STORE_UNITS = 4;
// Units converted between two tests of the room left.
constexpr int BLOCK = 8;
// The room a block needs for its stores.
constexpr int BLOCK_ROOM = 3 * (BLOCK - 1) + STORE_UNITS;

// U+0001..U+00FF: the units the table answers for.
inline bool InTable(char16_t c) { return static_cast<uint16_t>(c - 1) < 0xFF; }

// Converts up to BLOCK units while they lie in U+0001..U+00FF, one store
// and one addition each; returns where it stopped.
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

// Encodes the text (read up to its terminator) into out. Units of
// U+0001..U+00FF go a block at a time through the table while the room
// allows a whole block; the terminator, the other units and the end of
// the room take the careful path one unit at a time.
void EncodeText(const char16_t* p, const HexKeepSet& keep, ResultBuffer* out) {
  const HexOutput* const table = keep.latin1;
  char16_t* const start = ResultCursor(out);
  char16_t* o = start;
  // Both limits keep every store within the buffer: the result ends at
  // full at the latest, and a block starts no later than lastBlock units
  // into the room (none starts when the room is smaller than a block's).
  const int room = ResultRoom(out);
  char16_t* const full = start + room;
  const long lastBlock = static_cast<long>(room) + 1 - BLOCK_ROOM;
  char16_t refused = 0;
  for (;;) {
    if (o - start <= lastBlock) {
      const char16_t* stop = EncodeBlock(p, o, table);
      const bool whole = stop == p + BLOCK;
      p = stop;
      if (whole) continue;
    }
    // One unit, with every test.
    char16_t c = *p++;
    if (c == 0) break;
    if (c > 0xFF) {
      c = FoldFullwidth(c);
      if (c > 0xFF) {
        if (!HexKeepsAbove(keep, c)) continue;  // neither alphanumeric nor kept: dropped
        if (o == full) {
          refused = c;
          break;
        }
        *o++ = c;
        continue;
      }
    }
    const HexOutput output = table[c];
    const int n = HexOutputLength(output);
    if (n > full - o) {
      refused = HexOutputUnit(output, 0);
      break;
    }
    for (int u = 0; u < n; ++u) o[u] = HexOutputUnit(output, u);
    o += n;
  }
  ResultCommit(out, static_cast<int>(o - start));
  if (refused != 0) ResultCut(out, refused);
}

}  // namespace

Status HexEncode(const Argument& argument, const Options&, ResultBuffer* out) {
  HexKeepStorage storage;
  HexKeepSet keep;
  BuildHexKeepSet(&keep, &storage, argument.variable);
  EncodeText(argument.text, keep, out);
  return Status::Converted;
}
