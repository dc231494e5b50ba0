// The characters the plugin writes in place of markup, so that the host
// does not take them as command syntax when it expands a line.
#pragma once

constexpr char16_t MARK_AMP = 0xFF06;      // opens an entity
constexpr char16_t MARK_LT = 0xFF1C;       // opens a tag
constexpr char16_t MARK_GT = 0xFF1E;       // closes a tag
constexpr char16_t MARK_PERCENT = 0xFF05;  // escape character of @HEXENC
constexpr char16_t MARK_QUOT = 0xFF02;

// U+FF01..U+FF1F are read as their ASCII counterparts U+0021..U+003F by
// the functions that fold.
constexpr char16_t FOLDED_FIRST = 0xFF01;
constexpr char16_t FOLDED_LAST = 0xFF1F;
constexpr char16_t FOLD_DISTANCE = 0xFEE0;  // U+FF01 - U+0021

// One unsigned comparison, no branch: units below U+FF01 wrap around.
inline bool IsFoldedFullwidth(char16_t c) {
  return static_cast<char16_t>(c - FOLDED_FIRST) <= FOLDED_LAST - FOLDED_FIRST;
}

inline char16_t FoldFullwidth(char16_t c) {
  return IsFoldedFullwidth(c) ? char16_t(c - FOLD_DISTANCE) : c;
}
