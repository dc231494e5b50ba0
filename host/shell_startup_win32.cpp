// Process set-up of the shell on Windows, done before main() runs.
#if defined(_WIN32)

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

namespace {

// The C runtime opens the standard streams in text mode, which would turn
// "\n" into "\r\n" and end input at a Ctrl+Z. The shell reads and writes
// bytes exactly, as on other systems, and removes a carriage return
// before a line feed itself. A module that cannot be loaded is reported
// on standard error, never in a dialog box.
struct ShellStartup {
  ShellStartup() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  }
};

const ShellStartup shellStartup;

}  // namespace

#endif
