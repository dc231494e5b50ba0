// The shell's platform services for the fuzz target: no files, no
// terminal, no modules. A fuzzed line can name any file, so none is ever
// opened: `type` and batch files find nothing.
#include <cstdint>
#include <cstdio>
#include <string>

#include "shell.h"

namespace shell {

void* LoadModule(const std::string&, std::string& error) {
  error = "no modules while fuzzing";
  return nullptr;
}
void* FindExport(void*, const std::string&) { return nullptr; }
std::string DefaultPluginPath() { return std::string(); }
bool StdinIsTerminal() { return false; }
void PrepareProcess() {}
std::string FullPath(const std::string& path) { return path; }
std::FILE* OpenFile(const std::string&, const char*) { return nullptr; }
HostHandle StdErrHandle() { return reinterpret_cast<HostHandle>(intptr_t(2)); }

}  // namespace shell
