// Where the conversions may use vector instructions, and the small
// helpers their block paths share.
//
// The policy:
// - Every block path has a one-unit path beside it that gives the same
//   result; the block path is only a faster way there.
// - SSE2 is decided when compiling: KELVO_SSE2 is 1 where the compiler
//   targets it (every x86-64 build), so those paths need no test at run
//   time. The x86 Windows module is built without them.
// - SSSE3 is decided at run time: the module is built for the x86-64
//   baseline, a path that needs SSSE3 is compiled for it alone
//   ([[gnu::target("ssse3")]]) and runs only where CpuHasSsse3() says so.
// - Defining KELVO_NO_VECTOR_PATHS turns every vector path off, so the
//   module runs the one-unit paths alone (and tests can check them).
// - A block reads whole blocks of the argument buffer, possibly past the
//   text's terminator but never past the buffer's end, and what lies past
//   the terminator never changes a result.
#pragma once

#if defined(__SSE2__) && !defined(KELVO_NO_VECTOR_PATHS)
#define KELVO_SSE2 1
#else
#define KELVO_SSE2 0
#endif

#if KELVO_SSE2
#include <emmintrin.h>
#include <tmmintrin.h>

#include "kelvo/markup.h"

// Eight UTF-16 units as one vector, read and written unaligned.
inline __m128i LoadUnits(const char16_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline void StoreUnits(char16_t* p, __m128i units) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), units);
}

// All ones in each lane whose unit is one of the folded fullwidth forms
// U+FF01..U+FF1F. SSE2 has no unsigned 16-bit compare: the distance above
// U+FF00 saturates to 0 below it, so a folded form is a distance of
// 1..0x1F.
inline __m128i FoldedFullwidthLanes(__m128i units) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i above = _mm_subs_epu16(units, _mm_set1_epi16(static_cast<int16_t>(FOLDED_FIRST - 1)));
  const __m128i withinRange =
      _mm_cmpeq_epi16(_mm_subs_epu16(above, _mm_set1_epi16(FOLDED_LAST - (FOLDED_FIRST - 1))), zero);
  return _mm_andnot_si128(_mm_cmpeq_epi16(above, zero), withinRange);
}
#endif

// True when the processor has SSSE3 (byte shuffles) and the module was
// built with the vector paths that use it (x86-64). Cheap enough to ask
// on every call: the runtime library fills in what it knows of the
// processor when the module is loaded, before any call.
inline bool CpuHasSsse3(void) {
#if KELVO_SSE2 && defined(__x86_64__)
  return __builtin_cpu_supports("ssse3") != 0;
#else
  return false;
#endif
}
