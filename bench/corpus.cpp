#include "corpus.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>

namespace {

void Finish(PieceSet& set) {
  set.utf8.clear();
  set.characters = 0;
  for (size_t i = 0; i < set.size(); ++i) {
    set.utf8.push_back(ToUtf8(set.piece(i), size_t(set.length[i])));
    set.characters += uint64_t(set.length[i]);
  }
}

}  // namespace

std::string ToUtf8(const char16_t* text, size_t length) {
  std::string out;
  out.reserve(length);
  for (size_t i = 0; i < length; ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xF0 | (c >> 18));
      out += char(0x80 | ((c >> 12) & 0x3F));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

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
