#!/usr/bin/python3
"""The Python peers under Debian's /usr/bin/python3, on the pieces that
bench/build_corpus.py wrote: html.escape, html.unescape,
urllib.parse.quote and unquote, and Debian's python3-smartypants.

Each subject is timed inside this process with the protocol of the C++
benchmark: calls in batches (64 lines, or one chunk), a warm-up, then nine
repetitions of at least MIN_TIME seconds each; the fastest and the median
repetition are reported.
  /usr/bin/python3 peers.py CORPUS_DIR [MIN_TIME] > peers-python.json
"""
import html
import json
import sys
import time
import urllib.parse

import smartypants

REPETITIONS = 9
LINE_BATCH = 64


def load(directory, name):
    with open("%s/%s.u16" % (directory, name), "rb") as f:
        pieces = f.read().decode("utf-16-le", errors="surrogatepass").split("\0")
    pieces.pop()
    return pieces


def run(fn, pieces, batch, seconds, start):
    """Runs batches until seconds have passed: (characters, calls, ns)."""
    chars = calls = ns = 0
    limit = int(seconds * 1e9)
    n = len(pieces)
    nxt = start[0]
    clock = time.perf_counter_ns
    while ns < limit:
        group = [pieces[(nxt + k) % n] for k in range(batch)]
        t0 = clock()
        for p in group:
            fn(p)
        t1 = clock()
        ns += t1 - t0
        chars += sum(len(p) for p in group)
        calls += batch
        nxt = (nxt + batch) % n
    start[0] = nxt
    return chars, calls, ns


def measure(directory, subject, form, workload, fn, min_time):
    pieces = load(directory, "%s.%s" % (form, workload))
    batch = LINE_BATCH if sum(map(len, pieces)) / len(pieces) < 1024 else 1
    start = [0]
    run(fn, pieces, batch, min(0.1, min_time), start)
    reps = []
    for _ in range(REPETITIONS):
        chars, calls, ns = run(fn, pieces, batch, min_time, start)
        reps.append((chars / ns * 1e3, chars, calls, ns))
    reps.sort()
    rate, chars, calls, ns = reps[-1]
    median_rate, _, median_calls, median_ns = reps[REPETITIONS // 2]
    row = {
        "name": "%s:%s:%s" % (subject, form, workload),
        "mchar_per_s": rate,
        "ns_per_call": ns / calls,
        "median_mchar_per_s": median_rate,
        "median_ns_per_call": median_ns / median_calls,
        "chars": chars,
        "calls": calls,
    }
    sys.stderr.write("%-48s %9.1f Mchar/s %10.1f ns/call\n" % (row["name"], rate, ns / calls))
    return row


def main():
    directory = sys.argv[1]
    min_time = float(sys.argv[2]) if len(sys.argv) > 2 else 0.2
    rows = []
    for w in ("chunks", "lines"):
        rows.append(measure(directory, "html.escape", "plain", w, html.escape, min_time))
        rows.append(measure(directory, "urllib.parse.quote", "plain", w, urllib.parse.quote, min_time))
        rows.append(measure(directory, "smartypants (python3)", "plain", w, smartypants.smartypants, min_time))
        for form in ("escaped", "typographic"):
            rows.append(measure(directory, "html.unescape", form, w, html.unescape, min_time))
        rows.append(measure(directory, "urllib.parse.unquote", "percent", w, urllib.parse.unquote, min_time))
    json.dump({"runtime": "python " + sys.version.split()[0], "rows": rows}, sys.stdout, indent=1)
    sys.stdout.write("\n")


if __name__ == "__main__":
    main()
