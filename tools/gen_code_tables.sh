#!/usr/bin/env bash
# Regenerates data/codetables/codetables.bin (see tools/gen_code_tables.py):
# installs the Chinese manual pages (manpages-zh) when they are missing,
# then runs the generator on them.
# Usage: bash tools/gen_code_tables.sh
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
if ! dpkg -s manpages-zh >/dev/null 2>&1; then
  sudo=""
  [ "$(id -u)" = 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq manpages-zh
fi
dpkg-query -W -f='manpages-zh ${Version}\n' manpages-zh >&2
python3 "$here/tools/gen_code_tables.py" --out "$here/data/codetables/codetables.bin"
sha256sum "$here/data/codetables/codetables.bin"
