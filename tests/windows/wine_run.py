#!/usr/bin/python3
"""Runs a test's command under wine, or reports the test as skipped when
the machine cannot run the 32-bit module at all.

    wine_run.py [--i386-loader PATH] -- COMMAND [ARGS...]
    wine_run.py --i386-loader PATH --explain

With --i386-loader (wine's 32-bit loader, an i386 program), the loader is
started first: a kernel built or booted without 32-bit support refuses to
execute it ("Exec format error"), and then the command is not run and the
exit status is 77, which CTest counts as a skip, with the reason on
standard output. A loader that is missing is a skip too (wine's 32-bit
half is not installed). Any other trouble with the loader is not a skip:
the command runs and its own failure shows what is wrong. --explain only
prints what the check found.
"""

import argparse
import errno
import os
import subprocess
import sys

SKIP = 77


def i386_unavailable(loader):
    """Why 32-bit Windows programs cannot run here, or None when they can."""
    if not os.path.isfile(loader) or not os.access(loader, os.X_OK):
        return f"wine's 32-bit loader {loader} is not installed (package wine32:i386)"
    try:
        subprocess.run([loader, "--version"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60, check=False)
    except OSError as error:
        if error.errno == errno.ENOEXEC:
            return "this kernel cannot run 32-bit (i386) programs"
        raise
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--i386-loader", help="wine's 32-bit loader; its absence or refusal is a skip")
    parser.add_argument("--explain", action="store_true", help="only say whether x86 runs here")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    options = parser.parse_args()
    command = options.command[1:] if options.command[:1] == ["--"] else options.command

    reason = i386_unavailable(options.i386_loader) if options.i386_loader else None
    if options.explain:
        print("x86 under wine: " + (f"skipped, {reason}" if reason else "runs"))
        return 0
    if reason:
        print(f"SKIPPED: {reason}")
        return SKIP
    if not command:
        parser.error("no command to run")
    return subprocess.run(command, check=False).returncode


if __name__ == "__main__":
    sys.exit(main())
