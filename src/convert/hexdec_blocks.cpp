// @HEXDEC eight units at a time. Escapes come every few units in encoded
// text; deciding each one by a branch would mispredict at nearly every
// escape, so a block of units is decided at once and its kept units are
// gathered with one shuffle. An escape whose value can begin a UTF-8
// sequence ends the block there and goes to HexDecodeLeadEscape, so only
// text that has such escapes leaves the block path. Needs SSSE3, which
// the processor is asked for at run time; elsewhere HexDecodeUnits does
// the work.
#include <cstddef>
#include <cstdint>

#include "convert/hexdec_decode.h"
#include "convert/vector_paths.h"

// Where the processor has none of it, the block path is never chosen.
bool HexDecodeBlocksSupported() { return CpuHasSsse3(); }

#if KELVO_SSE2
#include <emmintrin.h>
#include <tmmintrin.h>

namespace {

// Units decoded at once, and how many a block reads: the two after its
// last unit may hold that unit's escape digits.
constexpr int DECODE_BLOCK = 8;
constexpr int DECODE_BLOCK_READS = DECODE_BLOCK + 2;

// For each set of kept lanes (bit i: lane i): the shuffle that moves
// them, in order, to the front, and how many there are.
struct KeptLanesTable {
  alignas(16) uint8_t shuffle[256][16];
  uint8_t count[256];
};

constexpr KeptLanesTable BuildKeptLanesTable() {
  KeptLanesTable t{};
  for (int kept = 0; kept < 256; ++kept) {
    int out = 0;
    for (int lane = 0; lane < DECODE_BLOCK; ++lane) {
      if ((kept >> lane & 1) == 0) continue;
      t.shuffle[kept][2 * out] = static_cast<uint8_t>(2 * lane);
      t.shuffle[kept][2 * out + 1] = static_cast<uint8_t>(2 * lane + 1);
      ++out;
    }
    for (int byte = 2 * out; byte < 16; ++byte) t.shuffle[kept][byte] = 0x80;  // zero
    t.count[kept] = static_cast<uint8_t>(out);
  }
  return t;
}

constexpr KeptLanesTable KeptLanes = BuildKeptLanesTable();

// The two units after each of the eight at `at`, as escape digits: in
// each 16-bit lane the byte they stand for, and in *isPair all ones where
// both are ASCII hexadecimal digits. The units are narrowed to bytes
// first (above U+00FF they saturate to 0 or 0xFF, neither a digit), so
// that both digits of every lane are tested in one vector.
inline __m128i EscapeValueLanes(const char16_t* at, __m128i* isPair) {
  // Bytes 0..7: the units after each lane; bytes 8..15: the ones after those.
  const __m128i bytes = _mm_packus_epi16(LoadUnits(at + 1), LoadUnits(at + 2));
  const __m128i decimal =
      _mm_and_si128(_mm_cmpgt_epi8(bytes, _mm_set1_epi8('0' - 1)), _mm_cmplt_epi8(bytes, _mm_set1_epi8('9' + 1)));
  // Setting bit 5 lowers 'A'..'F' to 'a'..'f' and no other byte into it.
  const __m128i lowered = _mm_or_si128(bytes, _mm_set1_epi8(0x20));
  const __m128i letter =
      _mm_and_si128(_mm_cmpgt_epi8(lowered, _mm_set1_epi8('a' - 1)), _mm_cmplt_epi8(lowered, _mm_set1_epi8('f' + 1)));
  const __m128i isDigit = _mm_or_si128(decimal, letter);
  // '0'..'9' end in 0..9, 'A'..'F' and 'a'..'f' in 1..6.
  const __m128i digit =
      _mm_add_epi8(_mm_and_si128(bytes, _mm_set1_epi8(0x0F)), _mm_and_si128(letter, _mm_set1_epi8(9)));
  // A 16-bit shift moves each digit within its own byte, as digits are
  // below 16.
  const __m128i value = _mm_or_si128(_mm_slli_epi16(digit, 4), _mm_srli_si128(digit, 8));
  const __m128i bothDigits = _mm_and_si128(isDigit, _mm_srli_si128(isDigit, 8));
  *isPair = _mm_unpacklo_epi8(bothDigits, bothDigits);
  return _mm_unpacklo_epi8(value, _mm_setzero_si128());
}

// Units U+FF01..U+FF1F lowered to their ASCII forms.
inline __m128i FoldFullwidthLanes(__m128i units) {
  const __m128i distance = _mm_set1_epi16(static_cast<int16_t>(FOLD_DISTANCE));
  return _mm_sub_epi16(units, _mm_and_si128(FoldedFullwidthLanes(units), distance));
}

}  // namespace

// Escapes never overlap (a digit is never a percent sign), so every unit
// of a block can be decided at once: a percent sign with two digits after
// it becomes their value, those digits are dropped, and every other unit
// is kept, folded. The kept units of a block are stored together at the
// end of the result; the store reaches no further than the block read,
// and the next block is read from beyond it. The terminator and an escape
// of a lead byte stop a block: the units before the stop are stored
// without touching the stop's own, and a lead escape is decoded from
// there on before the next block. Nothing is written after the text's
// terminator.
[[gnu::target("ssse3")]] int HexDecodeBlocks(const char16_t* text, const char16_t* end, char16_t* result) {
  const char16_t* read = text;
  char16_t* write = result;
  const char16_t* const lastBlock = end - DECODE_BLOCK_READS;
  unsigned carried = 0;  // digits of an escape begun in the block before
  while (read <= lastBlock) {
    const __m128i units = LoadUnits(read);
    __m128i isPair;
    __m128i value = EscapeValueLanes(read, &isPair);
    const __m128i leadValue =
        _mm_and_si128(_mm_cmpgt_epi16(value, _mm_set1_epi16(0xC1)), _mm_cmplt_epi16(value, _mm_set1_epi16(0xF5)));
    value = _mm_or_si128(value, _mm_and_si128(_mm_cmpeq_epi16(value, _mm_setzero_si128()), _mm_set1_epi16('?')));
    const __m128i folded = FoldFullwidthLanes(units);
    const __m128i escapes = _mm_and_si128(_mm_cmpeq_epi16(folded, _mm_set1_epi16('%')), isPair);
    const __m128i decoded = _mm_or_si128(_mm_and_si128(escapes, value), _mm_andnot_si128(escapes, folded));
    const __m128i stops = _mm_or_si128(_mm_cmpeq_epi16(units, _mm_setzero_si128()), _mm_and_si128(escapes, leadValue));
    const unsigned masks = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(escapes, stops)));

    const unsigned starts = masks & 0xFF;
    const unsigned dropped = (starts << 1) | (starts << 2) | carried;
    unsigned kept = ~dropped & 0xFF;
    const unsigned stop = masks >> DECODE_BLOCK;
    if (stop != 0) kept &= (stop & (0u - stop)) - 1;  // the lanes before it

    const __m128i gather = _mm_load_si128(reinterpret_cast<const __m128i*>(KeptLanes.shuffle[kept]));
    const __m128i gathered = _mm_shuffle_epi8(decoded, gather);  // zeros after the kept units
    const int count = KeptLanes.count[kept];
    if (stop == 0) {
      StoreUnits(write, gathered);
      write += count;
      carried = dropped >> DECODE_BLOCK;
      read += DECODE_BLOCK;
      continue;
    }
    // A stop: the whole block is stored only where it ends before the
    // stop's unit (the terminator's slot may be overwritten, as the
    // result's own terminator comes no later).
    const int lane = __builtin_ctz(stop);
    const bool isLead = ((starts >> lane) & 1) != 0;
    const ptrdiff_t stopAt = read - text + lane;
    if ((write - result) + DECODE_BLOCK <= stopAt + (isLead ? 0 : 1)) {
      StoreUnits(write, gathered);
    } else {
      alignas(16) char16_t lanes[DECODE_BLOCK];
      _mm_store_si128(reinterpret_cast<__m128i*>(lanes), gathered);
      for (int i = 0; i < count; ++i) write[i] = lanes[i];
    }
    write += count;
    if (!isLead) {
      *write = 0;
      return static_cast<int>(write - result);
    }
    int written;
    read += lane + HexDecodeLeadEscape(read + lane, write, &written);
    write += written;
    carried = 0;
  }
  // Too near the end of the storage for a block: an escape begun in the
  // last block has its digits here.
  read += (carried & 1) + (carried >> 1);
  return static_cast<int>(write - result) + HexDecodeUnits(read, write);
}

#else

int HexDecodeBlocks(const char16_t* text, const char16_t*, char16_t* result) {
  return HexDecodeUnits(text, result);
}

#endif
