// The console on Windows.
#if defined(_WIN32)

#include <windows.h>

#include <string>

#include "takecmd_internal.h"

namespace takecmd {

namespace {
HANDLE StreamHandle(int stream) {
  return GetStdHandle(stream == STREAM_ERR ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
}
}  // namespace

void PlatformConsoleWrite(int stream, const char* bytes, size_t length) {
  HANDLE handle = StreamHandle(stream);
  while (length > 0) {
    DWORD chunk = length > 0x10000 ? 0x10000 : DWORD(length);
    DWORD written = 0;
    if (!WriteFile(handle, bytes, chunk, &written, nullptr) || written == 0) return;
    bytes += written;
    length -= written;
  }
}

void PlatformConsoleFlush(int) {}

int PlatformHandleStream(HostHandle handle) {
  if (handle == GetStdHandle(STD_ERROR_HANDLE)) return STREAM_ERR;
  if (handle == GetStdHandle(STD_OUTPUT_HANDLE)) return STREAM_OUT;
  return 0;
}

}  // namespace takecmd

#endif
