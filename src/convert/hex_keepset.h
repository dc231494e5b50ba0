// The characters @HEXENC copies unchanged: the alphanumeric ones and a
// keep-set, either the default "#$+-./:;=?@_" or the usable characters
// of the environment variable HEXENC_KEEP, which the boundary reads afresh
// on every call. The keep-set holds characters: a surrogate pair in the
// value keeps that character above U+FFFF, and a lone surrogate in it is
// not taken, so no half of a pair is ever kept on its own.
#pragma once

#include <cstdint>

#include "kelvo/charclass.h"
#include "kelvo/limits.h"

constexpr int KEEP_HIGH_WORDS = 65536 / 64;

// What @HEXENC writes for a character of U+0000..U+00FF, packed so that
// one 8-byte store writes it: units 0 to 2 hold the character itself or
// its escape (U+FF05 and two digits), unit 3 how many of them count.
// Writing a character is then one store and one addition, with no branch
// on whether it is escaped.
using HexOutput = uint64_t;

inline int HexOutputLength(HexOutput out) { return static_cast<int>(out >> 48); }
inline char16_t HexOutputUnit(HexOutput out, int k) { return static_cast<char16_t>(out >> (16 * k)); }

// The upper-case hexadecimal digit of a value 0..15.
constexpr char16_t HexUpperDigit(int value) { return u"0123456789ABCDEF"[value]; }

// Room for a keep-set built from HEXENC_KEEP; filled only when the
// variable is set, so the default costs nothing.
struct HexKeepStorage {
  HexOutput latin1[256];
  uint64_t high[KEEP_HIGH_WORDS];
  char32_t beyond[SMALL_BUF_LEN / 2];
};

struct HexKeepSet {
  const HexOutput* latin1;  // per U+0000..U+00FF: what is written
  const uint64_t* high;     // kept characters U+0100..U+FFFF, or null for none
  const char32_t* beyond;   // kept characters above U+FFFF, as they came
  int beyondCount;
};

// Points set at the default tables when value (HEXENC_KEEP as read) is
// null, or builds the set from value in storage.
void BuildHexKeepSet(HexKeepSet* set, HexKeepStorage* storage, const char16_t* value);

// Whether a unit above U+00FF that no folding applies to is copied as it
// stands: an alphanumeric or kept character (never a surrogate).
inline bool HexKeepsAbove(const HexKeepSet& set, char16_t c) {
  if (IsAlnumChar(c)) return true;
  return set.high != nullptr && ((set.high[c >> 6] >> (c & 63)) & 1) != 0;
}

// Whether a character above U+FFFF is kept. Such characters come only as
// surrogate pairs, which are classed one unit at a time and so are never
// alphanumeric; a keep-set holds few of them, so they are looked up in
// turn.
inline bool HexKeepsBeyond(const HexKeepSet& set, char32_t c) {
  for (int i = 0; i < set.beyondCount; ++i)
    if (set.beyond[i] == c) return true;
  return false;
}

// The fixed alphanumeric class over U+0000..U+00FF, for cross-checking
// the tables against the character-class tables.
bool HexLatin1IsAlnum(char16_t c);
