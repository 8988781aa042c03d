#!/bin/bash
# Opens the Vexlore window: installs what is missing, builds the program and
# starts it on the display. On Linux that is the native window (GTK 3, in
# build/native), with only what it needs: no Wine, no MinGW. --windows opens
# the Windows program instead, under Wine, from the Windows build this
# machine runs. On a machine with no display it says so and runs the example
# search, a multi-word search for 'dirty room', with the command-line
# finder, vexlore-find, instead. With --screenshot it runs the example
# search in the window on a virtual display of its own and saves a picture
# of the window as FILE (PNG). With --web it builds the page (web/) and
# serves it on localhost.
# usage: scripts/run.sh [--windows] [--screenshot FILE] | --web
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXLORE_BUILD:-$top/build}
example="dirty room"
usage="usage: scripts/run.sh [--windows] [--screenshot FILE] | --web"
# shellcheck source=lib.sh
source "$top/scripts/lib.sh"

# The page: built with Emscripten and served from localhost, where its
# service worker may keep it for use offline.
if [ "${1:-}:$#" = --web:1 ]; then
  bash "$top/scripts/setup.sh"
  bash "$top/scripts/web-build.sh" "$build/web"
  port=${VEXLORE_PORT:-8000}
  echo "run: Vexlore in the browser at http://localhost:$port/ (Ctrl-C stops the server)"
  cd "$build/web/site"
  exec python3 -m http.server "$port" --bind 127.0.0.1
fi

windows=false
shot=
while [ $# -gt 0 ]; do
  case $1 in
    --windows) windows=true; shift ;;
    --screenshot) [ $# -ge 2 ] || { echo "$usage" >&2; exit 2; }
                  shot=$2; [[ $shot = /* ]] || shot=$PWD/$shot; shift 2 ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
done

# A display to open the window on: Wayland's, or an X server whose socket
# is there (or one across the network, which only trying would tell).
hasdisplay() {
  [ -n "${WAYLAND_DISPLAY:-}" ] && return 0
  case ${DISPLAY:-} in
    "") return 1 ;;
    :*) local n=${DISPLAY#:}; [ -S "/tmp/.X11-unix/X${n%%.*}" ] ;;
    *) return 0 ;;
  esac
}

if $windows; then
  bash "$top/scripts/setup.sh"
  # shellcheck source=window-env.sh # sets tree and loader
  source "$top/scripts/window-env.sh"
  if [ -n "$shot" ]; then
    # vexlore-winshow types the search, waits for its end, asks for the
    # picture and closes the window
    window_tree "$build" run vexlore vexlore-driver vexlore-winshow wordlist
    pictures=$build/run-screenshot
    rm -rf "$pictures"
    mkdir -p "$pictures" "$(dirname "$shot")"
    xvfb_start
    "$loader" "$tree/vexlore-winshow.exe" "$tree" "$pictures" "$example" 2>&1 |
      driver_screenshots "$pictures" | sed 's/^/run: /'
    if [ ! -f "$pictures/window.png" ]; then
      echo "run: no picture of the window came" >&2
      exit 1
    fi
    mv "$pictures/window.png" "$shot"
    echo "run: the Windows window after a multi-word search for '$example': $shot"
    exit 0
  fi
  if [ -z "${DISPLAY:-}" ] || ! xdotool getdisplaygeometry >/dev/null 2>&1; then
    echo "run: no display${DISPLAY:+ at $DISPLAY} to open the Windows program on" >&2
    exit 1
  fi
  windows_build "$build" run vexlore wordlist
  # a prefix of its own: the tests' prefix is set up for a display without
  # a window manager
  wine_prefix "$build/wineprefix-run"
  echo "run: $tree/vexlore.exe on $DISPLAY"
  cd "$tree"
  exec "$loader" vexlore.exe
fi

if [ -n "$shot" ]; then
  bash "$top/scripts/setup.sh" --window-shot
  native_build "$top" "$build" vexlore vexlore-find wordlist model related
  # shellcheck source=gtk-env.sh
  source "$top/scripts/gtk-env.sh"
  mkdir -p "$(dirname "$shot")"
  rm -f "$shot"
  gtk_session /usr/bin/python3 "$top/tests/gtk/gtkcheck.py" show "$build/native" "$shot" "$example" \
    2>&1 | grep -v -e '^dbus-daemon' -e '^SpiRegistry' -e 'X connection' | sed 's/^/run: /' || true
  if [ ! -f "$shot" ]; then
    echo "run: no picture of the window came" >&2
    exit 1
  fi
  echo "run: the window after a multi-word search for '$example': $shot"
  exit 0
fi

bash "$top/scripts/setup.sh" --window
if ! hasdisplay; then
  native_build "$top" "$build" vexlore-find wordlist
  echo "run: no display${DISPLAY:+ at $DISPLAY} to open the window on; the same search from the command line:"
  echo "\$ $build/native/vexlore-find -m $example"
  # shellcheck disable=SC2086 # the example is typed as two words
  "$build/native/vexlore-find" -m $example
  echo "run: to see the window, 'bash scripts/run.sh --screenshot FILE.png' saves a picture of it after this search"
  exit 0
fi
native_build "$top" "$build" vexlore vexlore-find wordlist model related
echo "run: $build/native/vexlore on ${WAYLAND_DISPLAY:-$DISPLAY}"
exec "$build/native/vexlore"
