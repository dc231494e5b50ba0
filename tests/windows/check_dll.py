#!/usr/bin/python3
"""Reads the built kelvo.dll (and the stand-in TakeCmd.dll) and checks
what the host and the user see of the module: its machine and kind, the
exported names and their calling convention, the DLLs and host
operations it imports, and its version resource."""

import argparse
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_image import MACHINE_AMD64, MACHINE_I386, PeError, PeImage, version_info  # noqa: E402

# Export name and the bytes of arguments of its __stdcall form.
PLUGIN_EXPORTS = {
    "GetPluginInfo": 0, "InitializePlugin": 0, "ShutdownPlugin": 4,
    "Help": 4, "Usage": 8, "kelvo": 4, "arraytable": 4,
    "f_deentitize": 4, "f_doctype": 4, "f_entag": 4, "f_entitize": 4, "f_hcomment": 4,
    "f_hexdec": 4, "f_hexenc": 4, "f_makeentity": 4, "f_tag": 4,
}

# Host operations: bytes of arguments for the __stdcall ones, None for
# the variadic __cdecl ones.
HOST_OPERATIONS = {
    "ExpandVariables": 8, "QPuts": 4, "CrLf": 0, "QueryUnicodeOutput": 0,
    "Printf": None, "Qprintf": None, "Sprintf": None,
}

# The only DLLs the module may need: Windows' own and the host's.
ALLOWED_IMPORTS = {"kernel32.dll", "user32.dll", "msvcrt.dll", "takecmd.dll"}

# Windows services the platform layer calls.
PLATFORM_IMPORTS = [
    ("KERNEL32.dll", "GetStdHandle"),
    ("KERNEL32.dll", "GetEnvironmentVariableW"),
    ("USER32.dll", "MessageBoxW"),
    ("USER32.dll", "GetForegroundWindow"),
]


def version_strings(version):
    """The fixed entries of the string table, for version x.y.z."""
    return {
        "FileDescription": "Kelvo plugin for Take Command",
        "FileVersion": version,
        "InternalName": "kelvo",
        "OriginalFilename": "kelvo.dll",
        "ProductName": "Kelvo plugin",
        "ProductVersion": version,
    }


def fixed_version(version):
    """The two 32-bit halves of the fixed version x.y.z.0."""
    major, minor, patch = (int(part) for part in version.split("."))
    return (major << 16 | minor, patch << 16)


FILLED_STRINGS = ("CompanyName", "LegalCopyright", "Build", "Built On")
BUILD_STAMP = re.compile(r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d UTC$")

VOS__WINDOWS32 = 0x00000004
VFT_DLL = 0x00000002
FIXED_SIGNATURE = 0xFEEF04BD


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def check(self, name, ok, detail=""):
        if ok:
            self.passed += 1
            print(f"ok   {name}")
        else:
            self.failed += 1
            print(f"FAIL {name}" + (f": {detail}" if detail else ""))


def decorated(name, argument_bytes, x86):
    """The symbol a compiler gives a function of the C language."""
    if not x86:
        return name
    return f"_{name}" if argument_bytes is None else f"_{name}@{argument_bytes}"


def def_file_names(path):
    """Export names listed in a module definition file, undecorated."""
    names = []
    in_exports = False
    with open(path, encoding="ascii") as handle:
        for line in handle:
            line = line.split(";", 1)[0].strip()
            if not line:
                continue
            if line.upper() == "EXPORTS":
                in_exports = True
            elif in_exports:
                names.append(line.split()[0].split("@", 1)[0])
    return names


def check_plugin(checks, path, x86, version, build_time):
    image = PeImage(open(path, "rb").read())
    machine = MACHINE_I386 if x86 else MACHINE_AMD64
    checks.check("kelvo.dll is a DLL for the target machine",
                 image.is_dll and image.machine == machine,
                 f"machine {image.machine:#x}, DLL {image.is_dll}")

    exports = image.exports()
    checks.check("exports exactly the plugin's entry points",
                 set(exports) == set(PLUGIN_EXPORTS),
                 f"missing {sorted(set(PLUGIN_EXPORTS) - set(exports))}, "
                 f"extra {sorted(set(exports) - set(PLUGIN_EXPORTS))}")

    symbols = image.symbols()
    checks.check("symbol table present (needed for the convention checks)", bool(symbols))
    for name, argument_bytes in PLUGIN_EXPORTS.items():
        symbol = decorated(name, argument_bytes, x86)
        checks.check(f"export {name} is the __stdcall function {symbol}",
                     name in exports and symbols.get(symbol) == exports[name],
                     f"export at {exports.get(name)}, {symbol} at {symbols.get(symbol)}")

    imports = image.imports()
    checks.check("imports only Windows system DLLs and TakeCmd.dll",
                 {dll.lower() for dll in imports} <= ALLOWED_IMPORTS,
                 f"imports {sorted(imports)}")
    host = next((names for dll, names in imports.items() if dll.lower() == "takecmd.dll"), [])
    checks.check("imports exactly the seven host operations from TakeCmd.dll",
                 sorted(host) == sorted(HOST_OPERATIONS), f"imports {host}")
    for name, argument_bytes in HOST_OPERATIONS.items():
        symbol = "__imp_" + decorated(name, argument_bytes, x86)
        convention = "__cdecl" if argument_bytes is None else "__stdcall"
        checks.check(f"host operation {name} is called as {convention} ({symbol})",
                     symbol in symbols)
    for dll, function in PLATFORM_IMPORTS:
        names = next((n for d, n in imports.items() if d.lower() == dll.lower()), [])
        checks.check(f"imports {dll} {function}", function in names)

    info = version_info(image)
    fixed = info["fixed"]
    rows = [
        ("version signature", fixed["signature"], FIXED_SIGNATURE),
        (f"file version {version}.0", (fixed["file_ms"], fixed["file_ls"]), fixed_version(version)),
        (f"product version {version}.0", (fixed["product_ms"], fixed["product_ls"]),
         fixed_version(version)),
        ("file type DLL", fixed["type"], VFT_DLL),
        ("operating system VOS__WINDOWS32", fixed["os"], VOS__WINDOWS32),
        ("no file flags", fixed["flags"] & fixed["flags_mask"], 0),
        ("one string table, U.S. English Unicode", sorted(info["strings"]), ["040904b0"]),
        ("translation 0409 / 1200", info["translations"], [(0x0409, 1200)]),
    ]
    for name, got, want in rows:
        checks.check(name, got == want, f"got {got!r}, want {want!r}")
    strings = info["strings"].get("040904b0", {})
    expected_strings = version_strings(version)
    for key, want in expected_strings.items():
        checks.check(f"version string {key}", strings.get(key) == want,
                     f"got {strings.get(key)!r}, want {want!r}")
    for key in FILLED_STRINGS:
        checks.check(f"version string {key} is filled", bool(strings.get(key, "").strip()),
                     f"got {strings.get(key)!r}")
    checks.check("version string Build holds the build time",
                 BUILD_STAMP.match(strings.get("Build", "")) is not None,
                 f"got {strings.get('Build')!r}")
    if build_time is not None:
        checks.check(f"version string Build is {build_time}", strings.get("Build") == build_time,
                     f"got {strings.get('Build')!r}")
    checks.check("version strings are exactly the expected ones",
                 set(strings) == set(expected_strings) | set(FILLED_STRINGS),
                 f"got {sorted(strings)}")


def check_host(checks, path, def_path, x86):
    image = PeImage(open(path, "rb").read())
    exports = image.exports()
    listed = def_file_names(def_path)
    checks.check("TakeCmd.dll exports exactly what TakeCmd.def lists, undecorated",
                 sorted(exports) == sorted(listed),
                 f"missing {sorted(set(listed) - set(exports))}, "
                 f"extra {sorted(set(exports) - set(listed))}")
    symbols = image.symbols()
    for name, argument_bytes in HOST_OPERATIONS.items():
        symbol = decorated(name, argument_bytes, x86)
        checks.check(f"TakeCmd.dll export {name} is {symbol}",
                     name in exports and symbols.get(symbol) == exports[name])
    checks.check("TakeCmd.dll imports only Windows system DLLs",
                 {d.lower() for d in image.imports()} <= ALLOWED_IMPORTS - {"takecmd.dll"},
                 f"imports {sorted(image.imports())}")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--arch", choices=("x86", "x64"), required=True)
    parser.add_argument("--plugin", required=True, help="kelvo.dll")
    parser.add_argument("--host", help="the stand-in TakeCmd.dll (checked when given)")
    parser.add_argument("--host-def", help="host/TakeCmd.def (needed with --host)")
    parser.add_argument("--version", required=True, help="the project version, x.y.z")
    parser.add_argument("--build-time", help="the Build entry expected, e.g. from SOURCE_DATE_EPOCH")
    options = parser.parse_args()
    if options.host and not options.host_def:
        parser.error("--host needs --host-def")
    checks = Checks()
    x86 = options.arch == "x86"
    try:
        check_plugin(checks, options.plugin, x86, options.version, options.build_time)
        if options.host:
            check_host(checks, options.host, options.host_def, x86)
    except (OSError, PeError) as error:
        checks.check("the images can be read", False, str(error))
    print(f"{checks.passed} passed, {checks.failed} failed")
    return 1 if checks.failed or not checks.passed else 0


if __name__ == "__main__":
    sys.exit(main())
