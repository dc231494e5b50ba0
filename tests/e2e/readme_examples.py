#!/usr/bin/python3
"""Runs the examples of the README as a reader would paste them, and
compares what they give with what the README says they give:

- every ```bash block, in a fresh directory where build/ is the build
  that holds the shell; a ```html block right after one is the page it
  wrote (the file named by the block's first `> NAME.html`);
- every indented block that follows "writes" is the standard output of
  the bash block before it;
- every indented block that starts with "$ COMMAND" is run as bash runs
  COMMAND, and the lines after it are what it writes, on standard output
  and standard error together;
- every row of a table with an example and a result column whose example
  is a variable function reference is run as `kelvo -c 'echo EXAMPLE'`.

Usage: readme_examples.py README SHELL
"""
import os
import re
import subprocess
import sys
import tempfile

FENCE = re.compile(r"^```(\w+)\n(.*?)^```$", re.M | re.S)
EXAMPLE_ROW = re.compile(r"^\|[^|\n]*\| `(%@[^`]*)` \| `([^`]*)` \|$", re.M)
WRITES = re.compile(r"\n\nwrites\n\n((?:    .*\n)+)")
# "$ COMMAND" indented, then the lines it writes: indented as deep, or
# empty, up to the next "$ COMMAND".
PROMPT_BLOCK = re.compile(r"^( {4,})\$ (.*)\n((?:(?:\1(?!\$ ).*)?\n)*)", re.M)


def main():
    readme, shell = sys.argv[1], os.path.abspath(sys.argv[2])
    with open(readme, encoding="utf-8") as handle:
        text = handle.read()
    results = []

    def check(what, ok, detail=""):
        results.append(ok)
        print(("ok   " if ok else "FAIL ") + what + ("" if ok else "\n    " + detail))

    with tempfile.TemporaryDirectory(prefix="kelvo-readme-") as directory:
        os.symlink(os.path.dirname(shell), os.path.join(directory, "build"))
        fences = list(FENCE.finditer(text))
        for n, fence in enumerate(fences):
            if fence.group(1) != "bash":
                continue
            script = fence.group(2)
            run = subprocess.run(["bash", "-e", "-c", script], cwd=directory, capture_output=True)
            first = script.strip().splitlines()[0]
            check(f"bash block '{first}' runs", run.returncode == 0 and not run.stderr,
                  f"status {run.returncode}, stderr {run.stderr!r}")
            following = text[fence.end():fences[n + 1].start() if n + 1 < len(fences) else len(text)]
            page = re.search(r"> (\S+\.html)", script)
            if n + 1 < len(fences) and fences[n + 1].group(1) == "html" and page:
                with open(os.path.join(directory, page.group(1)), encoding="utf-8") as handle:
                    wrote = handle.read()
                check(f"{page.group(1)} is the page shown", wrote == fences[n + 1].group(2),
                      f"wrote {wrote!r}")
            shown = WRITES.match(following)
            if shown:
                want = "".join(line[4:] + "\n" for line in shown.group(1).rstrip("\n").split("\n"))
                got = run.stdout.decode("utf-8")
                check(f"'{first}' writes what is shown", got == want, f"wrote {got!r}")

        for block in PROMPT_BLOCK.finditer(text):
            indent, command = block.group(1), block.group(2)
            want = "\n".join(line[len(indent):] for line in block.group(3).split("\n")).rstrip("\n")
            run = subprocess.run(["bash", "-c", command], cwd=directory, capture_output=True)
            got = (run.stdout + run.stderr).decode("utf-8").replace("\r\n", "\n").rstrip("\n")
            check(f"'$ {command}' writes what is shown", got == want, f"wrote {got!r}")

    for row in EXAMPLE_ROW.finditer(text):
        example, result = row.group(1), row.group(2)
        run = subprocess.run([shell, "-c", "echo " + example], capture_output=True)
        got = run.stdout.decode("utf-8").rstrip("\n")
        check(f"{example} gives {result}", run.returncode == 0 and got == result, f"gave {got!r}")

    failed = results.count(False)
    print(f"{len(results) - failed} passed, {failed} failed")
    return 1 if failed or not results else 0


if __name__ == "__main__":
    sys.exit(main())
