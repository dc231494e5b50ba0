// @HEXDEC eight units at a time. Escapes come every few units in encoded
// text; deciding each one by a branch would mispredict at nearly every
// escape, so a block of units is decided at once and its kept units are
// gathered with one shuffle. A block with an escape that may begin a
// UTF-8 sequence (C0 and above) looks at the escapes three units on: a
// two-byte sequence is decoded in the block, a longer one (and an escape
// of 00) ends the block there and goes to HexDecodeEscapeRun, and a byte
// that no escape of 80..BF follows stays one character, as any other.
// Needs SSSE3, which the processor is asked for at run time; elsewhere
// HexDecodeUnits does the work.
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
// last unit may hold that unit's escape digits, and a block with escapes
// that may begin a UTF-8 sequence reads the escapes three units on too.
constexpr int DECODE_BLOCK = 8;
constexpr int DECODE_BLOCK_READS = DECODE_BLOCK + 5;

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
// each 16-bit lane the byte they stand for, in *isPair all ones where
// both are ASCII hexadecimal digits, and in *rareLanes bit i set where
// lane i's byte is 0 or C0 and above (if the lane is an escape, one that
// may stop the block). The units are narrowed to bytes first
// (above U+00FF they saturate to 0 or 0xFF, neither a digit), so that
// both digits of every lane are tested in one vector.
inline __m128i EscapeValueLanes(const char16_t* at, __m128i* isPair, unsigned* rareLanes) {
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
  // Bits 8..15 come from bytes that hold no value; the caller keeps only
  // the bits of escapes.
  *rareLanes = static_cast<unsigned>(_mm_movemask_epi8(
      _mm_or_si128(_mm_cmpeq_epi8(value, _mm_setzero_si128()), _mm_cmpgt_epi8(digit, _mm_set1_epi8(0x0B)))));
  const __m128i bothDigits = _mm_and_si128(isDigit, _mm_srli_si128(isDigit, 8));
  *isPair = _mm_unpacklo_epi8(bothDigits, bothDigits);
  return _mm_unpacklo_epi8(value, _mm_setzero_si128());
}

// Units U+FF01..U+FF1F lowered to their ASCII forms.
inline __m128i FoldFullwidthLanes(__m128i units) {
  const __m128i distance = _mm_set1_epi16(static_cast<int16_t>(FOLD_DISTANCE));
  return _mm_sub_epi16(units, _mm_and_si128(FoldedFullwidthLanes(units), distance));
}

// The escapes at the lanes `rare` (of 00, and of C0 and above) among the
// escapes (all ones in `escapes`) of the block at `at`, whose bytes are
// `value`. A two-byte UTF-8 sequence (C2..DF and an escape of 80..BF three
// lanes on) is decoded here: its character goes into *decoded and its
// second escape into *dropped. Returns the lanes that the one-unit decoder
// takes: 00 (the block writes no "?") and any other byte of C0 and above
// that an escape of 80..BF follows. The others (Latin-1 text escaped byte
// by byte) stay in the block as they are. The escapes three lanes on are
// read as a block of their own, up to 13 units from `at`; whatever lies
// past the terminator there decides nothing, as an escape after a rare
// one lies before the terminator.
inline unsigned DecodeRareEscapes(const char16_t* at, __m128i value, __m128i escapes, unsigned rare, __m128i* decoded,
                                  unsigned* dropped) {
  __m128i nextIsPair;
  unsigned nextRare;
  const __m128i next = EscapeValueLanes(at + 3, &nextIsPair, &nextRare);
  const __m128i nextEscapes =
      _mm_and_si128(_mm_cmpeq_epi16(FoldFullwidthLanes(LoadUnits(at + 3)), _mm_set1_epi16('%')), nextIsPair);
  const __m128i continued = _mm_and_si128(
      _mm_cmpeq_epi16(_mm_and_si128(next, _mm_set1_epi16(0xC0)), _mm_set1_epi16(0x80)), nextEscapes);
  const __m128i twoByteLead =
      _mm_and_si128(_mm_cmpgt_epi16(value, _mm_set1_epi16(0xC1)), _mm_cmplt_epi16(value, _mm_set1_epi16(0xE0)));
  const __m128i pairLanes = _mm_and_si128(_mm_and_si128(twoByteLead, continued), escapes);
  const __m128i zero = _mm_cmpeq_epi16(value, _mm_setzero_si128());
  const unsigned masks = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(continued, pairLanes)));
  const unsigned zeros = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(zero, zero))) & rare;
  const unsigned pairs = (masks >> DECODE_BLOCK) & rare;
  // 110xxxxx 10yyyyyy: xxxxxyyyyyy.
  const __m128i character = _mm_or_si128(_mm_slli_epi16(_mm_and_si128(value, _mm_set1_epi16(0x1F)), 6),
                                         _mm_and_si128(next, _mm_set1_epi16(0x3F)));
  *decoded = _mm_or_si128(_mm_and_si128(pairLanes, character), _mm_andnot_si128(pairLanes, *decoded));
  // The second escape with its digits, which may reach five lanes into
  // the next block.
  *dropped |= (pairs << 3) | (pairs << 4) | (pairs << 5);
  return zeros | (rare & masks & 0xFF & ~pairs);
}

}  // namespace

// Escapes never overlap (a digit is never a percent sign), so every unit
// of a block can be decided at once: a percent sign with two digits after
// it becomes their value, those digits are dropped, and every other unit
// is kept, folded. The kept units of a block are stored together at the
// end of the result; the store reaches no further than the block read,
// and the next block is read from beyond it. The terminator, an escape
// of 00 and one that may begin a UTF-8 sequence stop a block: the units
// before the stop are stored without touching the stop's own, and such an
// escape is decoded from there on before the next block. Nothing is
// written after the text's terminator.
[[gnu::target("ssse3")]] int HexDecodeBlocks(const char16_t* text, const char16_t* end, char16_t* result) {
  const char16_t* read = text;
  char16_t* write = result;
  const char16_t* const lastBlock = end - DECODE_BLOCK_READS;
  // The first lanes of the next block that belong to an escape or a
  // sequence begun in this one: always lanes 0..n-1, at most five.
  unsigned carried = 0;
  while (read <= lastBlock) {
    const __m128i units = LoadUnits(read);
    __m128i isPair;
    unsigned rareLanes;
    const __m128i value = EscapeValueLanes(read, &isPair, &rareLanes);
    const __m128i folded = FoldFullwidthLanes(units);
    const __m128i escapes = _mm_and_si128(_mm_cmpeq_epi16(folded, _mm_set1_epi16('%')), isPair);
    __m128i decoded = _mm_or_si128(_mm_and_si128(escapes, value), _mm_andnot_si128(escapes, folded));
    const __m128i ends = _mm_cmpeq_epi16(units, _mm_setzero_si128());
    const unsigned masks = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(escapes, ends)));

    const unsigned starts = masks & 0xFF;
    unsigned dropped = (starts << 1) | (starts << 2) | carried;
    unsigned stop = masks >> DECODE_BLOCK;
    if ((starts & rareLanes) != 0)
      stop |= DecodeRareEscapes(read, value, escapes, starts & rareLanes, &decoded, &dropped);
    unsigned kept = ~dropped & 0xFF;
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
    const bool escape = ((starts >> lane) & 1) != 0;
    const ptrdiff_t stopAt = read - text + lane;
    if ((write - result) + DECODE_BLOCK <= stopAt + (escape ? 0 : 1)) {
      StoreUnits(write, gathered);
    } else {
      alignas(16) char16_t lanes[DECODE_BLOCK];
      _mm_store_si128(reinterpret_cast<__m128i*>(lanes), gathered);
      for (int i = 0; i < count; ++i) write[i] = lanes[i];
    }
    write += count;
    if (!escape) {
      *write = 0;
      return static_cast<int>(write - result);
    }
    // No escape before the stop reaches past it.
    read += lane;
    carried = 0;
    int written;
    read += HexDecodeEscapeRun(read, write, &written);
    write += written;
  }
  // Too near the end of the storage for a block: an escape or sequence
  // begun in the last block ends here.
  read += __builtin_ctz(~carried);
  return static_cast<int>(write - result) + HexDecodeUnits(read, write);
}

#else

int HexDecodeBlocks(const char16_t* text, const char16_t*, char16_t* result) {
  return HexDecodeUnits(text, result);
}

#endif
