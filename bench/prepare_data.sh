#!/usr/bin/env bash
# Installs the benchmark peers and data from Debian and writes the GBK
# benchmark inputs into bench/data/ (not committed):
#   words.txt  the python3-jieba word list, one word per line, GBK
#   text.txt   the Chinese manual pages of manpages-zh as plain text, GBK
#   html/      HTML pages: the zh_CN manual pages turned into HTML by man2html
#              (UTF-8), and valgrind's HTML manual
#   detect/    the manual pages the code table generator held out, in GBK,
#              Big5, UTF-8 and UTF-16LE (tools/gen_code_tables.py)
#   detect-words/  the same codes for text made of the jieba word list,
#              which the generator never saw (bench/make_word_texts.py)
# Usage: bash bench/prepare_data.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out="$here/data"
mkdir -p "$out"

need=()
[ -f /usr/lib/python3/dist-packages/jieba/dict.txt ] || need+=(python3-jieba)
[ -d /usr/share/man/zh_CN ] || need+=(manpages-zh)
[ -f /usr/include/marisa.h ] || need+=(libmarisa-dev)
[ -f /usr/include/xxhash.h ] || need+=(libxxhash-dev)
[ -f /usr/include/uchardet/uchardet.h ] || need+=(libuchardet-dev)
dpkg -s libbenchmark-dev >/dev/null 2>&1 || need+=(libbenchmark-dev)
command -v groff >/dev/null 2>&1 || need+=(groff-base)
command -v man2html >/dev/null 2>&1 || need+=(man2html)
[ -d /usr/share/doc/valgrind/html ] || need+=(valgrind)
dpkg -s libxml2-dev >/dev/null 2>&1 || need+=(libxml2-dev)
if [ ${#need[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" = 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}"
fi

if [ ! -s "$out/words.txt" ]; then
  # First column of the jieba list; every word has a GBK code.
  cut -d' ' -f1 /usr/lib/python3/dist-packages/jieba/dict.txt \
    | iconv -f UTF-8 -t GBK > "$out/words.txt"
fi

if [ ! -s "$out/text.txt" ]; then
  # Render every page to plain UTF-8 text, then convert to GBK, dropping the
  # few characters without a GBK code.
  find /usr/share/man/zh_CN -type f -name '*.gz' | sort | while read -r page; do
    zcat "$page" | groff -k -Tutf8 -mandoc -P-cbou 2>/dev/null || true
  done | iconv -c -f UTF-8 -t GBK > "$out/text.txt"
fi

if [ ! -d "$out/html" ]; then
  # One page per manual page (man2html's CGI header, two lines, dropped),
  # then the HTML manual of valgrind as Debian ships it.
  rm -rf "$out/html.tmp"
  mkdir -p "$out/html.tmp"
  find /usr/share/man/zh_CN -type f -name '*.gz' | sort | while read -r page; do
    name=$(basename "$(dirname "$page")")-$(basename "$page" .gz)
    zcat "$page" | man2html 2>/dev/null | tail -n +3 > "$out/html.tmp/zh_CN-$name.html" || true
  done
  cp /usr/share/doc/valgrind/html/*.html "$out/html.tmp/"
  find "$out/html.tmp" -type f -empty -delete
  mv "$out/html.tmp" "$out/html"
fi

if [ ! -s "$out/detect/zh_TW.big5" ]; then
  python3 "$here/../tools/gen_code_tables.py" --held-out-dir "$out/detect"
fi
if [ ! -s "$out/detect-words/zh_TW.big5" ]; then
  python3 "$here/make_word_texts.py" /usr/lib/python3/dist-packages/jieba/dict.txt "$out/detect-words"
fi

wc -l "$out/words.txt"
wc -c "$out/text.txt" "$out"/detect/* "$out"/detect-words/*
echo "$(ls "$out/html" | wc -l) HTML pages, $(cat "$out/html"/*.html | wc -c) bytes"
