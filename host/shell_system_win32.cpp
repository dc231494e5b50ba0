// Terminal, paths and handles of the shell on Windows.
#if defined(_WIN32)

#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell.h"
#include "utf_convert.h"

namespace shell {

bool StdinIsTerminal() { return _isatty(_fileno(stdin)) != 0; }

// A write to a closed pipe fails with an error here already.
void PrepareProcess() {}

std::string FullPath(const std::string& path) {
  std::u16string wide = utf::To16(path);
  wchar_t* full = _wfullpath(nullptr, reinterpret_cast<const wchar_t*>(wide.c_str()), 0);
  if (full == nullptr) return path;
  size_t n = 0;
  while (full[n] != 0) ++n;
  std::string result = utf::To8(reinterpret_cast<const char16_t*>(full), n);
  std::free(full);
  return result;
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
  std::u16string widePath = utf::To16(path);
  std::u16string wideMode = utf::To16(mode);
  return _wfopen(reinterpret_cast<const wchar_t*>(widePath.c_str()),
                 reinterpret_cast<const wchar_t*>(wideMode.c_str()));
}

HostHandle StdErrHandle() { return GetStdHandle(STD_ERROR_HANDLE); }

}  // namespace shell

#endif
