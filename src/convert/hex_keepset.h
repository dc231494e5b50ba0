// The characters @HEXENC copies unchanged: the alphanumeric ones and a
// keep-set, either the default "#$+-./:;=?@_" or the usable characters
// of the environment variable HEXENC_KEEP, read afresh on every call.
#pragma once

#include <cstdint>

#include "kelvo/charclass.h"

constexpr int KEEP_HIGH_WORDS = 65536 / 64;

// Room for a keep-set built from HEXENC_KEEP; filled only when the
// variable is set, so the default costs nothing.
struct HexKeepStorage {
  uint8_t latin1[256];
  uint64_t high[KEEP_HIGH_WORDS];
};

struct HexKeepSet {
  const uint8_t* latin1;  // per U+0000..U+00FF: 1 copied, 0 escaped
  const uint64_t* high;   // kept characters above U+00FF, or null for none
};

// Points set at the default tables or builds it in storage from
// HEXENC_KEEP.
void LoadHexKeepSet(HexKeepSet* set, HexKeepStorage* storage);

// Whether c (as read, before folding) goes into the result unchanged.
// The terminator and the fullwidth forms that fold are never copied as
// they stand.
inline bool HexCopiesAsIs(const HexKeepSet& set, char16_t c) {
  if (c <= 0xFF) return set.latin1[c] != 0;
  if (static_cast<uint16_t>(c - 0xFF01) <= 0x1E) return false;
  if (IsAlnumChar(c)) return true;
  return set.high != nullptr && ((set.high[c >> 6] >> (c & 63)) & 1) != 0;
}

// The fixed alphanumeric class over U+0000..U+00FF, for cross-checking
// the tables against the character-class tables.
bool HexLatin1IsAlnum(char16_t c);
