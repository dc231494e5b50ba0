#!/usr/bin/python3
"""Runs the kelvo shell on the cases of one or more case files and
compares standard output, standard error and the exit status exactly.

The case-file format is described in README.md beside this file.
"""

import argparse
import difflib
import os
import re
import shlex
import subprocess
import sys
import tempfile

PLACEHOLDER = re.compile(r"\{(CR|LF|TAB|ESC|NOEOL|LBRACE|BATCH|DIR|PLUGIN|VERSION|U\+[0-9A-Fa-f]{4,6})\}")
KEY_LINE = re.compile(r"^([a-z]+):(?: (.*))?$")
BLOCK_KEYS = {"batch", "stdin", "stdout", "stderr"}
LIST_KEYS = {"set", "env", "option"}
VALUE_KEYS = {"cmd", "argv", "args", "status", "file", "plugin", "platform", "encoding", "output",
              "reader"}
# How a batch block is written: the encoding and the byte-order mark.
ENCODINGS = {
    "utf-8": ("utf-8", b""),
    "utf-8-bom": ("utf-8", b"\xef\xbb\xbf"),
    "utf-16le-bom": ("utf-16-le", b"\xff\xfe"),
    "utf-16be-bom": ("utf-16-be", b"\xfe\xff"),
    "windows-1252": ("cp1252", b""),
}
PASSED_ENVIRONMENT = ("ASAN_", "UBSAN_", "LSAN_", "MSAN_")


class CaseFileError(Exception):
    pass


def substitute(text, context, where, split=False):
    """Replaces the placeholders of one line or value. For a value that
    is then split like a shell (split=True) the paths are quoted, so a
    blank or a backslash in them survives."""

    def replace(match):
        name = match.group(1)
        if name == "CR":
            return "\r"
        if name == "LF":
            return "\n"
        if name == "TAB":
            return "\t"
        if name == "ESC":
            return "\x1b"
        if name == "LBRACE":
            return "{"
        if name == "NOEOL":
            raise CaseFileError(f"{where}: {{NOEOL}} may only end a block line")
        if name == "BATCH":
            return shlex.quote(context["batch"]) if split else context["batch"]
        if name == "DIR":
            return shlex.quote(context["dir"]) if split else context["dir"]
        if name == "PLUGIN":
            return context["plugin"]
        if name == "VERSION":
            if not context["version"]:
                raise CaseFileError(f"{where}: {{VERSION}} needs the runner's --version")
            return context["version"]
        code = int(name[2:], 16)
        if code > 0x10FFFF or 0xD800 <= code <= 0xDFFF:
            raise CaseFileError(f"{where}: {{{name}}} is not a character that UTF-8 can carry")
        return chr(code)

    return PLACEHOLDER.sub(replace, text)


def block_text(lines, context, where):
    parts = []
    for line in lines:
        end = "\n"
        if line.endswith("{NOEOL}"):
            line = line[: -len("{NOEOL}")]
            end = ""
        parts.append(substitute(line, context, where) + end)
    return "".join(parts)


def encoded(text, case, where):
    """A batch or input block's bytes in the case's encoding."""
    encoding = case.get("encoding", "utf-8")
    if encoding not in ENCODINGS:
        raise CaseFileError(f"{where}: unknown encoding '{encoding}'")
    codec, mark = ENCODINGS[encoding]
    return mark + text.encode(codec)


def parse_case_file(path):
    """Returns a list of cases: dicts of raw fields, with line numbers."""
    cases = []
    case = None
    block = None
    with open(path, encoding="utf-8") as handle:
        for number, raw in enumerate(handle, 1):
            line = raw[:-1] if raw.endswith("\n") else raw
            where = f"{path}:{number}"
            if line.startswith("|"):
                if block is None:
                    raise CaseFileError(f"{where}: a '|' line outside a block")
                block.append(line[1:])
                continue
            block = None
            if line.startswith("=== "):
                case = {"name": line[4:].strip(), "line": number, "lists": {k: [] for k in LIST_KEYS}}
                if not case["name"]:
                    raise CaseFileError(f"{where}: a case needs a name")
                cases.append(case)
                continue
            if not line.strip() or line.startswith("#"):
                continue
            match = KEY_LINE.match(line)
            if case is None or match is None:
                raise CaseFileError(f"{where}: expected '=== name', 'key: value', 'key:' or a '|' line")
            key, value = match.group(1), match.group(2)
            if key in BLOCK_KEYS:
                if value:
                    raise CaseFileError(f"{where}: '{key}:' starts a block of '|' lines")
                if key in case:
                    raise CaseFileError(f"{where}: '{key}' given twice")
                case[key] = block = []
            elif key in LIST_KEYS:
                case["lists"][key].append((value or "", where))
            elif key in VALUE_KEYS:
                if key in case:
                    raise CaseFileError(f"{where}: '{key}' given twice")
                case[key] = value or ""
            else:
                raise CaseFileError(f"{where}: unknown key '{key}'")
    names = set()
    for case in cases:
        where = f"{path}:{case['line']}"
        runs = [k for k in ("cmd", "batch", "stdin", "argv") if k in case]
        if len(runs) != 1:
            raise CaseFileError(f"{where}: a case needs exactly one of cmd, batch, stdin, argv")
        if case["name"] in names:
            raise CaseFileError(f"{where}: case name '{case['name']}' used twice")
        names.add(case["name"])
    return cases


def shell_path(path, options):
    """A path as the shell sees it: under wine, on the drive Z: that
    stands for the Unix root."""
    if options.platform == "windows":
        return "Z:" + path.replace("/", "\\")
    return path


def skip_reason(case, options):
    """Why a case does not run on this platform, or None."""
    platform = case.get("platform")
    if platform is not None and platform != options.platform:
        return f"{platform} only"
    if "plugin" in case and options.platform != "linux":
        return "loads a Linux module"
    return None


def shown(data):
    """One readable line per output line, with control characters visible."""
    text = data.decode("utf-8", errors="backslashreplace")
    return [repr(line)[1:-1] for line in text.splitlines(keepends=True)] or ["(empty)"]


def run_into_file(command, stdin_bytes, directory, environment, options, path):
    """Runs the shell with standard output written to path (e.g. /dev/full)."""
    with open(path, "wb") as output:
        result = subprocess.run(command, input=stdin_bytes, stdout=output, stderr=subprocess.PIPE,
                                cwd=directory, env=environment, timeout=options.timeout)
    result.stdout = b""
    return result


def run_with_reader(command, stdin_bytes, directory, environment, options, count):
    """Runs the shell with standard output on a pipe whose reader takes
    count bytes and then closes it; standard output is what it read."""
    with tempfile.TemporaryFile() as errors, tempfile.TemporaryFile() as given:
        given.write(stdin_bytes)
        given.seek(0)
        process = subprocess.Popen(command, stdin=given, stdout=subprocess.PIPE, stderr=errors,
                                   cwd=directory, env=environment)
        taken = b""
        while len(taken) < count:
            piece = process.stdout.read(count - len(taken))
            if not piece:
                break
            taken += piece
        process.stdout.close()
        try:
            process.wait(timeout=options.timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            raise
        errors.seek(0)
        return subprocess.CompletedProcess(command, process.returncode, taken, errors.read())


def run_case(case, path, options):
    where = f"{path}:{case['line']}"
    with tempfile.TemporaryDirectory(prefix="kelvo-e2e-") as directory:
        directory = os.path.realpath(directory)
        batch_path = os.path.join(directory, case.get("file", "case.btm"))
        module = "libkelvo.so" if options.platform == "linux" else "kelvo.dll"
        context = {"batch": shell_path(batch_path, options), "dir": shell_path(directory, options),
                   "plugin": shell_path(os.path.join(os.path.dirname(options.shell), module), options),
                   "version": options.version}
        command = options.wrapper + [options.shell]
        plugin = case.get("plugin")
        if plugin == "test":
            if not options.test_plugin:
                raise CaseFileError(f"{where}: the test plugin was not given to the runner")
            command += ["--plugin", options.test_plugin]
        elif plugin is not None:
            command += ["--plugin", substitute(plugin, context, where)]
        for value, line_where in case["lists"]["option"]:
            command += shlex.split(substitute(value, context, line_where, split=True))
        for value, line_where in case["lists"]["set"]:
            command += ["--set", substitute(value, context, line_where)]
        passed = PASSED_ENVIRONMENT + tuple(options.pass_env)
        environment = {k: v for k, v in os.environ.items() if k.startswith(passed)}
        for value, line_where in case["lists"]["env"]:
            name, equals, content = value.partition("=")
            if not equals or not name:
                raise CaseFileError(f"{line_where}: env needs NAME=VALUE")
            environment[name] = substitute(content, context, line_where)
        stdin_bytes = b""
        if "cmd" in case:
            command += ["-c", substitute(case["cmd"], context, where)]
        elif "argv" in case:
            command += shlex.split(substitute(case["argv"], context, where, split=True))
        elif "batch" in case:
            with open(batch_path, "wb") as handle:
                handle.write(encoded(block_text(case["batch"], context, where), case, where))
            command.append(context["batch"])
            command += shlex.split(substitute(case.get("args", ""), context, where, split=True))
        else:
            stdin_bytes = encoded(block_text(case["stdin"], context, where), case, where)
        try:
            if "output" in case:
                result = run_into_file(command, stdin_bytes, directory, environment, options,
                                       substitute(case["output"], context, where))
            elif "reader" in case:
                result = run_with_reader(command, stdin_bytes, directory, environment, options,
                                         int(case["reader"]))
            else:
                result = subprocess.run(command, input=stdin_bytes, capture_output=True, cwd=directory,
                                        env=environment, timeout=options.timeout)
        except subprocess.TimeoutExpired:
            return [f"timed out after {options.timeout} s"]
        except ValueError:
            raise CaseFileError(f"{where}: reader must be a number") from None
        expected_out = block_text(case.get("stdout", []), context, where).encode("utf-8")
        expected_err = block_text(case.get("stderr", []), context, where).encode("utf-8")
        try:
            expected_status = int(case.get("status", "0"))
        except ValueError:
            raise CaseFileError(f"{where}: status must be a number") from None
    problems = []
    for stream, want, got in (("stdout", expected_out, result.stdout),
                              ("stderr", expected_err, result.stderr)):
        if want != got:
            diff = difflib.unified_diff(shown(want), shown(got), "expected " + stream,
                                        "actual " + stream, lineterm="")
            problems.append("\n".join(diff))
    if result.returncode != expected_status:
        problems.append(f"exit status: expected {expected_status}, got {result.returncode}")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--shell", required=True, help="the kelvo executable")
    parser.add_argument("--test-plugin", help="the test plugin module, for 'plugin: test'")
    parser.add_argument("--only", help="run only the case with this name")
    parser.add_argument("--timeout", type=float, default=60.0)
    parser.add_argument("--version", default="",
                        help="the plugin's version (x.y.z), which {VERSION} stands for")
    parser.add_argument("--wrapper", default="",
                        help="a command that runs the shell, e.g. wine (split like a shell)")
    parser.add_argument("--platform", choices=("linux", "windows"), default="linux",
                        help="the shell's platform: windows gives it paths on drive Z:")
    parser.add_argument("--pass-env", action="append", default=[], metavar="PREFIX",
                        help="pass environment variables whose names start so; repeatable")
    parser.add_argument("files", nargs="+")
    options = parser.parse_args()
    options.shell = os.path.abspath(options.shell)
    options.wrapper = shlex.split(options.wrapper)
    if options.test_plugin:
        options.test_plugin = os.path.abspath(options.test_plugin)
    passed = failed = skipped = 0
    for path in options.files:
        try:
            cases = parse_case_file(path)
            for case in cases:
                if options.only and case["name"] != options.only:
                    continue
                reason = skip_reason(case, options)
                if reason is not None:
                    skipped += 1
                    print(f"skip {case['name']} ({reason})")
                    continue
                problems = run_case(case, path, options)
                if problems:
                    failed += 1
                    print(f"FAIL {case['name']} ({path}:{case['line']})")
                    for problem in problems:
                        print("    " + problem.replace("\n", "\n    "))
                else:
                    passed += 1
                    print(f"ok   {case['name']}")
        except CaseFileError as error:
            failed += 1
            print(f"FAIL case file: {error}")
    print(f"{passed} passed, {failed} failed" + (f", {skipped} skipped" if skipped else ""))
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main())
