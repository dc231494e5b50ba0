#!/usr/bin/python3
"""Parses the plugin's HTML with html5lib, a WHATWG-conformant parser, and
checks that it reads as intended:

- @ENTITIZE output, written as the console prints it (fullwidth markup as
  ASCII), for many generated and corpus texts under many option settings,
  parses to text alone (no element, comment or other markup made from the
  input), and that text is the input with exactly the substitutions the
  options ask for;
- the same for every cell of tables written by ARRAYTABLE, which must
  parse to one table of one cell per element;
- @HCOMMENT output, in a paragraph, parses to that paragraph holding one
  comment and nothing else, and the comment holds the input with blanks
  added and nothing else, for the fuzz corpus and for generated texts full
  of "<", "!", "-", ">", blanks and their fullwidth forms;
- the example pages (the demo, the report, the link page) parse without a
  single parse error, and their links are the addresses intended.

Exit status 0 when all hold, 1 when one does not, 77 when html5lib is not
installed (CTest reports the test as skipped).
"""
import argparse
import os
import random
import subprocess
import sys
import tempfile

try:
    import html5lib
except ImportError:
    print("html5lib is not installed (Debian: python3-html5lib); skipped")
    sys.exit(77)

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "fuzz"))
import seeds  # noqa: E402  (the fuzz targets' seed texts)

MAX_TEXT_LEN = 16383
# The parse errors that a text may cause without being markup: control
# characters and noncharacters are reported but kept as text.
HARMLESS_ERRORS = {"invalid-codepoint"}

# White space by the plugin's character classes: the fixed table below
# U+0100, the Unicode White_Space property above it.
WHITE_SPACE = set([9, 10, 11, 12, 13, 0x20, 0xA0, 0x1680, 0x2028, 0x2029, 0x202F, 0x205F, 0x3000]
                  + list(range(0x2000, 0x200B)))
ARROWS = {0x18: 0x2191, 0x19: 0x2193, 0x1A: 0x2192, 0x1B: 0x2190}
DOUBLE_QUOTE_MARK = "\U000F0001"  # stands for either typographic double quote
SINGLE_QUOTE_MARK = "\U000F0002"  # stands for either typographic single quote


def to_units(text):
    data = text.encode("utf-16-le", "surrogatepass")
    return [data[i] | data[i + 1] << 8 for i in range(0, len(data), 2)]


def from_units(units):
    """Units as the console writes them: pairs joined, lone surrogates as U+FFFD."""
    out, i = [], 0
    while i < len(units):
        u = units[i]
        if 0xD800 <= u <= 0xDBFF and i + 1 < len(units) and 0xDC00 <= units[i + 1] <= 0xDFFF:
            out.append(chr(0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00)))
            i += 2
            continue
        out.append("\ufffd" if 0xD800 <= u <= 0xDFFF else chr(u))
        i += 1
    return "".join(out)


def expected_text(text, options):
    """The text a parser reads from @ENTITIZE's output: the input with the
    substitutions the options ask for."""
    quotes, spaces, dash, apos = options
    u = to_units(text)
    n = len(u)
    at = lambda i: u[i] if i < n else 0  # noqa: E731
    out, i = [], 0
    while i < n:
        c = u[i]
        if c in ARROWS:
            out.append(ARROWS[c])
        elif c == ord("|"):
            out.append(0xA6)
        elif c == ord('"') and quotes == 2:
            out.append(0xF0001)
        elif c == ord("'") and apos == 3:
            out.append(0xF0002)
        elif (c == ord("-") and dash == 1 and i <= MAX_TEXT_LEN - 2 and at(i + 1) == ord("-")
              and at(i + 2) != ord("-") and (i == 0 or u[i - 1] not in (ord("-"), 0x2014))):
            out.append(0x2014)
            i += 2
            continue
        elif c in (9, 10, 13, 0x20) and spaces == 1:
            out.append(0xA0)
        elif c in (9, 10, 13, 0x20) and spaces == 2:
            out.append(0xA0 if at(i + 1) in (ord("-"), 0x2014, ord("&")) else 0x20)
            i += 1
            while i < n and u[i] in WHITE_SPACE:
                i += 1
            continue
        else:
            out.append(c)
        i += 1
    # The two marks stand outside UTF-16; everything else goes through
    # the console's conversion.
    pieces = []
    run = []
    for x in out:
        if x >= 0xF0000:
            pieces.append(from_units(run))
            run = []
            pieces.append(DOUBLE_QUOTE_MARK if x == 0xF0001 else SINGLE_QUOTE_MARK)
        else:
            run.append(x)
    pieces.append(from_units(run))
    return normalise("".join(pieces), options)


def normalise(text, options):
    """What both sides are compared as: line ends as the parser reads them,
    and typographic quotes as one mark where the options guess them."""
    text = text.replace("\r\n", "\n").replace("\r", "\n")
    if options[0] == 2:
        text = text.replace("\u201c", DOUBLE_QUOTE_MARK).replace("\u201d", DOUBLE_QUOTE_MARK)
    if options[3] == 3:
        text = text.replace("\u2018", SINGLE_QUOTE_MARK).replace("\u2019", SINGLE_QUOTE_MARK)
    return text


# --- Texts -----------------------------------------------------------------

PIECES = [
    "don't", "'tis", "'Twas", "rock 'n' roll", "'99", "the '80s", "5' tall", "o'clock",
    "Fish & Chips", "a--b", "x---y", "--", "AT&T", "<p>", "</b>", "<!--", "-->", "<![CDATA[",
    "]]>", "<script>", "</textarea>", "<?php ?>", "<!DOCTYPE html>", "&amp;", "&#39;",
    "&nbsp", "&lt;p&gt;", "&#x3C;", "a|b", "\u20ac5", "\"quoted\"", "'single'", "it's",
    "\u201cready\u201d", "\u2018so\u2019", "x \u2014 y", "<a href='x'>", "=\"", "`", "/>",
    "\r\n", "\n", "\t", "  ", " - ", " & ", "\u00a0", "\u3000", "\u2028", "caf\u00e9",
    "\u00bd\u00b2", "\u0391\u03b2", "\u4e2d\u6587", "\U0001F600", "\ud800", "\udfff",
    "\x18\x19\x1a\x1b", "\u2190\u2191", "\x01", "\x7f", "\x0b\x0c", "\ufffe", "\u200b",
]
CHARS = "abcXYZ019 \t\n\r\"'-&<>|;#!?/=.,:()[]{}%@*"


def generated_texts(rng, count):
    texts = []
    for _ in range(count):
        parts = []
        for _ in range(rng.randrange(0, 24)):
            if rng.random() < 0.45:
                parts.append(rng.choice(PIECES))
            else:
                parts.append("".join(rng.choice(CHARS) for _ in range(rng.randrange(1, 6))))
        texts.append("".join(parts))
    # Results that outgrow the buffer, cut cleanly.
    texts.append("&" * MAX_TEXT_LEN)
    texts.append("<b>" * 5461)
    texts.append("it's " * 3276)
    return texts


def corpus_texts():
    texts = []
    for entry in seeds.ENTITIZE:
        text = entry if isinstance(entry, str) else entry.text
        # The console prints fullwidth forms in the input as ASCII too, so a
        # text that holds them is markup of the user's own making.
        if any(0xFF01 <= ord(ch) <= 0xFF5E for ch in text):
            continue
        texts.append(text)
    return texts


COMMENT_PIECES = ["<", "!", "-", ">", " ", "\uff1c", "\uff01", "\uff0d", "\uff1e", "-->", "<!--",
                  "--!>", "<!-", "--!", "x", "\r\n", "\u00e9", "\U0001F600"]


def comment_texts(rng, count):
    texts = []
    for entry in seeds.HCOMMENT + seeds.ENTITIZE:
        texts.append(entry if isinstance(entry, str) else entry.text)
    for _ in range(count):
        texts.append("".join(rng.choice(COMMENT_PIECES) for _ in range(rng.randrange(0, 60))))
    # Blanks that take the comment up to the buffer's size, and past it.
    texts += ["-->" * 4091, "-->" * 4092, "<!--" * 3000, "x" * 16370 + "-->"]
    return texts


def all_options(rng):
    return (rng.randrange(3), rng.randrange(3), rng.randrange(2), rng.randrange(4))


DEFAULTS = (2, 2, 1, 3)


# --- Running the plugin ------------------------------------------------------

def hex_units(text):
    return "".join("%04x" % u for u in to_units(text))


def run_dump(dump, requests):
    lines = []
    for kind, options, payload in requests:
        if kind in ("E", "C"):
            body = hex_units(payload)
        else:
            body = ",".join(hex_units(cell) for cell in payload)
        lines.append("%s %d %d %d %d %s" % ((kind,) + tuple(options) + (body,)))
    result = subprocess.run([dump], input="\n".join(lines) + "\n", capture_output=True,
                            text=True, check=True)
    answers = result.stdout.splitlines()
    assert len(answers) == len(requests), "html_dump answered %d of %d" % (len(answers), len(requests))
    parsed = []
    for answer in answers:
        number, _, data = answer.partition(" ")
        parsed.append((int(number), bytes.fromhex(data).decode("utf-8")))
    return parsed


# --- Checks --------------------------------------------------------------------

class Failures:
    def __init__(self):
        self.items = []

    def add(self, what, text, options, detail):
        self.items.append("%s (options %s)\n    input:  %r\n    %s" % (what, options, text[:300], detail))


def parse_fragment(html):
    parser = html5lib.HTMLParser(namespaceHTMLElements=False)
    fragment = parser.parseFragment(html, container="div")
    errors = sorted({code for _, code, _ in parser.errors} - HARMLESS_ERRORS)
    return fragment, errors


def check_text(html, text, options, length, failures, what):
    fragment, errors = parse_fragment(html)
    if len(fragment):
        failures.add(what + ": markup made from the input", text, options,
                     "elements: %s" % [child.tag for child in fragment.iter()][1:])
        return
    if errors:
        failures.add(what + ": parse errors", text, options, "errors: %s, output: %r" % (errors, html[:300]))
        return
    got = normalise(fragment.text or "", options)
    want = expected_text(text, options)
    if length >= MAX_TEXT_LEN - 8:
        # The result filled the buffer: a clean prefix of the whole.
        ok = want.startswith(got) and len(got) > 0
    else:
        ok = got == want
    if not ok:
        failures.add(what + ": the parsed text differs", text, options,
                     "expected: %r\n    parsed:   %r" % (want[:300], got[:300]))


def only_blanks_added(narrower, wider):
    n = 0
    for ch in wider:
        if n < len(narrower) and narrower[n] == ch:
            n += 1
        elif ch != " ":
            return False
    return n == len(narrower)


def console_text(text):
    """The text as the console prints it and the parser reads it."""
    units = [u - 0xFEE0 if 0xFF01 <= u <= 0xFF5E else u for u in to_units(text)]
    return from_units(units).replace("\r\n", "\n").replace("\r", "\n")


def check_comment(html, text, result, failures):
    if result != 0:
        # Even a blank for every character fits below this length.
        if len(to_units(text)) <= (MAX_TEXT_LEN - 9) // 2:
            failures.add("@HCOMMENT refused a text that fits", text, "-", "result %d" % result)
        return
    parser = html5lib.HTMLParser(namespaceHTMLElements=False)
    fragment = parser.parseFragment("<p>" + html + "</p>", container="div")
    children = list(fragment)
    paragraph = children[0] if len(children) == 1 and children[0].tag == "p" else None
    inside = list(paragraph) if paragraph is not None else []
    if (fragment.text or paragraph is None or paragraph.text or paragraph.tail or len(inside) != 1
            or not callable(inside[0].tag) or inside[0].tail):
        failures.add("@HCOMMENT: not one comment in the paragraph", text, "-", "output: %r" % html[:300])
        return
    data = inside[0].text or ""
    want = console_text(text)
    if not (data.startswith(" ") and data.endswith(" ") and only_blanks_added(want, data[1:-1])):
        failures.add("@HCOMMENT: the comment holds more than the text and blanks", text, "-",
                     "expected: %r\n    parsed:   %r" % (want[:300], data[:300]))


def check_table(html, cells, options, result, failures):
    if result != 0:
        failures.add("ARRAYTABLE failed", repr(cells), options, "result %d" % result)
        return
    fragment, errors = parse_fragment(html)
    if errors:
        failures.add("ARRAYTABLE: parse errors", repr(cells), options, "errors: %s" % errors)
        return
    tables = list(fragment)
    if len(tables) != 1 or tables[0].tag != "table" or (fragment.text or "").strip():
        failures.add("ARRAYTABLE: not one table", repr(cells), options, html[:300])
        return
    bodies = list(tables[0])
    rows = list(bodies[0]) if len(bodies) == 1 and bodies[0].tag == "tbody" else []
    if len(rows) != len(cells) or any(row.tag != "tr" or len(row) != 1 or row[0].tag != "td" for row in rows):
        failures.add("ARRAYTABLE: not one cell per element", repr(cells), options, html[:400])
        return
    for row, cell in zip(rows, cells):
        td = row[0]
        if len(td):
            failures.add("ARRAYTABLE: markup made from a cell", cell, options,
                         "elements: %s" % [child.tag for child in td.iter()][1:])
            continue
        got = normalise(td.text or "", options)
        want = expected_text(cell, options) if cell else "\u00a0"
        if got != want:
            failures.add("ARRAYTABLE: a cell's parsed text differs", cell, options,
                         "expected: %r\n    parsed:   %r" % (want[:300], got[:300]))


def run_page(shell, batch, directory):
    """The page an example writes: into the file named as its first
    argument when it writes one, else on standard output."""
    target = os.path.join(directory, os.path.basename(batch) + ".html")
    result = subprocess.run([shell, batch, target], capture_output=True, check=False)
    page = result.stdout
    if os.path.exists(target):
        with open(target, "rb") as handle:
            page = handle.read()
    return result, page


# Each link a page holds, as a parser reads its address (entities decoded).
EXPECTED_LINKS = {
    "links.btm": [
        "https://www.example.org/search?q=Pride%20%26%20Prejudice",
        "https://www.example.org/search?q=Les%20Mis\u00e9rables",
        "https://www.example.org/search?q=Who%27s%20afraid?%20Essays%20--%20and%20letters",
        "https://www.example.org/search?q=100%25%20cotton:%20a%20history",
        "https://maps.example.org/?q=Caf\u00e9%20\u00dcber%20%26%20Co%2C%20Hauptstra\u00dfe%205&zoom=17",
        "#top",
        "mailto:group@example.org?subject=Next%20meeting",
    ],
}


def check_page(shell, batch, failures):
    with tempfile.TemporaryDirectory(prefix="kelvo-page-") as directory:
        result, page = run_page(shell, batch, directory)
    if result.returncode != 0 or result.stderr:
        failures.add("an example page did not run cleanly", batch, "-", result.stderr.decode("utf-8", "replace")[:300])
        return
    parser = html5lib.HTMLParser(namespaceHTMLElements=False)
    document = parser.parse(page)
    if parser.errors:
        failures.add("an example page has parse errors", batch, "-", str(parser.errors[:10]))
        return
    wanted = EXPECTED_LINKS.get(os.path.basename(batch))
    if wanted is not None:
        links = [a.get("href") for a in document.iter("a")]
        if links != wanted:
            failures.add("an example page links elsewhere than intended", batch, "-",
                         "expected: %r\n    parsed:   %r" % (wanted, links))


def main():
    args = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    args.add_argument("--dump", required=True, help="the html_dump program")
    args.add_argument("--shell", help="the kelvo shell, for the example pages")
    args.add_argument("--page", action="append", default=[], help="an example batch file; repeatable")
    args.add_argument("--count", type=int, default=4000, help="generated texts")
    options = args.parse_args()

    rng = random.Random(20240613)
    texts = corpus_texts() + generated_texts(rng, options.count)
    requests = []
    for text in texts:
        requests.append(("E", DEFAULTS, text))
        requests.append(("E", all_options(rng), text))
    comments = comment_texts(rng, options.count)
    for text in comments:
        requests.append(("C", DEFAULTS, text))
    tables = []
    short = [t for t in texts if len(t) < 200]
    for _ in range(600):
        cells = [rng.choice(short) if rng.random() < 0.85 else "" for _ in range(rng.randrange(1, 6))]
        if len(cells) == 1 and not cells[0]:
            cells[0] = "x"
        tables.append(cells)
        requests.append(("T", all_options(rng), cells))

    answers = run_dump(options.dump, requests)
    failures = Failures()
    for (kind, opts, payload), (number, html) in zip(requests, answers):
        if kind == "E":
            check_text(html, payload, opts, number, failures, "@ENTITIZE")
        elif kind == "C":
            check_comment(html, payload, number, failures)
        else:
            check_table(html, payload, opts, number, failures)
    pages = options.page if options.shell else []
    for batch in pages:
        check_page(options.shell, batch, failures)

    for item in failures.items[:20]:
        print("FAIL:", item)
    entitized = sum(1 for r in requests if r[0] == "E")
    print("html: %d entitized texts, %d comments, %d tables, %d example pages: %d passed, %d failed"
          % (entitized, len(comments), len(tables), len(pages),
             len(requests) + len(pages) - len(failures.items), len(failures.items)))
    return 1 if failures.items else 0


if __name__ == "__main__":
    sys.exit(main())
