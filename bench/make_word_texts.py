#!/usr/bin/env python3
"""Writes the second detection data set of bench/detect_bench.cpp: running
text made of the python3-jieba word list, which the code table generator
never saw, in the same files as the held-out pages.

The words are shuffled (random.Random(7)) and joined twelve to a line, each
line ending with the ideographic full stop. zh_CN.* take the first 120,000
words; zh_TW.* take, from the words after them, those whose characters all
have a Big5 code (code page 950). Unlike the manual pages, the text holds no
ASCII apart from its line ends.

Usage: python3 bench/make_word_texts.py DICT.TXT OUT_DIR
"""
import os
import random
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
import gen_code_tables  # noqa: E402


def lines_of(words):
    return "\n".join("".join(words[i:i + 12]) + "\u3002" for i in range(0, len(words), 12)) + "\n"


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    with open(sys.argv[1], encoding="utf-8") as source:
        words = [line.split()[0] for line in source if line.strip()]
    random.Random(7).shuffle(words)
    simplified = lines_of(words[:120000])
    big5_words = [w for w in words[120000:] if len(w.encode("cp950", "ignore")) == 2 * len(w)]
    traditional = lines_of(big5_words[:120000])
    gbk = gen_code_tables.read_gbk_table()
    files = {
        "zh_CN.gbk": gen_code_tables.encode_gbk(simplified, gbk),
        "zh_CN.utf8": simplified.encode("utf-8"),
        "zh_CN.utf16le": simplified.encode("utf-16le", "surrogatepass"),
        "zh_TW.big5": traditional.encode("cp950"),
        "zh_TW.utf8": traditional.encode("utf-8"),
        "zh_TW.utf16le": traditional.encode("utf-16le", "surrogatepass"),
    }
    os.makedirs(sys.argv[2], exist_ok=True)
    for name, data in files.items():
        with open(os.path.join(sys.argv[2], name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
