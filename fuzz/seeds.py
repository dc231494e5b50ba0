"""Seed inputs of the fuzz targets: the examples and edge cases of the unit
tests, as data. make_corpus.py turns each into a corpus file in the
targets' input layout (see harness.h).

A seed is a text, or Seed(text, ...) when it needs host settings or other
options. Texts are Python strings; a lone surrogate is written "\\ud800".
"""

AMP, LT, GT, PCT = "\uff06", "\uff1c", "\uff1e", "\uff05"
RS = "\x1e"  # separates the parts of an ARRAYTABLE input


class Seed:
    def __init__(self, text, unicode=0, batch=False, keep=None, options=None, pad=None):
        self.text = text
        self.pad = pad            # 0..3: padded in front to 16383 - 3 * pad units
        self.unicode = unicode
        self.batch = batch
        self.keep = keep          # HEXENC_KEEP value, or None for unset
        self.options = options    # (quotes, spaces, dash, apos), or None for all three sets


ENTITIZE = [
    "", '"Quick & Silver\'s"', "don't", "it's 5 o'clock", "'Hello,' she said.",
    "'Twas the night", "rock 'n' roll", "'tis'", "'99 was a year", "the '80s", "5' tall",
    '"', "'", '""', '\u2018"', "\u201c'", "\"'", "'\"", "x''", "'TWAS", "'twas2",
    "a--b", "a---b", "a----b", "--start", "end--", "a -- b", "a --b", "x \u2014y", "a & b",
    "a  & b", "line1\r\nline2", "a\tb", "a\u00a0b", "a \u00a0 b", " a ",
    "\x18\x19\x1a\x1b", "\u2191\u2193\u2192\u2190", "\u2014\u201c\u2019",
    LT + 'a href="x"' + GT + '"', LT + '"a', "1 < 2 > 0 | \u20ac5",
    "'tisn\u2019t", "\u00e9t\u00e9 'twixt \u3000 \u2028 end", "\ud800\udc00 \udfff \ud800",
    "-" * 16383, "a" + " " * 16382, "&" * 16383, "'" * 5000,
    Seed("Fish & Chips", unicode=1), Seed("Fish & Chips", unicode=2),
    Seed("Fish & Chips", unicode=1, batch=True),
    Seed("--", pad=0), Seed("a--", pad=1), Seed(" -", pad=0), Seed("&", pad=1), Seed("'tis", pad=2),
    Seed('"', pad=0), Seed("\t\t-", pad=1), Seed(LT + "b", pad=3),
]

MAKEENTITY = [
    "copy", "&copy", "&copy;", "amp;", "#169", "@", "<", '"', "'", "-", " ", "&", "&&x",
    "\ud83d\ude00", "", "\u20ac", "\u2191", "\uff1c", "\u00e9", "\t", "x" * 16382, "x" * 16383,
    "&" + "x" * 16382, Seed("@", unicode=1),
]

ENTAG = [
    "p,Short test.", "b,Fish & Chips", "b, x", 'a href="x,y",Link', "  b ,text", "b",
    'a "unclosed,x', "div class=x,Hi", "p," + LT + "b" + GT + "bold" + LT + "/b" + GT,
    "a&b,x", ",text", "", "   ", "p" + "\u00a0" + "x,y", "p," + "&" * 16000,
    "x" * 8000 + " " + "y" * 8000 + ",z", "t" * 8189 + ",body", "t" * 8190 + ",body",
    "p," + "a" + " " * 16380, Seed("p,x", unicode=1), Seed(",&", pad=0), Seed(" x,y", pad=3),
]

DEENTITIZE = [
    "a&lt;b", "&quot;&amp;&lt;&gt;", "x&hellip;y&copy;",
    "&hellip;&copy;&reg;&trade;&mdash;&OElig;&oelig;", "&#65;&#x42;&#X43;&#x6a;", "&#xfF;",
    "&#0;", "&#x0;", "&#12a;", "&#;", "&#x;", "&#xZ;", "&#-5;", "&#\u00b2;", "&#x41 ",
    "Fish & Chips", "AT&T; x", "&&amp;", "& amp;", "&abcdefghijk;", "&abcdefghijkl;", "&;",
    "&", "&Alpha;&alpha;&AMP;", "&nbsp;", "&thetasym;", "&sub;", "&apos;", LT + "p" + GT,
    AMP + "lt;", "&lt\uff1b", "&\uff0365;", "&#128512;", "&#x1F600;", "&#x10FFFF;",
    "&#x110000;", "&#99999999999999999999;", "&#xFFFFFFFFFFFF;", "&#55296;",
    "&amp;" * 3276, Seed("&lt;", unicode=1), Seed("&amp;", pad=0), Seed("&#65;", pad=1),
    Seed("&lt", pad=0), Seed("&#x1F600;", pad=0),
]

TAG = [
    "p", "   p  ", "\u00a0\u00a0p", "", " \t ", "/p", 'a href="x"', "x" * 16380,
    "  " + "x" * 16380, "x" * 16381, Seed("p", unicode=1), Seed("", batch=True),
]

HCOMMENT = [
    "Hello, world.", "", " a ", "x" * 16374, "x" * 16375, "--", Seed("x", unicode=1),
    "a --> <b>bold</b>", "-->x", "x--!>y", "<!-- nested -->", "<!--->", "--!-->", "<!-",
    "\uff0d\uff0d\uff1e", "\uff1c\uff01--", "-->" + "x" * 16371, "-->" + "x" * 16370,
]

DOCTYPE = [
    "", "   ", "0x10", "6", "15", "21", "1 ", "-1", "4294967296", " abc", "0", "1", "2", "3",
    "4", "5", "16", "17", "18", "19", "20", "0X14", "0x0x5", "\u00b2", "007",
    Seed("1", unicode=1), Seed("zz", batch=True),
]

HEXENC = [
    "This is a test.", "", "%", PCT, LT + "p" + GT, "\uff10\uff19\uff1a",
    "\u00e9\u00b2\u00d7\u00a0", "\u2014\u20ac\u03b1\u0434", "\t\r\n", " " * 5461,
    "a" + " " * 5461, "\ud800x\udc00", Seed(" ", pad=0), Seed("  ", pad=1),
    Seed("a b!.c%", keep=" %ab!"), Seed(".", keep="abc"),
    Seed("x\u2014y", keep="\u2014"), Seed("a.b", keep="\uff0e"), Seed("a.b", keep=""),
    Seed("x", unicode=1), "\U0001f600\u20ac\u00d7\u00a0", "a\ud83dz\ude00",
    Seed("\U0001f600\U0001f601", keep="\U0001f600"), Seed("\U0001f600.", keep="\ud83d"),
    Seed("\U0001f600", pad=0), Seed("\U0001f600", keep="\U0001f600", pad=0), Seed("\u20acb", pad=1),
    Seed("\U0001f600b", pad=3),
]

HEXDEC = [
    "This%20is%20a%20test.", "%41%62%2f%2F", "%4", "%zz%", "%g1%1g", "100%", "%00x", "%%41",
    PCT + "41", LT + "p" + GT, "%C3%A9", "%" * 16383, "%\uff14\uff11", Seed("%41", unicode=1),
    Seed("%4", pad=0), Seed("%41", pad=0), "%E2%82%AC%F0%9F%98%80%f4%8f%bf%bf",
    PCT + "F0%9f" + PCT + "98%80", "%C0%AF%E0%80%AF%ED%A0%80%F4%90%80%80", "%C3x%A9%E2%82%C3%A9",
    "%D7%A0", "%F0%9F%98%80" * 1365, Seed("%F0%9F%98%80", pad=0), Seed("%E2%82%AC", pad=1),
]

KELVO = [
    "", "   ", "/q:1 /s:0", "q=1", "quotes:01", "q:3", "dash=2", "q:1 x:1", "q:1 /?",
    "defaults q:0", "q:0 s:0 d:0 a:0 defaults", "Defaults:1", "q:1:2", ":1", "q:", "q:+1",
    "dash:1x", "q:99999999999", "//q:1", "UnicodeCheck:0", "apostrophes=3 space:1",
    "/\u00e9:1", "q:\u00b2", Seed("q:9", batch=True),
]

ARRAYTABLE = [
    "", "/?", "/H:Title a", "/L a", "/L:1 a", "/L:0x10 a", "/L: a", "/LK:n a", "/LS: a",
    "/CK1:num a", "/CK a", "/CK1x a", "/CKx a", "/RK1odd a", "/RK2 a", "%", "%a", "a b",
    "1a", "a-b", "b", "/H\"Fish, price\" /L:1 /LK:lineno /K:menu /S\"width: 100%\" /RK1:odd /CK1:num a",
    "/H:<th>x</th> a", "/L/H:Title a", "/H:a/b a", "/CK4294967295:x a", "/CK1024:x a",
    "a" + RS + "2" + RS + "1" + RS + "1" + RS + "Apples & Pears",
    "a" + RS + "abc", "a" + RS + "3", "a" + RS + "99999999999", "a" + RS + "2" + RS + "0" + RS + "3",
    "/L a" + RS + "2" + RS + "-7" + RS + "3", "a" + RS + "2" + RS + "2" + RS + "0",
    "a" + RS + " +2" + RS + "\t2 rows" + RS + "7",
    "b" + RS + RS + RS + RS + RS + RS + RS + RS + RS + RS + RS + RS + RS + "red" + RS + "" + RS + "'blue'",
    "a" + RS + RS + RS + RS + '"Nectarines"' + RS + "3" + RS + "x -- y" + RS + LT + "b" + GT,
    "/L/L/L/L/L/L/L/L/L/L/L/L/L/L/L/L a", "/abcdefghijklmno" * 1020, "w " * 1100,
    Seed("a" + RS + RS + RS + RS + "x & y", unicode=1), Seed("9a", batch=True),
    "/H:x /L a", "/H:x /L a" + RS + "2" + RS + "1" + RS + "0", "/H:x b" + RS + "2" + RS + "1" + RS + "-1",
    "/L " + "A" * 1010, "A" * 16000,
]

HELP = [
    "kelvo", "KELVO", "Kelvo", "arraytable", "@entag", "entag", "@doctype", "@deentitize",
    "@entitize", "@hcomment", "@hexdec", "@hexenc", "@makeentity", "@tag", "", "@TAG ",
    "k\u0130lvo", "kelvo\u0000x",
]

USAGE = ["kelvo", "ARRAYTABLE", "@entitize", "", "kelv", "arraytables"]

SPLIT_ARGUMENTS = [
    "", "   ", "/L/H:Title data", "/H:a/b", "/H:\"a/b\"", "a/b/z", "//x", "/a//b",
    "/H\"a title\"", "/CK1\"a title\"", "\"  x  \"", '""', "a,b=z", "a \"b  c\" d",
    "/abcdefghijklmno" * 1020, "/ab" * 4000, "w " * 1100, "\"\u00a0a\u00a0\"",
    "/ab" * 20 + "/" + "x" * 16302 + "  ", "/ab" * 20 + "/" + "x" * 16302 + " y",
    "/ab" * 20 + "/" + "x" * 16302 + "\" \"", "/a" * 1023 + "/" + "x" * 13313 + " extra",
]

PARSE_NUMBER = [
    "0x1F", "0X1f", "4294967295", "4294967296", "", " 1", "+1", "-1", "12abc", "0x", "0xg",
    "0x0x5", "0x0xg", "\u00b2", "\u00b21", "\u0661", "00000000000000000000042",
    "0xFFFFFFFF", "0x100000000", "-2147483649", "  -12", "\u00a0+7x", "99999999999999999999",
]

SEEDS = {
    "entitize": ENTITIZE, "makeentity": MAKEENTITY, "entag": ENTAG,
    "deentitize": DEENTITIZE, "tag": TAG, "hcomment": HCOMMENT, "doctype": DOCTYPE,
    "hexenc": HEXENC, "hexdec": HEXDEC, "kelvo": KELVO, "arraytable": ARRAYTABLE,
    "help": HELP, "usage": USAGE, "split_arguments": SPLIT_ARGUMENTS,
    "parse_number": PARSE_NUMBER,
}
