// The process environment on POSIX systems. The plugin asks the host for
// its environment here (StandInEnvironment), so variables are never
// copied into the process environment.
#if !defined(_WIN32)

#include <strings.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <string_view>

#include "takecmd_internal.h"
#include "utf_convert.h"

namespace takecmd {

void PlatformPublishVariable(const std::u16string&, const std::u16string&) {}

void PlatformSyncEnvironment() {}

// One pass over the environment: the first entry whose name matches
// exactly, else the first that matches without regard to case, as
// getenv and then a caseless search would find them. Only an entry whose
// first character could match is compared, and a short ASCII name is
// not copied to the heap: the plugin asks on every call of a function
// that reads a variable, and most of the time the variable is not set.
bool PlatformGetEnvironment(std::u16string_view name, std::u16string& value) {
  if (name.empty() || name.find(u'=') != std::u16string_view::npos) return false;
  char shortName[64];
  std::string longName;
  const char* key = shortName;
  size_t length = name.size();
  bool ascii = length < sizeof shortName;
  for (size_t i = 0; ascii && i < length; ++i) {
    ascii = name[i] < 0x80;
    shortName[i] = static_cast<char>(name[i]);
  }
  if (!ascii) {
    longName = utf::To8(std::u16string(name));
    if (longName.empty()) return false;
    key = longName.c_str();
    length = longName.size();
  }
  const unsigned char first = static_cast<unsigned char>(key[0]) | 0x20;
  const char* caseless = nullptr;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const char* text = *entry;
    if ((static_cast<unsigned char>(text[0]) | 0x20) != first) continue;
    if (std::strncmp(text, key, length) == 0 && text[length] == '=') {
      value = utf::To16(text + length + 1);
      return true;
    }
    if (caseless == nullptr && strncasecmp(text, key, length) == 0 && text[length] == '=') {
      caseless = text + length + 1;
    }
  }
  if (caseless == nullptr) return false;
  value = utf::To16(caseless);
  return true;
}

}  // namespace takecmd

#endif
