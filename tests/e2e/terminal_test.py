#!/usr/bin/python3
"""The kelvo shell at a terminal (a pseudo-terminal): line editing,
history, Ctrl+C at the prompt and Ctrl+D on an empty line.

Usage: terminal_test.py SHELL VERSION

Keys are typed only while the shell waits for them, and each check waits
for the output it expects rather than for the next prompt: on a busy
machine the keys would otherwise arrive at other moments, and line
editing redraws the prompt more or less often.
"""
import os
import pty
import select
import sys
import tempfile
import termios
import time

PROMPT = b"kelvo> "
TIMEOUT = 10.0


class Terminal:
    def __init__(self, shell, home):
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.execve(shell, [shell], {"HOME": home, "LANG": "C.UTF-8", "TERM": "vt100"})
        self.seen = b""
        self.pos = 0  # where the text last waited for ended

    def read_until(self, wanted):
        """Reads until wanted has appeared after the text last waited
        for, and returns what came up to its end."""
        deadline = time.monotonic() + TIMEOUT
        while wanted not in self.seen[self.pos:]:
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
        end = self.seen.index(wanted, self.pos) + len(wanted)
        found, self.pos = self.seen[self.pos:end], end
        return found

    def shows(self, wanted):
        """True when wanted appears after the text last waited for, in time."""
        try:
            self.read_until(wanted)
            return True
        except AssertionError:
            return False

    def type(self, data):
        self.wait_for_keys()
        os.write(self.fd, data)

    def wait_for_keys(self):
        """Waits until the shell is blocked reading keys with the terminal
        in raw mode. The prompt shows before the line editor switches the
        terminal to raw mode, and keys typed before then meet the
        terminal's own line editing (a Ctrl+D or Ctrl+U acts there); a
        Ctrl+C typed while the shell is busy between two reads only takes
        effect at the next key."""
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline:
            raw = not termios.tcgetattr(self.fd)[3] & termios.ICANON
            with open(f"/proc/{self.pid}/stat") as stat:
                state = stat.read().rsplit(")", 1)[1].split()[0]
            if raw and state == "S":
                return
            time.sleep(0.005)
        raise AssertionError(f"the shell never waited for keys; screen:\n{self.seen!r}")

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
    loaded = b"Kelvo plugin v" + sys.argv[2].encode() + b" loaded."
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
        check("an interactive session at a terminal announces the plugin", loaded in term.seen)

        term.type(b"echo dropped")
        term.read_until(b"dropped")
        term.type(b"\x03")  # Ctrl+C
        term.read_until(PROMPT)
        term.type(b"echo %@entitize[kept & sound]\r")
        check("Ctrl+C drops the typed line and the shell goes on",
              term.shows(b"\r\nkept&nbsp;&amp; sound\r\n") and b"\r\ndropped" not in term.seen)
        term.read_until(PROMPT)

        term.type(b"\x1b[A" + b" again\r")  # the previous line, edited
        check("the up arrow brings back the previous line for editing",
              term.shows(b"\r\nkept&nbsp;&amp; sound again\r\n"))
        term.read_until(PROMPT)

        term.type(b"echo ab\x02\x02X\r")  # Ctrl+B twice: back over "ab"
        check("the cursor moves within the line", term.shows(b"\r\nXab\r\n"))
        term.read_until(PROMPT)

        term.type(b"echo caf\xc3\xa9!\x7f %@len[\xc3\xa9]\r")  # Backspace removes one character
        check("characters beyond ASCII are edited whole", term.shows(b"\r\ncaf\xc3\xa9 1\r\n"))
        term.read_until(PROMPT)

        term.type(b"x\x04")  # Ctrl+D on a line that is not empty
        term.type(b"\x15echo still here\r")  # Ctrl+U clears the line
        check("Ctrl+D on a line with text does not end the session", term.shows(b"\r\nstill here\r\n"))
        term.read_until(PROMPT)

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
        check("a new session finds the history of the last one", term.shows(b"\r\nstill here\r\n"))
        term.read_until(PROMPT)
        term.type(b"exit 4\r")
        check("exit ends an interactive session with its status", term.finish() == 4)

    print(f"{len(checks) - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
