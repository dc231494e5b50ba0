#!/usr/bin/python3
"""The kelvo shell at a terminal (a pseudo-terminal): line editing,
history, Ctrl+C at the prompt and Ctrl+D on an empty line.

Usage: terminal_test.py SHELL
"""
import os
import pty
import select
import sys
import tempfile
import time

PROMPT = b"kelvo> "
TIMEOUT = 10.0


class Terminal:
    def __init__(self, shell, home):
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.execve(shell, [shell], {"HOME": home, "LANG": "C.UTF-8", "TERM": "vt100"})
        self.seen = b""

    def read_until(self, wanted):
        """Reads until wanted has appeared after what was read before."""
        start = len(self.seen)
        deadline = time.monotonic() + TIMEOUT
        while wanted not in self.seen[start:]:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.fd], [], [], left)[0]:
                raise AssertionError(f"timed out waiting for {wanted!r}; screen so far:\n{self.seen!r}")
            try:
                chunk = os.read(self.fd, 4096)
            except OSError:
                chunk = b""
            if not chunk:
                raise AssertionError(f"the shell ended while waiting for {wanted!r}:\n{self.seen!r}")
            self.seen += chunk
        return self.seen[start:]

    def type(self, data):
        os.write(self.fd, data)

    def finish(self):
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline:
            pid, status = os.waitpid(self.pid, os.WNOHANG)
            if pid:
                return os.waitstatus_to_exitcode(status)
            if select.select([self.fd], [], [], 0.1)[0]:
                try:
                    self.seen += os.read(self.fd, 4096)
                except OSError:
                    pass
        os.kill(self.pid, 9)
        raise AssertionError(f"the shell did not end; screen:\n{self.seen!r}")


def main():
    shell = os.path.abspath(sys.argv[1])
    failures = []
    checks = []

    def check(what, condition):
        print(("ok   " if condition else "FAIL ") + what)
        checks.append(what)
        if not condition:
            failures.append(what)

    with tempfile.TemporaryDirectory(prefix="kelvo-terminal-") as home:
        term = Terminal(shell, home)
        term.read_until(PROMPT)
        check("an interactive session at a terminal announces the plugin", b"Kelvo plugin v0.60.4 loaded." in term.seen)

        term.type(b"echo dropped")
        term.read_until(b"dropped")
        term.type(b"\x03")  # Ctrl+C
        term.read_until(PROMPT)
        term.type(b"echo %@entitize[kept & sound]\r")
        after = term.read_until(PROMPT)
        check("Ctrl+C drops the typed line and the shell goes on",
              b"\r\nkept&nbsp;&amp; sound\r\n" in after and b"\r\ndropped" not in term.seen)

        term.type(b"\x1b[A" + b" again\r")  # the previous line, edited
        after = term.read_until(PROMPT)
        check("the up arrow brings back the previous line for editing",
              b"\r\nkept&nbsp;&amp; sound again\r\n" in after)

        term.type(b"echo ab\x02\x02X\r")  # Ctrl+B twice: back over "ab"
        after = term.read_until(PROMPT)
        check("the cursor moves within the line", b"\r\nXab\r\n" in after)

        term.type(b"echo caf\xc3\xa9!\x7f %@len[\xc3\xa9]\r")  # Backspace removes one character
        after = term.read_until(PROMPT)
        check("characters beyond ASCII are edited whole", b"\r\ncaf\xc3\xa9 1\r\n" in after)

        term.type(b"x\x04")  # Ctrl+D on a line that is not empty
        term.type(b"\x15echo still here\r")  # Ctrl+U clears the line
        after = term.read_until(PROMPT)
        check("Ctrl+D on a line with text does not end the session", b"\r\nstill here\r\n" in after)

        term.type(b"kelvo q:9\r")
        term.read_until(PROMPT)
        term.type(b"\x04")  # Ctrl+D on an empty line
        status = term.finish()
        check("Ctrl+D on an empty line ends the session with the last status", status == 1)

        with open(os.path.join(home, ".kelvo_history"), "rb") as handle:
            history = handle.read()
        check("history is kept in ~/.kelvo_history", b"echo\\040still\\040here" in history
              and b"dropped" not in history)

        term = Terminal(shell, home)
        term.read_until(PROMPT)
        term.type(b"\x1b[A\x1b[A\r")
        after = term.read_until(PROMPT)
        check("a new session finds the history of the last one", b"\r\nstill here\r\n" in after)
        term.type(b"exit 4\r")
        check("exit ends an interactive session with its status", term.finish() == 4)

    print(f"{len(checks) - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
