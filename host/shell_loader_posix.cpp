// Loading the plugin module on POSIX systems.
#if !defined(_WIN32)

#include <dlfcn.h>
#include <unistd.h>

#include <string>

#include "shell.h"

namespace shell {

void* LoadModule(const std::string& path, std::string& error) {
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    const char* reason = dlerror();
    error = reason != nullptr ? reason : "unknown error";
  }
  return module;
}

void* FindExport(void* module, const std::string& name) { return dlsym(module, name.c_str()); }

std::string DefaultPluginPath() {
  char buffer[4096];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "libkelvo.so";
  std::string exe(buffer, size_t(n));
  size_t slash = exe.rfind('/');
  return slash == std::string::npos ? "libkelvo.so" : exe.substr(0, slash + 1) + "libkelvo.so";
}

}  // namespace shell

#endif
