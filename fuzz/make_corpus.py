#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target from seeds.py.

    make_corpus.py OUT_DIR      writes OUT_DIR/<target>/seed-<n>-<k> (and seed-<n>-u,
                                the same text in a buffer without a terminator)

Each file is in the targets' input layout (harness.h): a host byte, an
options byte, the HEXENC_KEEP value when there is one, then the text with
every UTF-16 code unit written as DecodeUnits reads it back. The shell
target has a layout of its own (targets/shell_fuzz.cpp); its seeds are
the batch files and command lines of the end-to-end cases and the
examples.
"""
import glob
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import seeds  # noqa: E402

DEFAULT_OPTIONS = [(2, 2, 1, 3), (1, 1, 0, 1), (0, 0, 0, 0)]


def units(text):
    data = text.encode("utf-16-le", "surrogatepass")
    return [data[i] | data[i + 1] << 8 for i in range(0, len(data), 2)]


def encode_units(text):
    out = bytearray()
    for u in units(text):
        if u < 0x80:
            out.append(u)
        elif u < 0x800:
            out += bytes([0xC0 | u >> 6, 0x80 | u & 0x3F])
        else:
            out += bytes([0xE0 | u >> 12, 0x80 | (u >> 6) & 0x3F, 0x80 | u & 0x3F])
    return bytes(out)


def encode_case(seed, options, unterminated=False):
    unicode_bits = {0: 0, 1: 1, 2: 2}[seed.unicode]
    keep_mode = 0 if seed.keep is None else (1 if seed.keep else 2)
    host = unicode_bits | (4 if seed.batch else 0) | keep_mode << 3
    if seed.pad is not None:
        host |= 0x80 | seed.pad << 5
    quotes, spaces, dash, apos = options
    out = bytes([host, quotes + 3 * spaces + 9 * dash + 18 * apos + (72 if unterminated else 0)])
    if keep_mode == 1:
        keep = encode_units(seed.keep)
        assert len(keep) < 256, "a HEXENC_KEEP seed value must encode to under 256 bytes"
        out += bytes([len(keep)]) + keep
    return out + encode_units(seed.text)


def shell_seeds(directory):
    """Batch files (byte 0 = 0) and, for each command line, expansions in
    a full buffer and in one just too small (byte 0 = 1, then the
    capacity)."""
    here = os.path.dirname(os.path.abspath(__file__))
    sys.path.insert(0, os.path.join(here, "..", "tests", "e2e"))
    import run_cases  # noqa: E402
    os.makedirs(directory, exist_ok=True)
    context = {"batch": "case.btm", "dir": "folder", "plugin": "libkelvo.so"}
    seeds_out = []
    for path in sorted(glob.glob(os.path.join(here, "..", "tests", "e2e", "*.cases"))):
        for case in run_cases.parse_case_file(path):
            if "batch" in case:
                text = run_cases.block_text(case["batch"], context, path)
                seeds_out.append(b"\x00" + text.encode("utf-8"))
            if "cmd" in case:
                line = run_cases.substitute(case["cmd"], context, path)
                seeds_out.append(b"\x00" + line.encode("utf-8"))
                for capacity in (16384, len(line)):
                    head = bytes([1, (capacity - 1) & 0xFF, (capacity - 1) >> 8])
                    seeds_out.append(head + encode_units(line))
    for path in sorted(glob.glob(os.path.join(here, "..", "examples", "*.btm"))):
        with open(path, "rb") as handle:
            seeds_out.append(b"\x00" + handle.read())
    for n, seed in enumerate(seeds_out):
        with open(os.path.join(directory, "seed-%04d" % n), "wb") as f:
            f.write(seed)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    root = sys.argv[1]
    for target, entries in seeds.SEEDS.items():
        directory = os.path.join(root, target)
        os.makedirs(directory, exist_ok=True)
        for n, entry in enumerate(entries):
            seed = entry if isinstance(entry, seeds.Seed) else seeds.Seed(entry)
            option_sets = [seed.options] if seed.options else DEFAULT_OPTIONS
            for k, options in enumerate(option_sets):
                path = os.path.join(directory, "seed-%03d-%d" % (n, k))
                with open(path, "wb") as f:
                    f.write(encode_case(seed, options))
            # The same text in a buffer without a terminator.
            with open(os.path.join(directory, "seed-%03d-u" % n), "wb") as f:
                f.write(encode_case(seed, option_sets[0], unterminated=True))
    shell_seeds(os.path.join(root, "shell"))


if __name__ == "__main__":
    main()
