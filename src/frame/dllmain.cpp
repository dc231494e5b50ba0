// The module's load and unload entry. The plugin's state is static data
// with constant initial values, so there is nothing to set up or release
// here; the host drives everything through the exports.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE /*module*/, DWORD /*reason*/, LPVOID /*reserved*/) {
  return TRUE;
}
