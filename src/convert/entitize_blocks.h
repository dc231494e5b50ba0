// @ENTITIZE's scan sixteen units at a time, where the processor has SSE2
// (every x86-64 processor). A block is classified at once and copied
// whole; only its first unit that may need a rule is handed to the
// one-unit scan, which decides exactly. The class test may stop at units
// that need nothing (it does not look at the options, except for blanks
// under "always nbsp"), never the other way round. Used by
// entitize_scan.h alone.
#pragma once

#include <cstdint>

#include "convert/unit_vectors.h"
#include "kelvo/cpu.h"

namespace entitize_scan {

#if KELVO_VECTOR_SSE2

constexpr int SCAN_BLOCK = 16;

// Lane masks of a block, bit i for unit i.
struct BlockLanes {
  uint32_t stops;       // may take a rule of its own
  uint32_t candidates;  // blank or hyphen: may wait for the unit after it
  uint32_t followers;   // blank, hyphen or no-break space: may complete a candidate's rule
};

inline __m128i Bytes(int value) { return _mm_set1_epi8(static_cast<char>(value)); }

// What the Spaces option changes in the class test.
struct BlockSettings {
  __m128i blankRule;       // all ones where a blank takes a rule of its own
  __m128i breaksAsBlanks;  // all ones where a tab or line break is written as a blank
};

inline BlockSettings BlockSettingsFor(int spaces) {
  return {_mm_set1_epi8(spaces == 1 ? -1 : 0), _mm_set1_epi8(spaces == 2 ? -1 : 0)};
}

// The sixteen units are narrowed to bytes first: up to U+7FFF a unit
// above U+00FF becomes 0xFF, from U+8000 on it becomes 0, and both are
// stops, as are the control codes (the terminator among them). Other
// white space and the em dash lie above U+00FF, '&' is a stop, so the
// followers need only the blank, the hyphen and U+00A0.
// Under best-guess spaces a tab or line break is written as a blank and
// waits for a follower as one; *breaks gets their lanes.
inline BlockLanes ClassifyBlock(__m128i low, __m128i high, const BlockSettings& settings,
                                __m128i* breaks) {
  const __m128i bytes = _mm_packus_epi16(low, high);
  const __m128i blank = _mm_cmpeq_epi8(bytes, Bytes(' '));
  *breaks = _mm_and_si128(
      settings.breaksAsBlanks,
      _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, Bytes('\t')), _mm_cmpeq_epi8(bytes, Bytes('\n'))),
                   _mm_cmpeq_epi8(bytes, Bytes('\r'))));
  const __m128i controls =
      _mm_andnot_si128(*breaks, _mm_cmpeq_epi8(_mm_min_epu8(bytes, Bytes(0x1F)), bytes));
  const __m128i saturated = _mm_cmpeq_epi8(bytes, Bytes(0xFF));
  const __m128i ampersandOrApostrophe = _mm_cmpeq_epi8(_mm_or_si128(bytes, Bytes(1)), Bytes('\''));
  const __m128i quote = _mm_cmpeq_epi8(bytes, Bytes('"'));
  const __m128i lessOrGreater = _mm_cmpeq_epi8(_mm_or_si128(bytes, Bytes(2)), Bytes('>'));
  const __m128i bar = _mm_cmpeq_epi8(bytes, Bytes('|'));
  const __m128i stops = _mm_or_si128(
      _mm_or_si128(_mm_or_si128(controls, saturated), _mm_or_si128(ampersandOrApostrophe, quote)),
      _mm_or_si128(_mm_or_si128(lessOrGreater, bar), _mm_and_si128(blank, settings.blankRule)));
  const __m128i candidates =
      _mm_or_si128(_mm_or_si128(blank, *breaks), _mm_cmpeq_epi8(bytes, Bytes('-')));
  const __m128i followers = _mm_or_si128(candidates, _mm_cmpeq_epi8(bytes, Bytes(0xA0)));
  return {static_cast<uint32_t>(_mm_movemask_epi8(stops)),
          static_cast<uint32_t>(_mm_movemask_epi8(candidates)),
          static_cast<uint32_t>(_mm_movemask_epi8(followers))};
}

// The units of one half of a block with the lanes in byteLanes (one byte
// per lane) replaced by blanks.
inline __m128i WithBlanks(__m128i units, __m128i byteLanes) {
  return _mm_or_si128(_mm_andnot_si128(byteLanes, units),
                      _mm_and_si128(byteLanes, _mm_set1_epi16(' ')));
}

// Copies whole blocks from *p to *o while a block can be read (the
// input's storage ends at inputEnd, past its terminator) and written
// (before end), and leaves *p at the first unit that may need a rule.
// Each block is stored whole: the units past that first one are written
// again later or lie past the result. waitsBefore tells whether the unit
// before *p may wait for a follower.
[[gnu::always_inline]] inline void CopyBlocks(const char16_t** p, char16_t** o,
                                              const char16_t* inputEnd, const char16_t* end,
                                              const BlockSettings& settings, bool waitsBefore) {
  const char16_t* read = *p;
  char16_t* write = *o;
  uint32_t carry = waitsBefore ? 1 : 0;
  while (inputEnd - read >= SCAN_BLOCK && end - write >= SCAN_BLOCK) {
    const __m128i low = LoadUnits(read);
    const __m128i high = LoadUnits(read + SCAN_BLOCK / 2);
    __m128i breaks;
    const BlockLanes lanes = ClassifyBlock(low, high, settings, &breaks);
    const uint32_t maybe = lanes.stops | (((lanes.candidates << 1) | carry) & lanes.followers);
    StoreUnits(write, WithBlanks(low, _mm_unpacklo_epi8(breaks, breaks)));
    StoreUnits(write + SCAN_BLOCK / 2, WithBlanks(high, _mm_unpackhi_epi8(breaks, breaks)));
    if (maybe == 0) {
      carry = lanes.candidates >> (SCAN_BLOCK - 1);
      read += SCAN_BLOCK;
      write += SCAN_BLOCK;
      continue;
    }
    const int copied = __builtin_ctz(maybe);
    read += copied;
    write += copied;
    break;
  }
  *p = read;
  *o = write;
}

#else

// Without SSE2 the scan goes one unit at a time.
struct BlockSettings {};

inline BlockSettings BlockSettingsFor(int) { return {}; }

#endif

}  // namespace entitize_scan
