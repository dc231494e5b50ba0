#!/usr/bin/env python3
"""Builds the benchmark inputs from the plain-text files of Debian's
fortunes packages (fortunes, fortunes-min), so that the Kelvo benchmark
and every peer runner read exactly the same pieces of text.

Usage: build_corpus.py OUTPUT_DIR [FORTUNES_DIR]

For each input form and workload it writes OUTPUT_DIR/FORM.WORKLOAD.u16:
UTF-16LE pieces, each followed by one NUL unit (the text holds no NUL).

Forms:
  plain        the text as it is
  escaped      the text HTML-escaped (& < > " ')
  typographic  the text with typographic entities: curly quotes, dashes,
               ellipses and the escapes of & < >
  percent      the text percent-encoded as encodeURIComponent does
Workloads:
  chunks  the text cut into pieces of at most 16383 UTF-16 units. A cut
          never falls inside an escape, and plain pieces are also short
          enough that their percent-encoded form (three units for each
          escaped character) fits the same buffer with 8 units to spare,
          so that no function that expands its argument has its result
          cut (the benchmark checks that).
  lines   each line that holds more than white space, on its own
"""
import json
import os
import re
import sys

MAX_TEXT = 16383
# The benchmark takes a result longer than this as cut (an entity has at
# most 8 units), so percent-encoded plain pieces stay within it.
LONGEST_UNCUT = MAX_TEXT - 8
HEX_KEEP = set("#$+-./:;=?@_")
URI_UNRESERVED = set("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_.!~*'()")


def is_latin1_alnum(c):
    o = ord(c)
    return (c.isascii() and c.isalnum()) or o in (0xB2, 0xB3, 0xB9) or (
        0xC0 <= o <= 0xFF and o not in (0xD7, 0xF7))


def utf16_len(s):
    return len(s.encode("utf-16-le")) // 2


def hexenc_len(s):
    """An upper bound of the length of the @HEXENC result of s."""
    n = 0
    for c in s:
        o = ord(c)
        if o <= 0xFF:
            n += 1 if is_latin1_alnum(c) or c in HEX_KEEP else 3
        else:
            n += 3 * len(c.encode("utf-8", errors="surrogatepass"))  # kept, or escaped as UTF-8
    return n


def read_corpus(directory):
    names = sorted(
        f for f in os.listdir(directory)
        if not f.endswith((".dat", ".u8")) and os.path.isfile(os.path.join(directory, f))
        and not os.path.islink(os.path.join(directory, f)))
    if not names:
        sys.exit("build_corpus: no fortune files in %s (install the fortunes package)" % directory)
    parts = []
    for name in names:
        with open(os.path.join(directory, name), "rb") as f:
            parts.append(f.read().decode("utf-8", errors="replace"))
    return names, "".join(parts).replace("\0", "")


# --- Encoders: each turns text into a list of (source, encoded) tokens, so
# that a chunk can be cut between tokens and never inside an escape.

def plain_tokens(text):
    return [(c, c) for c in text]


HTML_ESCAPES = {"&": "&amp;", "<": "&lt;", ">": "&gt;", '"': "&quot;", "'": "&#x27;"}


def escaped_tokens(text):
    # What Python's html.escape writes.
    return [(c, HTML_ESCAPES.get(c, c)) for c in text]


TYPOGRAPHIC = re.compile(r"---?|\.\.\.|[\"'&<>]|[^-.\"'&<>]+|[-.]")


def typographic_tokens(text):
    """Smart quotes, dashes and ellipses as named entities, the way a
    typographer's filter writes them."""
    tokens = []
    prev = " "
    for m in TYPOGRAPHIC.finditer(text):
        s = m.group(0)
        if s == "--" or s == "---":
            enc = "&mdash;"
        elif s == "...":
            enc = "&hellip;"
        elif s == '"':
            enc = "&ldquo;" if prev.isspace() or prev in "([{" else "&rdquo;"
        elif s == "'":
            enc = "&rsquo;" if prev.isalnum() or prev in ".,!?;:)" else "&lsquo;"
        elif s in "&<>" and len(s) == 1:
            enc = HTML_ESCAPES[s]
        else:
            tokens.extend((c, c) for c in s)
            prev = s[-1]
            continue
        tokens.append((s, enc))
        prev = s[-1]
    return tokens


def percent_tokens(text):
    tokens = []
    for c in text:
        if c in URI_UNRESERVED:
            tokens.append((c, c))
        else:
            enc = "".join("%%%02X" % b for b in c.encode("utf-8", errors="surrogatepass"))
            tokens.append((c, enc))
    return tokens


ENCODERS = {
    "plain": plain_tokens,
    "escaped": escaped_tokens,
    "typographic": typographic_tokens,
    "percent": percent_tokens,
}


def cut_chunks(tokens, plain_form):
    """Greedy pieces of whole tokens, each at most MAX_TEXT units; plain
    pieces also keep their percent-encoded length within MAX_TEXT."""
    pieces = []
    current = []
    length = 0
    encoded_length = 0
    for source, enc in tokens:
        n = utf16_len(enc)
        e = hexenc_len(source) if plain_form else 0
        if current and (length + n > MAX_TEXT or encoded_length + e > LONGEST_UNCUT):
            pieces.append("".join(current))
            current, length, encoded_length = [], 0, 0
        current.append(enc)
        length += n
        encoded_length += e
    if current:
        pieces.append("".join(current))
    return pieces


def lines_of(text):
    return [line for line in text.split("\n") if line.strip()]


def write_pieces(path, pieces):
    with open(path, "wb") as f:
        for p in pieces:
            f.write(p.encode("utf-16-le", errors="surrogatepass"))
            f.write(b"\0\0")


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    out_dir = sys.argv[1]
    source_dir = sys.argv[2] if len(sys.argv) > 2 else "/usr/share/games/fortunes"
    names, text = read_corpus(source_dir)
    os.makedirs(out_dir, exist_ok=True)
    lines = lines_of(text)
    manifest = {"source": source_dir, "files": names, "characters": utf16_len(text), "sets": {}}
    for form, encode in ENCODERS.items():
        chunks = cut_chunks(encode(text), form == "plain")
        line_pieces = ["".join(enc for _, enc in encode(line)) for line in lines]
        for workload, pieces in (("chunks", chunks), ("lines", line_pieces)):
            name = "%s.%s" % (form, workload)
            write_pieces(os.path.join(out_dir, name + ".u16"), pieces)
            units = sum(utf16_len(p) for p in pieces)
            manifest["sets"][name] = {
                "pieces": len(pieces),
                "characters": units,
                "longest": max(utf16_len(p) for p in pieces),
            }
    with open(os.path.join(out_dir, "manifest.json"), "w") as f:
        json.dump(manifest, f, indent=1)
    for name, s in manifest["sets"].items():
        print("%-18s %6d pieces %9d characters, longest %5d" % (
            name, s["pieces"], s["characters"], s["longest"]))


if __name__ == "__main__":
    main()
