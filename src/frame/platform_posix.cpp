// Operating-system services on Linux: standard error, the environment
// (asked of the stand-in host), and the stand-in host's message box.
#include <cstdint>

#include "kelvo/platform.h"
#include "standin.h"

HostHandle PlatformStdErrHandle(void) {
  return reinterpret_cast<HostHandle>(static_cast<intptr_t>(2));
}

// The stand-in host is the plugin's environment here: it answers from
// its variables (so a value given with `set` is seen, names without
// regard to case as on Windows) and else from the process environment.
int PlatformGetEnvironment(const char16_t* name, char16_t* buffer, int capacity) {
  return StandInEnvironment(name, buffer, capacity);
}

void PlatformShowMessage(const char16_t* text, const char16_t* caption) {
  StandInMessageBox(text, caption);
}
