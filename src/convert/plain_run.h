// Run scanning for @DEENTITIZE, which decodes in place: most of a text
// needs no change, so it looks for the next unit that does and keeps or
// moves the run before it in bulk.
#pragma once

#include <cstdint>

#include "convert/fullwidth_lanes.h"
#include "convert/unit_vectors.h"
#include "kelvo/cpu.h"
#include "kelvo/markup.h"

// True for a unit that is copied as it stands: neither the
// terminator, nor the ASCII character `special` that starts its escapes,
// nor a fullwidth form it folds. The three tests are combined without
// branches: a branch per test would be mispredicted at every blank.
inline bool IsPlainUnit(char16_t c, char16_t special) {
  const bool stops = (c == special) | (c == 0) | IsFoldedFullwidth(c);
  return !stops;
}

#if KELVO_VECTOR_SSE2
// Units tested at once.
constexpr int PLAIN_BLOCK = 8;

// Nonzero when one of the eight units is not plain.
inline int BlockStops(__m128i units, char16_t special) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i isSpecial = _mm_cmpeq_epi16(units, _mm_set1_epi16(static_cast<int16_t>(special)));
  const __m128i isEnd = _mm_cmpeq_epi16(units, zero);
  const __m128i folded = FoldedFullwidthLanes(units);
  return _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(isSpecial, isEnd), folded));
}
#endif

// The first unit at or after p that is not plain. Where the machine has
// vectors, blocks of units are tested at once, but no block reaches past
// limit, the end of the buffer; a block may hold units after the
// terminator, yet the terminator stops it whatever they are. The text
// must be terminated before limit.
inline const char16_t* SkipPlainRun(const char16_t* p, const char16_t* limit, char16_t special) {
#if KELVO_VECTOR_SSE2
  while (limit - p >= PLAIN_BLOCK) {
    const __m128i units = LoadUnits(p);
    if (BlockStops(units, special) != 0) break;
    p += PLAIN_BLOCK;
  }
#else
  (void)limit;
#endif
  while (IsPlainUnit(*p, special)) ++p;
  return p;
}

// Moves the plain run at read down to write (write <= read), as
// SkipPlainRun finds it, and advances both past it. A block is stored
// only after it was read whole, so the move never overwrites a unit not
// yet read.
inline void MovePlainRun(const char16_t*& read, char16_t*& write, const char16_t* limit, char16_t special) {
#if KELVO_VECTOR_SSE2
  while (limit - read >= PLAIN_BLOCK) {
    const __m128i units = LoadUnits(read);
    if (BlockStops(units, special) != 0) break;
    StoreUnits(write, units);
    read += PLAIN_BLOCK;
    write += PLAIN_BLOCK;
  }
#else
  (void)limit;
#endif
  while (IsPlainUnit(*read, special)) *write++ = *read++;
}
