#!/usr/bin/python3
"""Builds the release archives: kelvo.dll for 32-bit and 64-bit Windows in
Release, each checked with tests/windows/check_dll.py and packed with the
README for Windows users, and the SHA-256 sums of the archives.

    make_dist.py [--build-root build-dist] [--out dist] [--jobs 2]

writes OUT/kelvo-VERSION-x86.zip, OUT/kelvo-VERSION-x64.zip and
OUT/SHA256SUMS. With SOURCE_DATE_EPOCH set, the archives are the same
bytes wherever and whenever they are built from the same sources: the
DLL's Build stamp and the archive entries' times are that moment, the
entries are always in the same order with the same permissions, and the
build puts no path or link time into the DLL.
"""

import argparse
import hashlib
import os
import re
import subprocess
import sys
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Architecture name in the archive, toolchain file, what the README calls
# the host.
ARCHITECTURES = [
    ("x86", "mingw-w64-i686.cmake", "32-bit"),
    ("x64", "mingw-w64-x86_64.cmake", "64-bit"),
]
README_SOURCE = os.path.join(ROOT, "docs", "README-windows.txt")
VERSION_LINE = re.compile(r'^#define PLUGIN_VERSION_TEXT u"([0-9]+\.[0-9]+\.[0-9]+)"$', re.M)
# The earliest time a zip entry can hold.
ZIP_EPOCH = (1980, 1, 1, 0, 0, 0)


def source_date_epoch():
    """SOURCE_DATE_EPOCH as a number, or None when it is unset or empty."""
    value = os.environ.get("SOURCE_DATE_EPOCH", "")
    if value == "":
        return None
    if not value.isdigit():
        sys.exit(f"make_dist: SOURCE_DATE_EPOCH is not a number of seconds: {value!r}")
    return int(value)


def build_time_stamp(epoch):
    """The version resource's Build entry for that moment."""
    return time.strftime("%Y-%m-%d %H:%M:%S UTC", time.gmtime(epoch))


def zip_time(epoch):
    moment = time.gmtime(epoch if epoch is not None else time.time())[:6]
    return max(moment, ZIP_EPOCH)


def run(command, **keywords):
    result = subprocess.run(command, check=False, **keywords)
    if result.returncode != 0:
        sys.exit(f"make_dist: failed ({result.returncode}): {' '.join(command)}")


def build(architecture, toolchain, build_dir, jobs, environment):
    """Builds kelvo.dll (only: the stand-in host is no part of a release)."""
    run(["cmake", "-S", ROOT, "-B", build_dir,
         "-DCMAKE_TOOLCHAIN_FILE=" + os.path.join(ROOT, "cmake", toolchain),
         "-DCMAKE_BUILD_TYPE=Release", "-DKELVO_TESTS=OFF"],
        env=environment, stdout=subprocess.DEVNULL)
    run(["cmake", "--build", build_dir, "-j", str(jobs), "--target", "kelvo_plugin"],
        env=environment, stdout=subprocess.DEVNULL)
    with open(os.path.join(build_dir, "generated", "kelvo", "version.h"), encoding="utf-8") as handle:
        match = VERSION_LINE.search(handle.read())
    if match is None:
        sys.exit(f"make_dist: no version in {build_dir}/generated/kelvo/version.h")
    return match.group(1)


def check_image(architecture, build_dir, version, epoch):
    command = [sys.executable, os.path.join(ROOT, "tests", "windows", "check_dll.py"),
               "--arch", architecture,
               "--plugin", os.path.join(build_dir, "kelvo.dll"), "--version", version]
    if epoch is not None:
        command += ["--build-time", build_time_stamp(epoch)]
    result = subprocess.run(command, capture_output=True, text=True, check=False)
    if result.returncode != 0:
        sys.stdout.write(result.stdout)
        sys.exit(f"make_dist: the {architecture} kelvo.dll fails the image checks")


def readme_text(version, host):
    """The README for Windows users, with Windows line ends."""
    with open(README_SOURCE, encoding="utf-8") as handle:
        text = handle.read()
    text = text.replace("@KELVO_VERSION@", version).replace("@KELVO_HOST@", host)
    return text.replace("\n", "\r\n").encode("utf-8")


def write_archive(path, members, epoch):
    """A zip of (name, bytes) in the order given, every entry with the
    same time and permissions, whatever the files on disk say."""
    when = zip_time(epoch)
    with zipfile.ZipFile(path, "w") as archive:
        for name, data in members:
            entry = zipfile.ZipInfo(name, date_time=when)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.create_system = 3  # Unix, so the permissions below are read
            entry.external_attr = 0o100644 << 16
            archive.writestr(entry, data, compresslevel=9)


def sha256(path):
    with open(path, "rb") as handle:
        return hashlib.sha256(handle.read()).hexdigest()


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build-root", default=os.path.join(ROOT, "build-dist"))
    parser.add_argument("--out", default=os.path.join(ROOT, "dist"))
    parser.add_argument("--jobs", type=int, default=2)
    options = parser.parse_args()

    epoch = source_date_epoch()
    environment = dict(os.environ)
    if epoch is None:
        environment.pop("SOURCE_DATE_EPOCH", None)
    os.makedirs(options.out, exist_ok=True)
    for name in os.listdir(options.out):
        if name == "SHA256SUMS" or re.fullmatch(r"kelvo-.*-x(86|64)\.zip", name):
            os.remove(os.path.join(options.out, name))

    archives = []
    for architecture, toolchain, host in ARCHITECTURES:
        build_dir = os.path.abspath(os.path.join(options.build_root, architecture))
        version = build(architecture, toolchain, build_dir, options.jobs, environment)
        check_image(architecture, build_dir, version, epoch)
        with open(os.path.join(build_dir, "kelvo.dll"), "rb") as handle:
            module = handle.read()
        name = f"kelvo-{version}-{architecture}.zip"
        write_archive(os.path.join(options.out, name),
                      [("kelvo.dll", module), ("README.txt", readme_text(version, host))], epoch)
        archives.append(name)

    sums = "".join(f"{sha256(os.path.join(options.out, name))}  {name}\n" for name in archives)
    with open(os.path.join(options.out, "SHA256SUMS"), "w", encoding="ascii", newline="\n") as handle:
        handle.write(sums)
    sys.stdout.write(sums)
    return 0


if __name__ == "__main__":
    sys.exit(main())
