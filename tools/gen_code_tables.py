#!/usr/bin/env python3
"""Generates data/codetables/codetables.bin, the code table file that
LoadCodeTables reads (zhtext/encoding/code_tables.h), and the held-out texts
on which bench/detect_bench.cpp measures detection.

Regenerate the file with (installs manpages-zh when it is missing):

    bash tools/gen_code_tables.sh

which runs

    python3 tools/gen_code_tables.py --out data/codetables/codetables.bin

The file was made from manpages-zh 1.6.4.0-1 (Debian 12) with Python 3.11.
The same package version and Python give the same bytes; the test
tests/encoding/code_table_file_test.cpp pins them.

    python3 tools/gen_code_tables.py --held-out-dir DIR

writes the pages the automaton was not trained on, in every code, for the
accuracy measurement (bench/prepare_data.sh calls it).

Layout (little-endian, no header):
  49,152 bytes  24,576 UTF-16 units for GBK (code 2)
  49,152 bytes  24,576 UTF-16 units for Big5 (code 3)
  4 bytes       cell count N
  16 * N bytes  cells: base, check, fail, value (signed 32-bit each)
A double-byte character with lead byte L and trail byte T sits at index
(T > 0x40 ? T - 0x40 : 0) * 128 + (L & 0x7F); 0 means no character.

The two conversion tables:
  GBK   the library's own table (zhtext/encoding/gbk_table_data.cpp, made by
        tools/gen_gbk_table.py), read back to front: the unit of each
        two-byte code. Two units never share a code in it.
  Big5  Python's "cp950" codec, one entry per two-byte sequence it decodes to
        one character (13,752). In C6A1-C7FC that codec gives the kana and
        symbols of the ETEN extension where Windows and glibc give private-use
        units; elsewhere it agrees with glibc's CP950.

The detection automaton is an Aho-Corasick machine over byte patterns, cells
laid out as a double array: a transition from state s on byte b leads to
t = base[s] + b when check[t] == s; fail[s] is the state of the longest
proper suffix. Cell 0 is the root; unused cells have check -1. A cell value
of 75789 means no value; otherwise value >> 20 is a definite code and
value & 0x3FFFF holds four base-20 digits d0..d3 whose values minus 9 are
the scores for GBK, Big5, UTF-16LE and UTF-8 (see code_detect.h for how
DetectCode adds them up and decides).

The patterns:
  - Byte-order marks, definite: FF FE gives UTF-16 (8), EF BB BF gives UTF-8
    (1). FF never occurs in GBK, Big5 or UTF-8 text.
  - Every byte pair that occurs at least MIN_COUNT times in the training text
    of some code and holds a byte of 0x80 or above or a zero byte. With the
    single bytes that begin them, the machine lands after each byte on the
    pair it ends (when the pair is a pattern) or on the byte alone: a byte
    bigram model with a unigram fallback. It sees GBK and Big5 lead/trail
    pairs (Big5 trail bytes 0x40-0x7E and 0xA1-0xFE), UTF-8 lead and
    continuation pairs, and UTF-16LE units (CJK units, ASCII as a byte and a
    zero) with the pairs that straddle two units.
Pairs made only of ASCII bytes other than zero carry no value, so ASCII text
meets no scored state and gives GBK (2). Single bytes carry no value either
(the zero byte aside): landing on one says only that the pair before it was
rare, and in UTF-16 text a hit scored 0 or below counts against the code.

The scores: for each code X, P_X(t) is the rate at which the machine lands
on pattern t in the training text of X (add-LAMBDA smoothed); the score is
ALPHA * (ln P_X(t) - the mean of ln P_Y(t) over the four codes), rounded,
at least 1 when positive, clamped to -9..+10. Summing the scores of a text
compares the four codes' log-likelihoods (a naive Bayes model over the
landed patterns); the common baseline keeps the comparison and makes the
score positive where a pattern is typical of the code, which the hit counts
of the decision rule look at.

The UTF-16 score is at least +1 on every pattern. The decision rule counts
each UTF-16 hit scored 0 or below against ten positive ones, and UTF-16 text
meets pairs typical of the other codes by chance all the time: the unit
U+5FC3 is the bytes C3 5F, a common Big5 character. Without the floor,
UTF-16 text made only of Chinese characters (no ASCII units with their zero
bytes) is told in less than half of the cases; with it, the sums alone
decide, and the other codes' own patterns outweigh the +1 in their text.

Training text: the Chinese manual pages of manpages-zh, stripped of their roff
markup. zh_CN pages give GBK (the library's table; characters without a code
dropped), UTF-8 and UTF-16LE; zh_TW pages give Big5 (cp950, likewise),
UTF-8 and UTF-16LE. A page whose file name has a CRC-32 divisible by 5 is
held out (for zh_CN and zh_TW alike, so a translation and its counterpart
fall on the same side).

Python standard library only.
"""
import argparse
import collections
import glob
import gzip
import math
import os
import re
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
GBK_TABLE_SOURCE = os.path.join(ROOT, "zhtext", "encoding", "gbk_table_data.cpp")

TABLE_UNITS = 0x6000
NO_VALUE = 75789
CODES = ("gbk", "big5", "utf16", "utf8")  # digit order d0..d3
CODE_UTF8 = 1
CODE_UTF16 = 8

MIN_COUNT = 3
LAMBDA = 0.5
ALPHA = 1.0


# ---- Conversion tables -----------------------------------------------------

def table_index(lead, trail):
    row = trail - 0x40 if trail > 0x40 else 0
    return row * 128 + (lead & 0x7F)


def read_gbk_table():
    """The library's table: GBK code of each UTF-16 unit (0 for none)."""
    units = []
    with open(GBK_TABLE_SOURCE, encoding="utf-8") as source:
        for line in source:
            m = re.match(r"\s*/\* [0-9A-F]{4} \*/ (.*),$", line)
            if m:
                units.extend(int(x, 16) for x in m.group(1).split(","))
    if len(units) != 65536:
        sys.exit("%s: expected 65536 entries, read %d" % (GBK_TABLE_SOURCE, len(units)))
    return units


def gbk_decode_table(gbk):
    table = [0] * TABLE_UNITS
    for unit in range(0x80, 0x10000):
        code = gbk[unit]
        if code >= 0x8100:
            table[table_index(code >> 8, code & 0xFF)] = unit
    return table


def big5_decode_table():
    table = [0] * TABLE_UNITS
    for lead in range(0x81, 0xFF):
        for trail in range(0x40, 0x100):
            try:
                text = bytes((lead, trail)).decode("cp950")
            except UnicodeDecodeError:
                continue
            if len(text) == 1 and ord(text) < 0x10000:
                table[table_index(lead, trail)] = ord(text)
    return table


# ---- Training text ---------------------------------------------------------

# Macros whose arguments are running text.
TEXT_MACROS = {
    "B", "I", "BI", "BR", "IB", "IR", "RB", "RI", "SM", "SB", "SH", "SS", "IP", "TP", "HP",
    "Nm", "Nd", "Sh", "Ss", "It", "Fl", "Ar", "Pa", "Xr", "Em", "Sy", "Li", "Dv", "Ev", "Cm",
    "Ic", "Va", "Fn", "Fa", "Ft", "Ql", "Dq", "Sq", "Pq", "Aq", "Bq", "Brq", "Op", "D1", "Dl",
}
# Font alternations: their arguments join without blanks.
JOINED_MACROS = {"BR", "RB", "IR", "RI", "BI", "IB"}
NAMED_CHARS = {
    "em": "\u2014", "en": "\u2013", "bu": "\u2022", "co": "\u00a9", "rg": "\u00ae",
    "lq": "\u201c", "rq": "\u201d", "oq": "\u2018", "cq": "\u2019", "aq": "'", "dq": '"',
    "hy": "-", "mi": "-", "pl": "+", "eq": "=", "mu": "\u00d7", "di": "\u00f7",
    "de": "\u00b0", "tm": "\u2122", "<=": "\u2264", ">=": "\u2265", "->": "\u2192",
    "<-": "\u2190", "ti": "~", "ha": "^", "ga": "`", "sl": "/", "rs": "\\", "ba": "|",
    "or": "|", "ul": "_",
}
SIMPLE_ESCAPES = {
    "-": "-", "e": "\\", "\\": "\\", " ": " ", "0": " ", "~": " ", "'": "'", "`": "`",
    ".": ".", "t": " ",
}
ESCAPE = re.compile(r"""\\(?:
    f(?:\[[^\]]*\]|\(..|.)
  | s[+-]?(?:\d\d?|\(\d\d|\[\d*\])
  | \*(?:\[[^\]]*\]|\(..|.)
  | n[+-]?(?:\[[^\]]*\]|\(..|.)
  | k(?:\[[^\]]*\]|\(..|.)
  | \((..)
  | \[([^\]]*)\]
  | [hvwlLxXbDNoSRZ]'[^']*'
  | (.)
)""", re.X)


def _escape(m):
    named = m.group(1) or m.group(2)
    if named is not None:
        return NAMED_CHARS.get(named, "")
    c = m.group(3)
    if c is None:
        return ""
    if c in SIMPLE_ESCAPES:
        return SIMPLE_ESCAPES[c]
    return "" if c in "&c|^%a{}:/,przdu\"" else c


def _macro_args(text):
    args, i = [], 0
    while i < len(text):
        while i < len(text) and text[i] in " \t":
            i += 1
        if i >= len(text):
            break
        if text[i] == '"':
            j, buf = i + 1, []
            while j < len(text):
                if text[j] == '"':
                    if text[j + 1:j + 2] == '"':
                        buf.append('"')
                        j += 2
                        continue
                    break
                buf.append(text[j])
                j += 1
            args.append("".join(buf))
            i = j + 1
        else:
            j = i
            while j < len(text) and text[j] not in " \t":
                j += 1
            args.append(text[i:j])
            i = j
    return args


def strip_roff(source):
    """Running text of a man page: requests dropped, macro text kept,
    escapes resolved."""
    lines, in_definition = [], False
    for line in source.split("\n"):
        if in_definition:
            in_definition = not line.startswith("..")
            continue
        k = line.find('\\"')
        if k >= 0 and (k == 0 or line[k - 1] != "\\"):
            line = line[:k]
        if line[:1] in (".", "'"):
            body = line[1:].lstrip()
            if not body:
                continue
            name = body.split()[0]
            if name in ("de", "de1", "am", "ig"):
                in_definition = True
                continue
            if name not in TEXT_MACROS:
                continue
            args = _macro_args(body[len(name):])
            if name == "IP":
                args = args[:1]
            line = ("" if name in JOINED_MACROS else " ").join(args)
        line = ESCAPE.sub(_escape, line).replace("\t", " ").rstrip()
        if line.strip():
            lines.append(line)
    return "\n".join(lines) + "\n"


def read_pages(man_dir, locale):
    """{file name: text} of the locale's pages (links and .so stubs skipped)."""
    pages = {}
    for path in sorted(glob.glob(os.path.join(man_dir, locale, "man*", "*"))):
        if os.path.islink(path) or not os.path.isfile(path):
            continue
        opener = gzip.open if path.endswith(".gz") else open
        with opener(path, "rb") as page:
            raw = page.read()
        if raw.startswith(b".so "):
            continue
        pages[os.path.basename(path)] = strip_roff(raw.decode("utf-8", "replace"))
    if not pages:
        sys.exit("no manual pages under %s/%s: install manpages-zh" % (man_dir, locale))
    return pages


def is_held_out(name):
    return zlib.crc32(name.encode("utf-8")) % 5 == 0


def encode_gbk(text, gbk):
    out = bytearray()
    for ch in text:
        unit = ord(ch)
        if unit < 0x80:
            out.append(unit)
        elif unit < 0x10000 and gbk[unit]:
            code = gbk[unit]
            out += bytes((code,)) if code < 0x100 else bytes((code >> 8, code & 0xFF))
    return bytes(out)


def corpus(man_dir, gbk, held_out):
    """{code: [bytes, ...]} of the training (or held-out) pages, and the
    held-out texts by file name."""
    texts = {code: [] for code in CODES}
    files = {}
    for locale in ("zh_CN", "zh_TW"):
        pages = read_pages(man_dir, locale)
        text = "".join(t for n, t in sorted(pages.items()) if is_held_out(n) == held_out)
        utf8 = text.encode("utf-8")
        utf16 = text.encode("utf-16le", "surrogatepass")
        texts["utf8"].append(utf8)
        texts["utf16"].append(utf16)
        if locale == "zh_CN":
            dbcs = encode_gbk(text, gbk)
            texts["gbk"].append(dbcs)
            files[locale + ".gbk"] = dbcs
        else:
            dbcs = text.encode("cp950", "ignore")
            texts["big5"].append(dbcs)
            files[locale + ".big5"] = dbcs
        files[locale + ".utf8"] = utf8
        files[locale + ".utf16le"] = utf16
    return texts, files


# ---- The automaton ---------------------------------------------------------

class Trie:
    def __init__(self):
        self.children = [{}]
        self.keys = [b""]
        self.values = [NO_VALUE]
        self.fail = [0]

    def add(self, pattern):
        s = 0
        for b in pattern:
            t = self.children[s].get(b)
            if t is None:
                t = len(self.keys)
                self.children.append({})
                self.keys.append(self.keys[s] + bytes((b,)))
                self.values.append(NO_VALUE)
                self.fail.append(0)
                self.children[s][b] = t
            s = t
        return s

    def finish(self):
        """Fail links, set in order of depth."""
        order = sorted(range(len(self.keys)), key=lambda s: (len(self.keys[s]), self.keys[s]))
        for s in order:
            if len(self.keys[s]) < 2:
                continue
            parent, b = self.state(self.keys[s][:-1]), self.keys[s][-1]
            self.fail[s] = self.step(self.fail[parent], b)

    def step(self, s, b):
        """The state after byte b from state s: DetectCode's walk."""
        while s and b not in self.children[s]:
            s = self.fail[s]
        return self.children[s].get(b, 0)

    def state(self, key):
        s = 0
        for b in key:
            s = self.children[s][b]
        return s

    def landing_counts(self, text):
        counts = collections.Counter()
        step, s = self.step, 0
        for b in text:
            s = step(s, b)
            counts[s] += 1
        return counts


def encode_value(scores, definite=0):
    digits = [scores.get(code, 0) + 9 for code in CODES]
    return (definite << 20) | (digits[0] + 20 * digits[1] + 400 * digits[2] + 8000 * digits[3])


def scored_pair(pair):
    return any(b >= 0x80 or b == 0 for b in pair)


def build_automaton(texts):
    pairs = collections.Counter()
    for code in CODES:
        counts = collections.Counter()
        for text in texts[code]:
            counts.update(zip(text, text[1:]))
        for pair, n in counts.items():
            if n >= MIN_COUNT and scored_pair(pair):
                pairs[pair] += 1
    trie = Trie()
    for pair in sorted(pairs):
        trie.add(bytes(pair))
    trie.add(b"\x00")
    boms = {b"\xff\xfe": CODE_UTF16, b"\xef\xbb\xbf": CODE_UTF8}
    for bom in boms:
        trie.add(bom)
    trie.finish()

    landed = {}
    totals = {}
    for code in CODES:
        landed[code] = collections.Counter()
        for text in texts[code]:
            landed[code].update(trie.landing_counts(text))
        totals[code] = sum(len(text) for text in texts[code])
    states = len(trie.keys)
    for s in range(1, states):
        key = trie.keys[s]
        if len(key) == 1 and key != b"\x00":
            continue
        logs = {code: math.log((landed[code][s] + LAMBDA) / (totals[code] + LAMBDA * states))
                for code in CODES}
        mean = sum(logs.values()) / len(CODES)
        scores = {}
        for code in CODES:
            x = ALPHA * (logs[code] - mean)
            q = int(math.floor(x + 0.5))
            if x > 0:
                q = max(q, 1)
            scores[code] = max(-9, min(10, q))
        scores["utf16"] = max(scores["utf16"], 1)
        trie.values[s] = encode_value(scores)
    for bom, code in boms.items():
        trie.values[trie.state(bom)] = encode_value({}, definite=code)
    return trie


def pack(trie):
    """Double-array cells [base, check, fail, value] for every state; the
    root is cell 0. Each state's children go to the first free cells that
    fit them."""
    cells = [[0, -1, 0, NO_VALUE]]
    cell_of = {0: 0}
    used = [True]
    first_free = 1
    # Level by level (a state's cell is known before its children are
    # placed); within a level, states with many children first, so that the
    # sparse ones fill the gaps left.
    order = sorted(range(len(trie.keys)),
                   key=lambda s: (len(trie.keys[s]), -len(trie.children[s]), trie.keys[s]))
    for s in order:
        children = sorted(trie.children[s].items())
        if not children:
            continue
        low = children[0][0]
        pos = max(first_free, low + 1)
        while True:
            base = pos - low
            if all(base + b >= len(used) or not used[base + b] for b, _ in children):
                break
            pos += 1
            while pos < len(used) and used[pos]:
                pos += 1
        top = base + children[-1][0]
        while len(used) <= top:
            used.append(False)
            cells.append([0, -1, 0, NO_VALUE])
        cells[cell_of[s]][0] = base
        for b, t in children:
            used[base + b] = True
            cell_of[t] = base + b
        while first_free < len(used) and used[first_free]:
            first_free += 1
    for s in range(len(trie.keys)):
        cell = cells[cell_of[s]]
        if s:
            parent = trie.state(trie.keys[s][:-1])
            cell[1] = cell_of[parent]
            cell[2] = cell_of[trie.fail[s]]
        cell[3] = trie.values[s]
    return cells


def write_file(path, gbk_units, big5_units, cells):
    data = bytearray()
    data += struct.pack("<%dH" % TABLE_UNITS, *gbk_units)
    data += struct.pack("<%dH" % TABLE_UNITS, *big5_units)
    data += struct.pack("<i", len(cells))
    for cell in cells:
        data += struct.pack("<4i", *cell)
    directory = os.path.dirname(path)
    if directory:
        os.makedirs(directory, exist_ok=True)
    temp = path + ".tmp"
    with open(temp, "wb") as out:
        out.write(data)
    os.replace(temp, path)
    return len(data)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--man-dir", default="/usr/share/man",
                        help="directory holding zh_CN/ and zh_TW/ (default %(default)s)")
    parser.add_argument("--out", help="code table file to write")
    parser.add_argument("--held-out-dir", help="directory for the held-out texts")
    args = parser.parse_args()
    if not args.out and not args.held_out_dir:
        parser.error("give --out, --held-out-dir or both")
    gbk = read_gbk_table()
    if args.held_out_dir:
        _, files = corpus(args.man_dir, gbk, held_out=True)
        os.makedirs(args.held_out_dir, exist_ok=True)
        for name, data in sorted(files.items()):
            with open(os.path.join(args.held_out_dir, name), "wb") as out:
                out.write(data)
            print("%s/%s: %d bytes" % (args.held_out_dir, name, len(data)), file=sys.stderr)
    if args.out:
        texts, _ = corpus(args.man_dir, gbk, held_out=False)
        trie = build_automaton(texts)
        cells = pack(trie)
        size = write_file(args.out, gbk_decode_table(gbk), big5_decode_table(), cells)
        print("%s: %d states in %d cells, %d bytes" % (args.out, len(trie.keys), len(cells), size),
              file=sys.stderr)


if __name__ == "__main__":
    main()
