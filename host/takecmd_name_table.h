// A table keyed by a name matched without regard to case, as the host
// matches variable and environment names (ASCII letters folded). The
// plugin asks for an environment variable on every call of a function
// that reads one, so a lookup folds while it hashes and compares: it
// copies nothing, whatever the length of the name. Changes cost the
// same for the 200,000th name as for the first.
//
// Entries sit in one dense array (in no particular order); an
// open-addressing index of power-of-two size, at most half full and
// probed linearly, holds each entry's hash and position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace takecmd {

inline char16_t FoldUnit(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; }

// A name with its hash, computed once for lookups in several tables.
struct FoldedName {
  std::u16string_view text;
  uint32_t hash;
};

inline FoldedName Fold(std::u16string_view name) {
  uint64_t h = 0xcbf29ce484222325u;  // FNV-1a over the folded units
  for (char16_t c : name) h = (h ^ FoldUnit(c)) * 0x100000001b3u;
  return FoldedName{name, uint32_t(h ^ (h >> 32))};
}

inline bool SameFolded(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && FoldUnit(a[i]) != FoldUnit(b[i])) return false;
  }
  return true;
}

// Orders names as their folded forms compare, unit by unit.
inline bool FoldedLess(std::u16string_view a, std::u16string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const char16_t x = FoldUnit(a[i]);
    const char16_t y = FoldUnit(b[i]);
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

template <class T>
class NameTable {
 public:
  struct Entry {
    std::u16string name;  // as first added
    T value;
  };

  Entry* FindEntry(const FoldedName& name) {
    const size_t slot = SlotOf(name);
    return slots_.empty() || slots_[slot].position == EMPTY ? nullptr : &entries_[slots_[slot].position];
  }
  T* Find(const FoldedName& name) {
    Entry* entry = FindEntry(name);
    return entry == nullptr ? nullptr : &entry->value;
  }

  // The entry under name; a new one (name as given, value default) when
  // there is none.
  Entry& FindOrAdd(const FoldedName& name) {
    if (2 * (entries_.size() + 1) > slots_.size()) Grow();
    const size_t slot = SlotOf(name);
    if (slots_[slot].position == EMPTY) {
      slots_[slot] = Slot{name.hash, uint32_t(entries_.size())};
      entries_.push_back(Entry{std::u16string(name.text), T()});
    }
    return entries_[slots_[slot].position];
  }

  void Erase(const FoldedName& name) {
    if (slots_.empty()) return;
    size_t hole = SlotOf(name);
    const uint32_t position = slots_[hole].position;
    if (position == EMPTY) return;
    // The last entry moves into the freed position.
    const uint32_t last = uint32_t(entries_.size() - 1);
    if (position != last) {
      size_t moved = size_t(Fold(entries_[last].name).hash) & Mask();
      while (slots_[moved].position != last) moved = (moved + 1) & Mask();
      slots_[moved].position = position;
      entries_[position] = std::move(entries_[last]);
    }
    entries_.pop_back();
    // Later slots of the same run move back, so that no probe stops
    // early at the hole.
    for (size_t next = (hole + 1) & Mask(); slots_[next].position != EMPTY; next = (next + 1) & Mask()) {
      const size_t home = size_t(slots_[next].hash) & Mask();
      const bool homeAfterHole = hole <= next ? (home > hole && home <= next) : (home > hole || home <= next);
      if (homeAfterHole) continue;
      slots_[hole] = slots_[next];
      hole = next;
    }
    slots_[hole] = Slot{0, EMPTY};
  }

  void Clear() {
    entries_.clear();
    slots_.clear();
  }

  size_t Size() const { return entries_.size(); }
  const std::vector<Entry>& Entries() const { return entries_; }

 private:
  static constexpr uint32_t EMPTY = UINT32_MAX;
  struct Slot {
    uint32_t hash;
    uint32_t position;  // in entries_, EMPTY for a free slot
  };

  size_t Mask() const { return slots_.size() - 1; }

  // The slot that holds name, else the free slot where it would go.
  size_t SlotOf(const FoldedName& name) const {
    if (slots_.empty()) return 0;
    size_t slot = size_t(name.hash) & Mask();
    while (slots_[slot].position != EMPTY &&
           (slots_[slot].hash != name.hash || !SameFolded(entries_[slots_[slot].position].name, name.text))) {
      slot = (slot + 1) & Mask();
    }
    return slot;
  }

  void Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 16 : 2 * old.size(), Slot{0, EMPTY});
    for (const Slot& s : old) {
      if (s.position == EMPTY) continue;
      size_t slot = size_t(s.hash) & Mask();
      while (slots_[slot].position != EMPTY) slot = (slot + 1) & Mask();
      slots_[slot] = s;
    }
  }

  std::vector<Entry> entries_;
  std::vector<Slot> slots_;
};

}  // namespace takecmd
