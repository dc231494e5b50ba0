// The console on POSIX systems.
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

}  // namespace takecmd

#endif
