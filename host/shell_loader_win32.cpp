// Loading the plugin module on Windows.
#if defined(_WIN32)

#include <windows.h>

#include <string>

#include "shell.h"
#include "utf_convert.h"

namespace shell {

void* LoadModule(const std::string& path, std::string& error) {
  std::u16string wide = utf::To16(path);
  HMODULE module = LoadLibraryW(reinterpret_cast<const wchar_t*>(wide.c_str()));
  if (module == nullptr) error = "error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(module);
}

void* FindExport(void* module, const std::string& name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name.c_str()));
}

std::string DefaultPluginPath() {
  wchar_t buffer[MAX_PATH * 4];
  DWORD n = GetModuleFileNameW(nullptr, buffer, DWORD(sizeof buffer / sizeof buffer[0]));
  if (n == 0 || n >= sizeof buffer / sizeof buffer[0]) return "kelvo.dll";
  std::string exe = utf::To8(reinterpret_cast<const char16_t*>(buffer), n);
  size_t slash = exe.find_last_of("\\/");
  return slash == std::string::npos ? "kelvo.dll" : exe.substr(0, slash + 1) + "kelvo.dll";
}

}  // namespace shell

#endif
