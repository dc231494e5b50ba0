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
inline char16_t FoldFullwidth(char16_t c) {
  return (c >= 0xFF01 && c <= 0xFF1F) ? char16_t(c - 0xFEE0) : c;
}
