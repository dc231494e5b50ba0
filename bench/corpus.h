// The benchmark inputs written by build_corpus.py: sets of pieces of
// UTF-16 text, one call per piece.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct PieceSet {
  std::u16string text;          // the pieces, each followed by a NUL unit
  std::vector<size_t> offset;   // where each piece starts in text
  std::vector<int> length;      // its length in UTF-16 units
  std::vector<std::string> utf8;  // the same pieces in UTF-8, for the C peers
  uint64_t characters = 0;

  size_t size() const { return offset.size(); }
  const char16_t* piece(size_t i) const { return text.data() + offset[i]; }
};

// Reads DIR/NAME.u16 (e.g. "plain.chunks"); exits with a message when it
// is missing, since the benchmark cannot run without it.
const PieceSet& LoadPieceSet(const std::string& directory, const std::string& name);

// Builds a piece set from texts made by the benchmark itself.
PieceSet MakePieceSet(const std::vector<std::u16string>& pieces);
