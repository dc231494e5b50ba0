// Eight UTF-16 units as one SSE2 vector, read and written unaligned.
// Shared by the block paths of the conversions.
#pragma once

#include "kelvo/cpu.h"

#if KELVO_VECTOR_SSE2
#include <emmintrin.h>

inline __m128i LoadUnits(const char16_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline void StoreUnits(char16_t* p, __m128i units) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), units);
}
#endif
