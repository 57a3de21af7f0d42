#!/usr/bin/env bash
# Installs zhtext into a temporary prefix and builds and runs a consumer
# project against it with find_package(zhtext), then checks the pkg-config
# file. Usage: bash tests/install/run.sh [static|shared]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
kind=${1:-static}
shared=OFF
[ "$kind" = shared ] && shared=ON
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake -S "$root" -B "$work/build" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=$shared \
  -DZHTEXT_BUILD_TESTS=OFF -DZHTEXT_BUILD_TOOLS=OFF >/dev/null
cmake --build "$work/build" -j2 >/dev/null
cmake --install "$work/build" --prefix "$work/prefix" >/dev/null
test -f "$work/prefix/include/zhtext/zhtext.h"
test -f "$work/prefix/include/zhtext/encoding/cp936.h"
test -f "$work/prefix/share/zhtext/codetables.bin"

cmake -S "$root/tests/install/consumer" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/consumer" >/dev/null
LD_LIBRARY_PATH="$work/prefix/lib:${LD_LIBRARY_PATH:-}" "$work/consumer/consumer" >/dev/null

# pkg-config: compile the same program with the flags it gives.
if command -v pkg-config >/dev/null 2>&1; then
  libdir=$(ls -d "$work"/prefix/lib*/pkgconfig | head -n 1)
  flags=$(PKG_CONFIG_PATH="$libdir" pkg-config --cflags --libs --static zhtext)
  c++ -std=c++17 "$root/tests/install/consumer/main.cpp" -o "$work/pc-consumer" $flags
  LD_LIBRARY_PATH="$work/prefix/lib:${LD_LIBRARY_PATH:-}" "$work/pc-consumer" >/dev/null
fi
echo "install test ($kind): ok"
