// Console and environment on POSIX systems.
#if !defined(_WIN32)

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "takecmd_internal.h"
#include "utf_convert.h"

namespace takecmd {

void PlatformConsoleWrite(int stream, const char* bytes, size_t length) {
  std::FILE* file = stream == STREAM_ERR ? stderr : stdout;
  std::fwrite(bytes, 1, length, file);
}

void PlatformConsoleFlush(int stream) { std::fflush(stream == STREAM_ERR ? stderr : stdout); }

int PlatformHandleStream(HostHandle handle) {
  intptr_t value = reinterpret_cast<intptr_t>(handle);
  return (value == 1 || value == 2) ? int(value) : 0;
}

void PlatformSetEnvironment(const std::u16string& name, const std::u16string& value) {
  std::string name8 = utf::To8(name);
  if (name8.empty() || name8.find('=') != std::string::npos) return;
  if (value.empty()) {
    unsetenv(name8.c_str());
  } else {
    setenv(name8.c_str(), utf::To8(value).c_str(), 1);
  }
}

bool PlatformGetEnvironment(const std::u16string& name, std::u16string& value) {
  std::string name8 = utf::To8(name);
  if (name8.empty() || name8.find('=') != std::string::npos) return false;
  const char* found = std::getenv(name8.c_str());
  if (found == nullptr) return false;
  value = utf::To16(found);
  return true;
}

}  // namespace takecmd

#endif
