// Interactive input on POSIX systems (line editing comes next)

#if !defined(_WIN32)

#include "shell.h"

namespace shell {

void RunInteractive(Session& session) { RunPlainInput(session, StdinIsTerminal()); }

}  // namespace shell

#endif
