// Resetting the stand-in host between tests.

#include "standin.h"
#include "takecmd_internal.h"

extern "C" {

// Registered functions stay: they belong to the loaded plugin, not to
// the state a test sets up.
HOST_IMPORT void STANDIN_API StandInReset(void) {
  takecmd::ResetVariables();
  takecmd::ResetArrays();
  takecmd::ResetConsole();
}

}  // extern "C"
