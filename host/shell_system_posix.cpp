// Terminal, paths and handles of the shell on POSIX systems.
#if !defined(_WIN32)

#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell.h"

namespace shell {

bool StdinIsTerminal() { return isatty(0) == 1; }

void PrepareProcess() { std::signal(SIGPIPE, SIG_IGN); }

std::string FullPath(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string full = resolved;
  std::free(resolved);
  return full;
}

std::FILE* OpenFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

HostHandle StdErrHandle() { return reinterpret_cast<HostHandle>(intptr_t(2)); }

}  // namespace shell

#endif
