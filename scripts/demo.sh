#!/usr/bin/env bash
# The main job on the sample data: builds the zhtext tool (once) and runs it
# on data/sample/. Usage: bash scripts/demo.sh
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

# The sample text is kept in UTF-8; the library works in GBK.
"$zhtext" convert --from utf8 --to gbk data/sample/text.txt "$work/text.gbk"
echo "GBK text: $(wc -c < "$work/text.gbk") bytes (UTF-8: $(wc -c < data/sample/text.txt) bytes)" >&2
"$zhtext" convert --from gbk --to utf8 "$work/text.gbk" "$work/text.utf8"
cmp -s data/sample/text.txt "$work/text.utf8" && echo "round trip UTF-8 -> GBK -> UTF-8: identical" >&2
cat "$work/text.utf8"
