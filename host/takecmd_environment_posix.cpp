// The process environment on POSIX systems. The plugin asks the host for
// its environment here (StandInEnvironment), so variables are never
// copied into the process environment.
//
// Nothing in the shell changes the process environment after start, and
// the plugin asks for a variable on every call of a function that reads
// one, so the environment is read once into an index by folded name and
// read again only after a change made through the host
// (StandInSetEnvironment) or a reset (StandInReset).
#if !defined(_WIN32)

#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "takecmd_internal.h"
#include "takecmd_name_table.h"
#include "utf_convert.h"

namespace takecmd {
namespace {

// Every entry whose name folds to the same key, in the order of the
// environment: the first one under the index's name, the others after.
struct Spellings {
  std::u16string value;
  std::vector<std::pair<std::u16string, std::u16string>> later;  // name, value
};

NameTable<Spellings> byName;
bool indexCurrent = false;

void ReadIndex() {
  byName.Clear();
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const char* text = *entry;
    const char* equals = std::strchr(text, '=');
    // A name that is not UTF-8 cannot be asked for.
    if (equals == nullptr || equals == text || !utf::IsUtf8(text, size_t(equals - text))) continue;
    std::u16string name = utf::To16(text, size_t(equals - text));
    std::u16string value = utf::To16(equals + 1);
    const FoldedName key = Fold(name);
    auto* spellings = byName.FindEntry(key);
    if (spellings == nullptr) {
      byName.FindOrAdd(key).value.value = std::move(value);
      continue;
    }
    // A name given twice: the first counts, as getenv finds it.
    bool seen = spellings->name == name;
    for (const auto& other : spellings->value.later) seen = seen || other.first == name;
    if (!seen) spellings->value.later.emplace_back(std::move(name), std::move(value));
  }
  indexCurrent = true;
}

}  // namespace

void PlatformPublishVariable(const std::u16string&, const std::u16string&) {}

void PlatformSyncEnvironment() {}

// The entry spelt as asked, else the first that matches without regard
// to case, as getenv and then a caseless search would find them.
const std::u16string* PlatformGetEnvironment(const FoldedName& name) {
  if (!indexCurrent) ReadIndex();
  const auto* spellings = byName.FindEntry(name);
  if (spellings == nullptr) return nullptr;
  if (!spellings->value.later.empty() && spellings->name != name.text) {
    for (const auto& other : spellings->value.later) {
      if (other.first == name.text) return &other.second;
    }
  }
  return &spellings->value.value;
}

bool PlatformSetEnvironment(const char* name, const char* value) {
  indexCurrent = false;
  return (value == nullptr ? unsetenv(name) : setenv(name, value, 1)) == 0;
}

void PlatformRereadEnvironment() { indexCurrent = false; }

}  // namespace takecmd

#endif
