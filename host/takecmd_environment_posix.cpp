// The process environment on POSIX systems. The plugin asks the host for
// its environment here (StandInEnvironment), so variables are never
// copied into the process environment.
#if !defined(_WIN32)

#include <strings.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "takecmd_internal.h"
#include "utf_convert.h"

namespace takecmd {

void PlatformPublishVariable(const std::u16string&, const std::u16string&) {}

void PlatformSyncEnvironment() {}

bool PlatformGetEnvironment(const std::u16string& name, std::u16string& value) {
  std::string name8 = utf::To8(name);
  if (name8.empty() || name8.find('=') != std::string::npos) return false;
  const char* found = std::getenv(name8.c_str());
  if (found == nullptr) {
    // Names ignore case as on Windows: the first entry that matches.
    size_t length = name8.size();
    for (char** entry = environ; found == nullptr && *entry != nullptr; ++entry) {
      if (strncasecmp(*entry, name8.c_str(), length) == 0 && (*entry)[length] == '=') {
        found = *entry + length + 1;
      }
    }
  }
  if (found == nullptr) return false;
  value = utf::To16(found);
  return true;
}

}  // namespace takecmd

#endif
