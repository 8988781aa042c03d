#!/bin/bash
# Opens the Vexlore window: installs what is missing, builds the Windows
# program this machine can run, and starts it under Wine on the display.
# On a machine with no display it says so and runs the example search, a
# multi-word search for 'dirty room', with the command-line finder,
# vexlore-find, instead. With --screenshot it runs the example search in
# the window on a virtual display of its own and saves a picture of the
# window as FILE (PNG).
# usage: scripts/run.sh [--screenshot FILE]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXLORE_BUILD:-$top/build}
example="dirty room"

shot=
case "${1:-}:$#" in
  :0) ;;
  --screenshot:2) shot=$2; [[ $shot = /* ]] || shot=$PWD/$shot ;;
  *) echo "usage: scripts/run.sh [--screenshot FILE]" >&2; exit 2 ;;
esac

bash "$top/scripts/setup.sh"
# shellcheck source=window-env.sh
source "$top/scripts/window-env.sh"

if [ -n "$shot" ]; then
  # the test driver types the search, waits for its end, asks for the
  # picture and closes the window
  window_tree "$build" run vexlore vexlore-driver wordlist
  pictures=$build/run-screenshot
  rm -rf "$pictures"
  mkdir -p "$pictures" "$(dirname "$shot")"
  xvfb_start
  "$loader" "$tree/vexlore-driver.exe" show "$tree" "$pictures" "$example" 2>&1 |
    driver_screenshots "$pictures" | sed 's/^/run: /'
  if [ ! -f "$pictures/window.png" ]; then
    echo "run: no picture of the window came" >&2
    exit 1
  fi
  mv "$pictures/window.png" "$shot"
  echo "run: the window after a multi-word search for '$example': $shot"
  exit 0
fi

if [ -z "${DISPLAY:-}" ] || ! xdotool getdisplaygeometry >/dev/null 2>&1; then
  native_build "$top" "$build" vexlore-find wordlist
  echo "run: no display${DISPLAY:+ at $DISPLAY} to open the window on; the same search from the command line:"
  echo "\$ $build/native/vexlore-find -m $example"
  # shellcheck disable=SC2086 # the example is typed as two words
  "$build/native/vexlore-find" -m $example
  echo "run: to see the window, 'bash scripts/run.sh --screenshot FILE.png' saves a picture of it after this search"
  exit 0
fi

windows_build "$build" run vexlore wordlist
# a prefix of its own: the tests' prefix is set up for a display without
# a window manager
wine_prefix "$build/wineprefix-run"
echo "run: $tree/vexlore.exe on $DISPLAY"
cd "$tree"
exec "$loader" vexlore.exe
