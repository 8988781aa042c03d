#!/bin/bash
# Builds the page, the folder of static files in BUILD/site, with Debian's
# Emscripten, in a CMake tree of its own.
# usage: scripts/web-build.sh BUILD      (BUILD: build/web)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
tree=${1:-$top/build/web}
# Debian's Emscripten runs on the system's Node, which finds its modules here
export NODE_PATH=/usr/share/nodejs
mkdir -p "$tree"
if ! { emcmake cmake -S "$top" -B "$tree" -DCMAKE_BUILD_TYPE=Release &&
       cmake --build "$tree" -j "$(nproc)"; } >"$tree/build.log" 2>&1; then
  cat "$tree/build.log" >&2
  exit 1
fi
