// Operating-system services on Windows: the console's standard-error
// handle, the process environment, and a real message box. wchar_t is 16
// bits here, so the plugin's char16_t text is passed through unchanged.
#include <windows.h>

#include "kelvo/platform.h"

namespace {

const wchar_t* AsWide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

}  // namespace

HostHandle PlatformStdErrHandle(void) { return GetStdHandle(STD_ERROR_HANDLE); }

int PlatformGetEnvironment(const char16_t* name, char16_t* buffer, int capacity) {
  if (capacity <= 0) return -1;
  buffer[0] = 0;
  // The answer is the length without the terminator when the value fits,
  // and the room it would need, terminator included, when it does not.
  DWORD length = GetEnvironmentVariableW(AsWide(name), reinterpret_cast<wchar_t*>(buffer),
                                         static_cast<DWORD>(capacity));
  if (length == 0) {
    buffer[0] = 0;  // absent, empty, or an error: nothing usable was read
    return 0;
  }
  if (length >= static_cast<DWORD>(capacity)) {
    buffer[0] = 0;
    return -1;
  }
  buffer[length] = 0;
  return static_cast<int>(length);
}

void PlatformShowMessage(const char16_t* text, const char16_t* caption) {
  MessageBoxW(GetForegroundWindow(), AsWide(text), AsWide(caption), MB_OK);
}
