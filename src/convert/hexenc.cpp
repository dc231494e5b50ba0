// @HEXENC: percent-encodes every character that is neither alphanumeric
// nor in the keep-set: one of U+0000..U+00FF as U+FF05 and two upper-case
// hexadecimal digits, one above that as such an escape for each byte of
// its UTF-8 form (a surrogate pair is one character; a lone surrogate is
// written as U+FFFD). The fullwidth forms U+FF01..U+FF1F are folded to
// ASCII first.
//
// A character's escapes go into the result all together or not at all:
// when the result outgrows its buffer it ends after the last character
// that fitted, never inside an escape or a pair.
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

// The escapes of the UTF-8 bytes of c (U+0080..U+10FFFF, not a
// surrogate) at out; returns how many units they take: 6, 9 or 12.
int Utf8Escapes(char32_t c, char16_t* out) {
  const int bytes = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
  // The lead byte's marker bits: 110, 1110 or 11110.
  const unsigned lead = (0xF0u << (4 - bytes)) & 0xFF;
  for (int k = bytes - 1; k >= 0; --k) {
    const unsigned byte = k == 0 ? lead | c : 0x80 | (c & 0x3F);
    c >>= 6;
    out[3 * k] = MARK_PERCENT;
    out[3 * k + 1] = HexUpperDigit(static_cast<int>(byte >> 4));
    out[3 * k + 2] = HexUpperDigit(static_cast<int>(byte & 0xF));
  }
  return 3 * bytes;
}

// The character at p, whose first unit is above U+00FF and neither
// alphanumeric nor kept: a kept pair is copied, anything else written as
// its UTF-8 escapes, a lone surrogate as those of U+FFFD, all or none.
// Returns the unit after the character, or null when it did not fit.
const char16_t* EncodeAboveLatin1(const char16_t* p, const HexKeepSet& keep, ResultBuffer* out) {
  char32_t c = p[0];
  int units = 1;
  // p[1] is at worst the terminator.
  if (IsHighSurrogate(p[0]) && IsLowSurrogate(p[1])) {
    c = PairCharacter(p[0], p[1]);
    units = 2;
    if (HexKeepsBeyond(keep, c)) return ResultAppendPiece(out, p, 2) ? p + 2 : nullptr;
  } else if (IsSurrogate(p[0])) {
    c = 0xFFFD;
  }
  char16_t escapes[12];
  return ResultAppendPiece(out, escapes, Utf8Escapes(c, escapes)) ? p + units : nullptr;
}

// Encodes the text (read up to its terminator) into out. Units of
// U+0001..U+00FF go a block at a time through the table while the room
// allows a whole block; the terminator, the other units and the end of
// the room take the careful path one unit at a time, and a character
// that is written as UTF-8 escapes goes through the result buffer's
// piece append.
void EncodeText(const char16_t* p, const HexKeepSet& keep, ResultBuffer* out) {
  const HexOutput* const table = keep.latin1;
  char16_t* start;
  char16_t* o;
  char16_t* full;
  long lastBlock;
  // Both limits keep every store within the buffer: the result ends at
  // full at the latest, and a block starts no later than lastBlock units
  // into the room (none starts when the room is smaller than a block's).
  auto openRoom = [&] {
    start = o = ResultCursor(out);
    const int room = ResultRoom(out);
    full = start + room;
    lastBlock = static_cast<long>(room) + 1 - BLOCK_ROOM;
  };
  openRoom();
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
        if (!HexKeepsAbove(keep, c)) {
          ResultCommit(out, static_cast<int>(o - start));
          p = EncodeAboveLatin1(p - 1, keep, out);
          if (p == nullptr) return;  // cut: nothing more goes in
          openRoom();
          continue;
        }
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
