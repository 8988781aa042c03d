#!/bin/bash
# Opens the Vexlore window: installs what is missing, builds the Windows
# program this machine can run, and starts it under Wine on the display.
# On a machine with no display it says so and shows the command-line
# finder, vexlore-find, instead.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXLORE_BUILD:-$top/build}

bash "$top/scripts/setup.sh"
source "$top/scripts/window-env.sh"

if [ -z "${DISPLAY:-}" ] || ! xdotool getdisplaygeometry >/dev/null 2>&1; then
  echo "run: no display${DISPLAY:+ at $DISPLAY} to open the window on; the same search from the command line:"
  mkdir -p "$build/native"
  if ! { cmake -S "$top" -B "$build/native" -DCMAKE_BUILD_TYPE=Release &&
         cmake --build "$build/native" -j "$(nproc)" --target vexlore-find wordlist; } \
       >"$build/native/run-build.log" 2>&1; then
    cat "$build/native/run-build.log" >&2
    exit 1
  fi
  echo "  $build/native/vexlore-find -m dirty room"
  exit 0
fi

windows_build "$build" run vexlore wordlist
# a prefix of its own: the tests' prefix is set up for a display without
# a window manager
wine_prefix "$build/wineprefix-run"
echo "run: $tree/vexlore.exe on $DISPLAY"
cd "$tree"
exec "$loader" vexlore.exe
