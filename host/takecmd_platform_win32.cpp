// Console and environment on Windows.
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

void PlatformSetEnvironment(const std::u16string& name, const std::u16string& value) {
  if (name.empty() || name.find(u'=') != std::u16string::npos) return;
  const wchar_t* wname = reinterpret_cast<const wchar_t*>(name.c_str());
  SetEnvironmentVariableW(wname, value.empty() ? nullptr : reinterpret_cast<const wchar_t*>(value.c_str()));
}

bool PlatformGetEnvironment(const std::u16string& name, std::u16string& value) {
  if (name.empty() || name.find(u'=') != std::u16string::npos) return false;
  const wchar_t* wname = reinterpret_cast<const wchar_t*>(name.c_str());
  DWORD needed = GetEnvironmentVariableW(wname, nullptr, 0);
  if (needed == 0) return false;
  std::u16string buffer(needed, u'\0');
  DWORD got = GetEnvironmentVariableW(wname, reinterpret_cast<wchar_t*>(&buffer[0]), needed);
  if (got >= needed) return false;
  buffer.resize(got);
  value = buffer;
  return true;
}

}  // namespace takecmd

#endif
