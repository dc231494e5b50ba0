// The fullwidth forms that the decoders fold, tested eight UTF-16 units
// at a time (SSE2). Shared by the block paths of @DEENTITIZE and @HEXDEC.
#pragma once

#include "kelvo/cpu.h"

#if KELVO_VECTOR_SSE2
#include <emmintrin.h>

#include "kelvo/markup.h"

// All ones in each lane whose unit is one of U+FF01..U+FF1F. SSE2 has no
// unsigned 16-bit compare: the distance above U+FF00 saturates to 0
// below it, so a folded form is a distance of 1..0x1F.
inline __m128i FoldedFullwidthLanes(__m128i units) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i above = _mm_subs_epu16(units, _mm_set1_epi16(static_cast<int16_t>(FOLDED_FIRST - 1)));
  const __m128i withinRange =
      _mm_cmpeq_epi16(_mm_subs_epu16(above, _mm_set1_epi16(FOLDED_LAST - (FOLDED_FIRST - 1))), zero);
  return _mm_andnot_si128(_mm_cmpeq_epi16(above, zero), withinRange);
}
#endif
