#!/usr/bin/python3
"""When wine_run.py skips a test and when it runs it: a loader the kernel
cannot execute or a missing loader is a skip (77, with the reason), a
loader that runs lets the command run and passes its status on, and a
loader that starts but fails is not taken for a missing kernel feature."""

import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
WINE_RUN = os.path.join(HERE, "wine_run.py")


def run(*arguments):
    return subprocess.run([sys.executable, WINE_RUN, *arguments], capture_output=True, text=True,
                          check=False)


class WineRunTest(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        self.addCleanup(self.directory.cleanup)

    def loader(self, name, content):
        path = os.path.join(self.directory.name, name)
        with open(path, "wb") as handle:
            handle.write(content)
        os.chmod(path, 0o755)
        return path

    def test_skips_and_runs(self):
        # Bytes in no format the kernel knows: execve fails with ENOEXEC,
        # as it does for an i386 program on a kernel without 32-bit support.
        unknown = self.loader("unknown-format", b"\x00\x01\x02 not a program\n")
        working = self.loader("working", b"#!/bin/sh\nexit 0\n")
        failing = self.loader("failing", b"#!/bin/sh\nexit 5\n")
        missing = os.path.join(self.directory.name, "missing")
        rows = [
            # loader, command status, expected status, expected output
            (unknown, 0, 77, "SKIPPED: this kernel cannot run 32-bit (i386) programs\n"),
            (missing, 0, 77, f"SKIPPED: wine's 32-bit loader {missing} is not installed "
                             "(package wine32:i386)\n"),
            (working, 0, 0, ""),
            (working, 3, 3, ""),
            (failing, 4, 4, ""),
            (None, 6, 6, ""),
        ]
        for loader, command_status, status, output in rows:
            with self.subTest(loader=loader, command_status=command_status):
                arguments = ["--i386-loader", loader] if loader else []
                result = run(*arguments, "--", "sh", "-c", f"exit {command_status}")
                self.assertEqual(status, result.returncode, result.stderr)
                self.assertEqual(output, result.stdout)

    def test_a_skipped_command_is_never_run(self):
        unknown = self.loader("unknown-format", b"\x00\x01\x02")
        marker = os.path.join(self.directory.name, "ran")
        result = run("--i386-loader", unknown, "--", "touch", marker)
        self.assertEqual(77, result.returncode)
        self.assertFalse(os.path.exists(marker))

    def test_explain_says_what_the_check_found(self):
        unknown = self.loader("unknown-format", b"\x00\x01\x02")
        working = self.loader("working", b"#!/bin/sh\nexit 0\n")
        self.assertEqual("x86 under wine: skipped, this kernel cannot run 32-bit (i386) programs\n",
                         run("--i386-loader", unknown, "--explain").stdout)
        self.assertEqual("x86 under wine: runs\n", run("--i386-loader", working, "--explain").stdout)


if __name__ == "__main__":
    unittest.main()
