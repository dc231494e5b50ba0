#!/usr/bin/python3
"""Runs the examples of the README for Windows users through the kelvo
shell and checks that each shows what the plugin really writes.

An example is a run of lines indented by two blanks: lines "C:\\> COMMAND"
are typed at the prompt, the lines after each are what it writes
(standard output and error together), and a bare "C:\\>" ends the
example. The commands of one example run in one shell, in order, so
options and arrays carry over; trailing empty lines are not compared.

    readme_examples.py --shell build/kelvo --version 0.60.4 docs/README-windows.txt
    readme_examples.py --shell build-win64/kelvo.exe --wrapper wine ...
"""

import argparse
import re
import shlex
import subprocess
import sys

PROMPT = "  C:\\>"
COMMAND = re.compile(r"^  C:\\> (\S.*)$")
INDENT = "  "


class ExampleError(Exception):
    pass


def examples(text):
    """(line number, [commands], expected output) for each example."""
    found = []
    current = None
    for number, line in enumerate(text.splitlines(), 1):
        match = COMMAND.match(line)
        if current is None:
            if match:
                current = (number, [match.group(1)], [])
            continue
        if match:
            current[1].append(match.group(1))
        elif line == PROMPT:
            found.append((current[0], current[1], "".join(current[2]).rstrip("\n")))
            current = None
        elif line == "" or line.startswith(INDENT):
            current[2].append(line[len(INDENT):] + "\n")
        else:
            raise ExampleError(f"line {number}: an example's line is indented by two blanks")
    if current is not None:
        raise ExampleError(f"line {current[0]}: the example does not end with a bare prompt")
    return found


def run(shell, wrapper, commands):
    """What the shell writes for the commands, typed one per line."""
    result = subprocess.run(wrapper + [shell], input="".join(c + "\n" for c in commands).encode(),
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=120,
                            check=False)
    return result.stdout.decode("utf-8", "replace").replace("\r\n", "\n").rstrip("\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--shell", required=True)
    parser.add_argument("--wrapper", default="", help="a command that runs the shell, e.g. wine")
    parser.add_argument("--version", required=True, help="what @KELVO_VERSION@ stands for")
    parser.add_argument("readme")
    options = parser.parse_args()
    with open(options.readme, encoding="utf-8") as handle:
        text = handle.read().replace("@KELVO_VERSION@", options.version)
    try:
        found = examples(text)
    except ExampleError as error:
        print(f"FAIL {options.readme}: {error}")
        return 1
    failed = 0
    for number, commands, expected in found:
        actual = run(options.shell, shlex.split(options.wrapper), commands)
        if actual == expected:
            print(f"ok   line {number}: {commands[0]}")
        else:
            failed += 1
            print(f"FAIL line {number}: {commands[0]}")
            print("    expected: " + "\n              ".join(expected.split("\n")))
            print("    actual:   " + "\n              ".join(actual.split("\n")))
    print(f"{len(found) - failed} passed, {failed} failed")
    return 1 if failed or not found else 0


if __name__ == "__main__":
    sys.exit(main())
