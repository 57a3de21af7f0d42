#!/usr/bin/env bash
# Installs the benchmark peers and data from Debian and writes the GBK
# benchmark inputs into bench/data/ (not committed):
#   words.txt  the python3-jieba word list, one word per line, GBK
#   text.txt   the Chinese manual pages of manpages-zh as plain text, GBK
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
dpkg -s libbenchmark-dev >/dev/null 2>&1 || need+=(libbenchmark-dev)
command -v groff >/dev/null 2>&1 || need+=(groff-base)
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

wc -l "$out/words.txt"
wc -c "$out/text.txt"
