// The console on Windows: the standard handles, and the files that the
// shell's redirections open.
#if defined(_WIN32)

#include <windows.h>

#include <string>

#include "takecmd_internal.h"

namespace takecmd {
namespace {

// The file each stream is redirected to (index = stream), or null. Two
// streams may share one file.
HANDLE redirected[3] = {nullptr, nullptr, nullptr};

HANDLE Target(int stream) {
  if (redirected[stream] != nullptr) return redirected[stream];
  return GetStdHandle(stream == STREAM_ERR ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
}

// The reasons the shell's users meet most, worded alike on every system.
std::u16string Reason(DWORD error) {
  switch (error) {
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
    case ERROR_PIPE_NOT_CONNECTED:
      return u"the pipe is closed";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return u"the disk is full";
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
      return u"no such folder";
    case ERROR_ACCESS_DENIED:
      return u"access denied";
    default: {
      std::string digits = std::to_string(error);
      return u"system error " + std::u16string(digits.begin(), digits.end());
    }
  }
}

}  // namespace

bool PlatformConsoleWrite(int stream, const char* bytes, size_t length, std::u16string& reason) {
  HANDLE handle = Target(stream);
  while (length > 0) {
    DWORD chunk = length > 0x10000 ? 0x10000 : DWORD(length);
    DWORD written = 0;
    if (!WriteFile(handle, bytes, chunk, &written, nullptr) || written == 0) {
      reason = Reason(GetLastError());
      return false;
    }
    bytes += written;
    length -= written;
  }
  return true;
}

// Writes are not buffered here.
bool PlatformConsoleFlush(int, std::u16string&) { return true; }

int PlatformHandleStream(HostHandle handle) {
  if (handle == GetStdHandle(STD_ERROR_HANDLE)) return STREAM_ERR;
  if (handle == GetStdHandle(STD_OUTPUT_HANDLE)) return STREAM_OUT;
  return 0;
}

bool PlatformRedirect(int stream, const std::u16string& path, bool append, std::u16string& reason) {
  HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()),
                            append ? FILE_APPEND_DATA : GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    reason = Reason(GetLastError());
    return false;
  }
  redirected[stream] = file;
  return true;
}

void PlatformRedirectLike(int stream, int other) { redirected[stream] = redirected[other]; }

bool PlatformEndRedirections(int&, std::u16string&) {
  HANDLE closed = nullptr;
  for (int stream = STREAM_OUT; stream <= STREAM_ERR; ++stream) {
    HANDLE file = redirected[stream];
    redirected[stream] = nullptr;
    if (file == nullptr || file == closed) continue;
    closed = file;
    CloseHandle(file);
  }
  return true;
}

void PlatformLastWords(const char* bytes, size_t length) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), bytes, DWORD(length), &written, nullptr);
}

void PlatformEndProcess(int status) { ExitProcess(UINT(status)); }

}  // namespace takecmd

#endif
