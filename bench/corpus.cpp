#include "corpus.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>

#include "utf8.h"

namespace {

void Finish(PieceSet& set) {
  set.utf8.clear();
  set.characters = 0;
  for (size_t i = 0; i < set.size(); ++i) {
    set.utf8.push_back(Utf8Of(std::u16string_view(set.piece(i), size_t(set.length[i])), LoneSurrogates::Replace));
    set.characters += uint64_t(set.length[i]);
  }
}

}  // namespace

const PieceSet& LoadPieceSet(const std::string& directory, const std::string& name) {
  static std::map<std::string, PieceSet> loaded;
  auto found = loaded.find(name);
  if (found != loaded.end()) return found->second;

  const std::string path = directory + "/" + name + ".u16";
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "kelvo_bench: cannot read %s (run bench/build_corpus.py)\n", path.c_str());
    std::exit(2);
  }
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  PieceSet& set = loaded[name];
  set.text.resize(bytes.size() / 2);
  for (size_t i = 0; i < set.text.size(); ++i)
    set.text[i] = char16_t(uint8_t(bytes[2 * i]) | (uint8_t(bytes[2 * i + 1]) << 8));
  size_t start = 0;
  for (size_t i = 0; i < set.text.size(); ++i) {
    if (set.text[i] != 0) continue;
    set.offset.push_back(start);
    set.length.push_back(int(i - start));
    start = i + 1;
  }
  Finish(set);
  return set;
}

PieceSet MakePieceSet(const std::vector<std::u16string>& pieces) {
  PieceSet set;
  for (const std::u16string& p : pieces) {
    set.offset.push_back(set.text.size());
    set.length.push_back(int(p.size()));
    set.text += p;
    set.text += char16_t(0);
  }
  Finish(set);
  return set;
}
