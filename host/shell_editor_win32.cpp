// Interactive input on Windows: the console's own line editing, read as
// plain lines.
#if defined(_WIN32)

#include "shell.h"

namespace shell {

void RunInteractive(Session& session) { RunPlainInput(session, StdinIsTerminal()); }

}  // namespace shell

#endif
