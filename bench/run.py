#!/usr/bin/python3
"""Runs the whole benchmark in one go and compares: the Kelvo program
(Google Benchmark), the Node.js peers and the Python peers, all on the
corpus that build_corpus.py writes. Prints the table of figures and
ratios, each target with its ratio, and last the line
"targets met: N of M".

  bench/run.py [--build-dir build-bench] [--min-time 0.2] [--markdown FILE]

The build directory must hold the built kelvo_bench (make bench does
all of it). Exits 0 whether or not every target is met; 1 when a part
of the run failed.
"""
import argparse
import datetime
import json
import os
import platform
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
PYTHON = "/usr/bin/python3"  # Debian's, where python3-smartypants lives
REPETITIONS = 9
# Target 5: a function's line call takes at most this many times the table copy.
LINE_CALL_LIMIT = 2.5


def run(command, **kw):
    print("+ " + " ".join(command), file=sys.stderr, flush=True)
    return subprocess.run(command, check=True, **kw)


def ensure_corpus(directory):
    manifest = os.path.join(directory, "manifest.json")
    builder = os.path.join(HERE, "build_corpus.py")
    if not os.path.exists(manifest) or os.path.getmtime(manifest) < os.path.getmtime(builder):
        run([PYTHON, builder, directory])
    with open(manifest) as f:
        return json.load(f)


def load_average():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def cpu_model():
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or "unknown"


def run_kelvo(build_dir, corpus, min_time):
    out = os.path.join(build_dir, "kelvo-bench.json")
    run([os.path.join(build_dir, "kelvo_bench"), "--corpus=" + corpus,
         "--benchmark_min_time=%g" % min_time,
         "--benchmark_repetitions=%d" % REPETITIONS,
         "--benchmark_display_aggregates_only=true",
         "--benchmark_out=" + out, "--benchmark_out_format=json"])
    with open(out) as f:
        data = json.load(f)
    repetitions = {}
    for b in data["benchmarks"]:
        if b.get("run_type") != "iteration":
            continue
        name = b["run_name"].split("/")[0]
        repetitions.setdefault(name, []).append((b["Mchar/s"], b["ns/call"]))
    return {name: best_and_median(reps) for name, reps in repetitions.items()}


def best_and_median(reps):
    """The fastest repetition and the median one, of (Mchar/s, ns/call)
    pairs, as a row."""
    ordered = sorted(reps)
    best, median = ordered[-1], ordered[len(ordered) // 2]
    return {"mchar_per_s": best[0], "ns_per_call": best[1],
            "median_mchar_per_s": median[0], "median_ns_per_call": median[1]}


def run_peer(command, out):
    with open(out, "w") as f:
        run(command, stdout=f)
    with open(out) as f:
        data = json.load(f)
    return data["runtime"], {r["name"]: r for r in data["rows"]}


# --- The comparison. Subjects by task; the first of each is the plugin's.
TASKS = [
    ("Escaping plain text", "plain", ["@ENTITIZE", "entities.escapeUTF8", "entities.encodeHTML", "he.escape",
                                      "he.encode", "html.escape", "g_markup_escape_text", "smartypants (npm)",
                                      "smartypants (python3)", "memcpy", "table copy"]),
    ("Decoding escaped text", "escaped", ["@DEENTITIZE", "entities.decodeHTML", "he.decode", "html.unescape"]),
    ("Decoding typographic entities", "typographic", ["@DEENTITIZE", "entities.decodeHTML", "he.decode",
                                                      "html.unescape"]),
    ("Percent-encoding", "plain", ["@HEXENC", "encodeURIComponent", "urllib.parse.quote", "curl_easy_escape"]),
    ("Percent-decoding", "percent", ["@HEXDEC", "decodeURIComponent", "urllib.parse.unquote",
                                     "curl_easy_unescape"]),
    ("The other functions", None, ["@MAKEENTITY:plain", "@ENTAG:plain", "@TAG:plain", "@HCOMMENT:plain",
                                   "@DOCTYPE:number", "@MAKEENTITY:character"]),
]


class Results:
    def __init__(self, rows):
        self.rows = rows

    def get(self, subject, form, workload):
        return self.rows.get("%s:%s:%s" % (subject, form, workload))

    def rate(self, subject, form, workload):
        r = self.get(subject, form, workload)
        return r["mchar_per_s"] if r else None

    def ns(self, subject, form, workload):
        r = self.get(subject, form, workload)
        return r["ns_per_call"] if r else None


class MedianResults(Results):
    """The same rows, read at their median repetitions."""

    def get(self, subject, form, workload):
        r = Results.get(self, subject, form, workload)
        if r is None:
            return None
        return {"mchar_per_s": r["median_mchar_per_s"], "ns_per_call": r["median_ns_per_call"]}


def fmt(value, digits=1):
    if value is None:
        return "—"
    if value >= 100:
        return "{:,.0f}".format(value)
    if value >= 1:
        return "%.*f" % (digits, value)
    return "%.3g" % value


def table(results, workload):
    lines = []
    for title, form, subjects in TASKS:
        lines.append("")
        lines.append("**%s** (%s)" % (title, workload))
        lines.append("")
        lines.append("| Subject | Input | Mchar/s | ns/call | ns/call, median | Kelvo ÷ subject |")
        lines.append("|---|---|--:|--:|--:|--:|")
        ours = results.rate(subjects[0], form, workload) if form else None
        for subject in subjects:
            s, f = (subject.split(":") + [form])[:2] if form is None else (subject, form)
            wl = "characters" if f == "character" else workload
            r = results.get(s, f, wl)
            if r is None:
                continue
            ratio = ""
            if ours and subject != subjects[0]:
                ratio = "%.2f×" % (ours / r["mchar_per_s"])
            lines.append("| %s | %s | %s | %s | %s | %s |" % (
                s, f if wl == workload else "%s (%s)" % (f, wl), fmt(r["mchar_per_s"]), fmt(r["ns_per_call"]),
                fmt(r["median_ns_per_call"]), ratio))
    return lines


def targets(results):
    """Each target: (number, text, measured text, met)."""
    out = []

    def at_least(number, text, ours, peer, factor):
        if ours is None or peer is None:
            out.append((number, text, "not measured", False))
            return
        ratio = ours / peer
        out.append((number, text, "%.2f× (%s vs %s Mchar/s)" % (ratio, fmt(ours), fmt(peer)), ratio >= factor))

    for w in ("chunks", "lines"):
        at_least(1, "@ENTITIZE at least as fast as entities.escapeUTF8, %s" % w,
                 results.rate("@ENTITIZE", "plain", w), results.rate("entities.escapeUTF8", "plain", w), 1.0)
    for peer in ("smartypants (npm)", "smartypants (python3)"):
        for w in ("chunks", "lines"):
            at_least(1, "@ENTITIZE at least 10× %s, %s" % (peer, w),
                     results.rate("@ENTITIZE", "plain", w), results.rate(peer, "plain", w), 10.0)
    for form in ("escaped", "typographic"):
        for w in ("chunks", "lines"):
            at_least(2, "@DEENTITIZE at least as fast as entities.decodeHTML, %s %s" % (form, w),
                     results.rate("@DEENTITIZE", form, w), results.rate("entities.decodeHTML", form, w), 1.0)
    for w in ("chunks", "lines"):
        at_least(3, "@HEXENC at least 2× encodeURIComponent, %s" % w,
                 results.rate("@HEXENC", "plain", w), results.rate("encodeURIComponent", "plain", w), 2.0)
    for w in ("chunks", "lines"):
        at_least(3, "@HEXDEC at least as fast as curl_easy_unescape, %s" % w,
                 results.rate("@HEXDEC", "percent", w), results.rate("curl_easy_unescape", "percent", w), 1.0)
    for subject in ("@ENTITIZE", "@HEXENC"):
        at_least(4, "%s within 4× the table copy, chunks" % subject,
                 results.rate(subject, "plain", "chunks"), results.rate("table copy", "plain", "chunks"), 0.25)
    line_calls = [("@ENTITIZE", ["plain"]), ("@MAKEENTITY", ["plain"]), ("@ENTAG", ["plain"]),
                  ("@DEENTITIZE", ["escaped", "typographic"]), ("@TAG", ["plain"]), ("@HCOMMENT", ["plain"]),
                  ("@DOCTYPE", ["number"]), ("@HEXENC", ["plain"]), ("@HEXDEC", ["percent"])]
    # A line call's time depends on the processor, so it is read against the
    # table copy of the same lines measured in the same run.
    copy_ns = results.ns("table copy", "plain", "lines")
    for subject, forms in line_calls:
        text = "%s line call within %g× the table copy of the same lines" % (subject, LINE_CALL_LIMIT)
        worst = [results.ns(subject, f, "lines") for f in forms]
        if None in worst or copy_ns is None:
            out.append((5, text, "not measured", False))
            continue
        ns = max(worst)
        out.append((5, text, "%.2f× (%.1f vs %.1f ns)" % (ns / copy_ns, ns, copy_ns), ns <= LINE_CALL_LIMIT * copy_ns))
    cells = results.rate("ARRAYTABLE", "1000x10", "cells")
    if cells is None:
        out.append((6, "ARRAYTABLE at least 2 million cells/s", "not measured", False))
    else:
        out.append((6, "ARRAYTABLE at least 2 million cells/s", "%.2f million cells/s (%.0f ns/cell)" % (
            cells, results.ns("ARRAYTABLE", "1000x10", "cells")), cells >= 2.0))
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build-dir", default="build-bench")
    parser.add_argument("--min-time", type=float, default=0.2,
                        help="seconds of measured calls per repetition (default 0.2)")
    parser.add_argument("--markdown", help="also write the report as Markdown to this file")
    args = parser.parse_args()

    build_dir = os.path.abspath(args.build_dir)
    corpus = os.path.join(build_dir, "corpus")
    manifest = ensure_corpus(corpus)
    load_before = load_average()
    started = datetime.datetime.now(datetime.timezone.utc)

    try:
        rows = run_kelvo(build_dir, corpus, args.min_time)
        node_runtime, node_rows = run_peer(
            ["node", "--allow-natives-syntax", os.path.join(HERE, "node", "peers.mjs"), corpus, str(args.min_time)],
            os.path.join(build_dir, "peers-node.json"))
        py_runtime, py_rows = run_peer(
            [PYTHON, os.path.join(HERE, "python", "peers.py"), corpus, str(args.min_time)],
            os.path.join(build_dir, "peers-python.json"))
    except (subprocess.CalledProcessError, OSError, ValueError, KeyError) as e:
        print("bench: the run failed: %s" % e, file=sys.stderr)
        return 1
    rows.update(node_rows)
    rows.update(py_rows)
    results = Results(rows)
    load_after = load_average()

    report = []
    report.append("Run %s on %s (%d cores); load average %s before, %s after." % (
        started.strftime("%Y-%m-%d %H:%M UTC"), cpu_model(), os.cpu_count(), load_before, load_after))
    report.append("Peers: %s, %s; Kelvo built with g++ -O2 (build dir %s)." % (
        node_runtime, py_runtime, os.path.basename(build_dir)))
    report.append("Corpus: %d files, %d characters; chunks %d pieces, lines %d pieces. "
                  "Each figure is the fastest of %d repetitions of at least %g s (the median one is "
                  "shown beside ns/call)." % (
                      len(manifest["files"]), manifest["characters"], manifest["sets"]["plain.chunks"]["pieces"],
                      manifest["sets"]["plain.lines"]["pieces"], REPETITIONS, args.min_time))
    for workload in ("chunks", "lines"):
        report.extend(table(results, workload))
    cells = results.get("ARRAYTABLE", "1000x10", "cells")
    if cells:
        report.append("")
        report.append("**ARRAYTABLE**, 1000 × 10 cells, output captured and discarded: %.2f million cells/s, "
                      "%.0f ns per cell." % (cells["mchar_per_s"], cells["ns_per_call"]))
    report.append("")
    report.append("**Targets**")
    report.append("")
    report.append("| # | Target | Measured | Met |")
    report.append("|--:|---|---|:-:|")
    checks = targets(results)
    for number, text, measured, met in checks:
        report.append("| %d | %s | %s | %s |" % (number, text, measured, "yes" if met else "**no**"))
    met = sum(1 for c in checks if c[3])
    median_checks = targets(MedianResults(rows))
    missed_on_median = [c[1] for c, m in zip(checks, median_checks) if c[3] and not m[3]]
    report.append("")
    report.append("Read at the median repetitions instead, %d of %d are met%s." % (
        sum(1 for c in median_checks if c[3]), len(median_checks),
        "" if not missed_on_median else " (not met there: %s)" % "; ".join(missed_on_median)))
    report.append("")
    report.append("targets met: %d of %d" % (met, len(checks)))

    text = "\n".join(report) + "\n"
    if args.markdown:
        with open(args.markdown, "w") as f:
            f.write(text)
    sys.stdout.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
