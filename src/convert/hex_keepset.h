// The characters @HEXENC copies unchanged: the alphanumeric ones and a
// keep-set, either the default "#$+-./:;=?@_" or the usable characters
// of the environment variable HEXENC_KEEP, which the boundary reads afresh
// on every call.
#pragma once

#include <cstdint>

#include "kelvo/charclass.h"

constexpr int KEEP_HIGH_WORDS = 65536 / 64;

// What @HEXENC writes for a character of U+0000..U+00FF, packed so that
// one 8-byte store writes it: units 0 to 2 hold the character itself or
// its escape (U+FF05 and two digits), unit 3 how many of them count.
// Writing a character is then one store and one addition, with no branch
// on whether it is escaped.
using HexOutput = uint64_t;

inline int HexOutputLength(HexOutput out) { return static_cast<int>(out >> 48); }
inline char16_t HexOutputUnit(HexOutput out, int k) { return static_cast<char16_t>(out >> (16 * k)); }

// Room for a keep-set built from HEXENC_KEEP; filled only when the
// variable is set, so the default costs nothing.
struct HexKeepStorage {
  HexOutput latin1[256];
  uint64_t high[KEEP_HIGH_WORDS];
};

struct HexKeepSet {
  const HexOutput* latin1;  // per U+0000..U+00FF: what is written
  const uint64_t* high;     // kept characters above U+00FF, or null for none
};

// Points set at the default tables when value (HEXENC_KEEP as read) is
// null, or builds the set from value in storage.
void BuildHexKeepSet(HexKeepSet* set, HexKeepStorage* storage, const char16_t* value);

// Whether a character above U+00FF that no folding applies to is copied;
// the others are dropped.
inline bool HexKeepsAbove(const HexKeepSet& set, char16_t c) {
  if (IsAlnumChar(c)) return true;
  return set.high != nullptr && ((set.high[c >> 6] >> (c & 63)) & 1) != 0;
}

// The fixed alphanumeric class over U+0000..U+00FF, for cross-checking
// the tables against the character-class tables.
bool HexLatin1IsAlnum(char16_t c);
