// Run scanning shared by the in-place decoders (@DEENTITIZE, @HEXDEC):
// most of a text needs no change, so they look for the next unit that
// does and leave the run before it where it is.
#pragma once

#include <cstdint>

// True for the fullwidth forms U+FF01..U+FF1F, which the decoders fold
// to ASCII.
inline bool IsFoldedFullwidth(char16_t c) { return static_cast<uint16_t>(c - 0xFF01) <= 0x1E; }

// Index of the first unit at or after i (below limit) that is the
// terminator, the ASCII character `special`, or a folded fullwidth form;
// limit when there is none. Never reads past the terminator.
inline int SkipPlainRun(const char16_t* s, int i, int limit, char16_t special) {
  while (i < limit) {
    char16_t c = s[i];
    if (c == special || c == 0 || IsFoldedFullwidth(c)) break;
    ++i;
  }
  return i;
}
