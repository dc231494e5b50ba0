// The console on POSIX systems: the standard streams through stdio, and
// the files that the shell's redirections open.
#if !defined(_WIN32)

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "takecmd_internal.h"
#include "utf_convert.h"

namespace takecmd {
namespace {

// The file each stream is redirected to (index = stream), or null. Two
// streams may share one file.
std::FILE* redirected[3] = {nullptr, nullptr, nullptr};

std::FILE* Target(int stream) {
  if (redirected[stream] != nullptr) return redirected[stream];
  return stream == STREAM_ERR ? stderr : stdout;
}

// The reasons the shell's users meet most, worded alike on every system.
std::u16string Reason(int error) {
  switch (error) {
    case EPIPE:
      return u"the pipe is closed";
    case ENOSPC:
      return u"the disk is full";
    case ENOENT:
      return u"no such folder";
    case EACCES:
    case EPERM:
    case EISDIR:
      return u"access denied";
    default:
      return utf::To16(std::strerror(error));
  }
}

}  // namespace

bool PlatformConsoleWrite(int stream, const char* bytes, size_t length, std::u16string& reason) {
  if (std::fwrite(bytes, 1, length, Target(stream)) == length) return true;
  reason = Reason(errno);
  return false;
}

bool PlatformConsoleFlush(int stream, std::u16string& reason) {
  if (std::fflush(Target(stream)) == 0) return true;
  reason = Reason(errno);
  return false;
}

int PlatformHandleStream(HostHandle handle) {
  intptr_t value = reinterpret_cast<intptr_t>(handle);
  return (value == 1 || value == 2) ? int(value) : 0;
}

bool PlatformRedirect(int stream, const std::u16string& path, bool append, std::u16string& reason) {
  std::string path8 = utf::To8(path);
  std::FILE* file = std::fopen(path8.c_str(), append ? "ab" : "wb");
  if (file == nullptr) {
    reason = Reason(errno);
    return false;
  }
  redirected[stream] = file;
  return true;
}

void PlatformRedirectLike(int stream, int other) { redirected[stream] = redirected[other]; }

bool PlatformEndRedirections(int& failedStream, std::u16string& reason) {
  bool ok = true;
  std::FILE* closed = nullptr;
  for (int stream = STREAM_OUT; stream <= STREAM_ERR; ++stream) {
    std::FILE* file = redirected[stream];
    redirected[stream] = nullptr;
    if (file == nullptr || file == closed) continue;
    closed = file;
    if (std::fclose(file) != 0 && ok) {
      ok = false;
      failedStream = stream;
      reason = Reason(errno);
    }
  }
  return ok;
}

void PlatformLastWords(const char* bytes, size_t length) {
  std::fflush(stderr);
  while (length > 0) {
    ssize_t written = write(2, bytes, length);
    if (written <= 0) return;
    bytes += written;
    length -= size_t(written);
  }
}

void PlatformEndProcess(int status) {
  // What can still be written is kept; the stream that failed is dropped.
  for (std::FILE* file : redirected) {
    if (file != nullptr) std::fflush(file);
  }
  std::fflush(stdout);
  std::fflush(stderr);
  _exit(status);
}

}  // namespace takecmd

#endif
