#!/usr/bin/python3
"""Builds the release archives twice, in two build directories of
different depth, at two different times, with the same SOURCE_DATE_EPOCH,
and checks that they are the same bytes, hold exactly kelvo.dll and
README.txt with fixed times and permissions, that SHA256SUMS is right,
and that no build or source path went into either kelvo.dll.

    dist_reproducible.py [--work build-dist-check] [--jobs 2]

SOURCE_DATE_EPOCH is taken from the environment, or else the time of the
last commit. The last line is "reproducible: ..." or the first
difference found; the exit status is 0 only when everything holds.
"""

import argparse
import hashlib
import os
import shutil
import subprocess
import sys
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
MAKE_DIST = os.path.join(ROOT, "tools", "make_dist.py")
MEMBERS = ["kelvo.dll", "README.txt"]
ARCHITECTURES = ["x86", "x64"]


class Failed(Exception):
    pass


def epoch_to_use():
    value = os.environ.get("SOURCE_DATE_EPOCH", "")
    if value:
        return value
    result = subprocess.run(["git", "-C", ROOT, "log", "-1", "--format=%ct"], capture_output=True,
                            text=True, check=False)
    return result.stdout.strip() if result.returncode == 0 and result.stdout.strip() else "1700000000"


def make_dist(build_root, out, jobs, epoch):
    environment = dict(os.environ, SOURCE_DATE_EPOCH=epoch)
    result = subprocess.run([sys.executable, MAKE_DIST, "--build-root", build_root, "--out", out,
                             "--jobs", str(jobs)], env=environment, capture_output=True, text=True,
                            check=False)
    if result.returncode != 0:
        raise Failed(f"make_dist.py failed:\n{result.stdout}{result.stderr}")


def read(path):
    with open(path, "rb") as handle:
        return handle.read()


def check_archive(path, epoch):
    """The archive's entries: exactly the members, in order, each with the
    epoch's time (as a zip stores it) and mode 0644."""
    expected_time = max(time.gmtime(int(epoch))[:6], (1980, 1, 1, 0, 0, 0))
    with zipfile.ZipFile(path) as archive:
        entries = archive.infolist()
        names = [entry.filename for entry in entries]
        if names != MEMBERS:
            raise Failed(f"{path} holds {names}, not {MEMBERS}")
        for entry in entries:
            # A zip keeps even seconds.
            stored = entry.date_time
            if stored[:5] != expected_time[:5] or stored[5] != expected_time[5] // 2 * 2:
                raise Failed(f"{path}: {entry.filename} has time {stored}, not {expected_time}")
            if entry.external_attr >> 16 != 0o100644:
                raise Failed(f"{path}: {entry.filename} has mode {oct(entry.external_attr >> 16)}")
        readme = archive.read("README.txt")
        if b"@KELVO_" in readme or b"\n" in readme.replace(b"\r\n", b""):
            raise Failed(f"{path}: README.txt has a placeholder left or a bare line feed")
        return archive.read("kelvo.dll")


def check_no_paths(module, paths, name):
    for path in paths:
        for form in (path.encode(), path.encode("utf-16-le")):
            if form in module:
                raise Failed(f"{name} holds the path {path}")


def check_sums(out):
    listed = {}
    with open(os.path.join(out, "SHA256SUMS"), encoding="ascii") as handle:
        for line in handle:
            digest, name = line.rstrip("\n").split("  ", 1)
            listed[name] = digest
    wanted = {name for name in os.listdir(out) if name.endswith(".zip")}
    if set(listed) != wanted or len(wanted) != len(ARCHITECTURES):
        raise Failed(f"SHA256SUMS lists {sorted(listed)}, the archives are {sorted(wanted)}")
    for name, digest in listed.items():
        if hashlib.sha256(read(os.path.join(out, name))).hexdigest() != digest:
            raise Failed(f"SHA256SUMS gives the wrong sum for {name}")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--work", default=os.path.join(ROOT, "build-dist-check"))
    parser.add_argument("--jobs", type=int, default=2)
    options = parser.parse_args()
    work = os.path.abspath(options.work)
    epoch = epoch_to_use()
    shutil.rmtree(work, ignore_errors=True)
    # Two build roots whose paths differ in length, so a path inside the
    # module would also shift everything after it.
    runs = [os.path.join(work, "first"), os.path.join(work, "second", "built-later")]
    try:
        for number, build_root in enumerate(runs):
            if number > 0:
                time.sleep(1.1)  # a later second, whatever the build's speed
            make_dist(os.path.join(build_root, "build"), os.path.join(build_root, "dist"),
                      options.jobs, epoch)
        first, second = (os.path.join(root, "dist") for root in runs)
        for out in (first, second):
            check_sums(out)
        if read(os.path.join(first, "SHA256SUMS")) != read(os.path.join(second, "SHA256SUMS")):
            raise Failed("the two builds' SHA256SUMS differ")
        for name in sorted(os.listdir(first)):
            if read(os.path.join(first, name)) != read(os.path.join(second, name)):
                raise Failed(f"{name} differs between the two builds")
            if name.endswith(".zip"):
                module = check_archive(os.path.join(first, name), epoch)
                check_no_paths(module, [ROOT] + runs, name + ": kelvo.dll")
    except Failed as failure:
        print(f"not reproducible: {failure}")
        return 1
    sums = read(os.path.join(first, "SHA256SUMS")).decode()
    sys.stdout.write(sums)
    print(f"reproducible: two builds with SOURCE_DATE_EPOCH={epoch} give the same archives")
    shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
