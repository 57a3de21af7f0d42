#!/usr/bin/env bash
# The main job on the sample data: builds the zhtext tool (once), builds a
# dictionary from data/sample/words.txt and segments data/sample/text.txt
# with it, printing the words in UTF-8 with a '/' after each.
# Usage: bash scripts/demo.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ ! -x build/default/tools/zhtext/zhtext ] || [ -n "$(find zhtext tools -newer build/default/tools/zhtext/zhtext -name '*.[ch]*' -print -quit)" ]; then
  echo "building the zhtext tool (first run only)..." >&2
  cmake --preset default >/dev/null
  cmake --build --preset tool >/dev/null
fi
zhtext=build/default/tools/zhtext/zhtext
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The word list is kept in UTF-8; dictionaries are built from GBK lists.
"$zhtext" convert --from utf8 --to gbk data/sample/words.txt "$work/words.txt"
if ! "$zhtext" dict build "$work/words.txt" "$work/sample.dic" >"$work/build.out" 2>"$work/build.err"; then
  cat "$work/build.err" >&2
  exit 1
fi
echo "dictionary of data/sample/words.txt: $(paste -sd ' ' "$work/build.out")" >&2
echo "segmenting data/sample/text.txt (forward maximum matching):" >&2
"$zhtext" segment --utf8 --sep / "$work/sample.dic" data/sample/text.txt
echo
