# shellcheck shell=bash
# Sourced by the scripts that drive the window on a virtual display: the
# Windows tree this machine runs, built if need be, its Wine and prefix,
# and an Xvfb of our own that goes away when the script ends.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Sets tree and loader for the build folder $1 and brings the tree up to
# date ($3...: only these targets); $2 names the calling script in messages.
windows_build() {
  local top name=$2
  top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  tree=$(wine_tree "$1")
  loader=$(wine_loader)
  shift 2
  local toolchain=$top/cmake/mingw-i686.cmake
  if ! wine32_works; then
    echo "$name: $(wine32_why_not): the window runs from the 64-bit build under wine64"
    toolchain=$top/cmake/mingw-x86_64.cmake
  fi
  if [ ! -f "$tree/CMakeCache.txt" ]; then
    cmake -S "$top" -B "$tree" -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
  fi
  local targets=()
  for t in "$@"; do targets+=(--target "$t"); done
  if ! cmake --build "$tree" -j "$(nproc)" "${targets[@]}" >"$tree/window-build.log" 2>&1; then
    cat "$tree/window-build.log" >&2
    return 1
  fi
}

# The tree, built with the test driver, and a prefix for a display with no
# window manager: what the scripts that drive the window need. Arguments
# as for windows_build.
window_tree() {
  windows_build "$@" || return 1
  if [ ! -f "$tree/vexlore-driver.exe" ]; then
    echo "$2: no $tree/vexlore-driver.exe: tests/CMakeLists.txt does not build tests/driver" >&2
    return 1
  fi
  wine_prefix "$1/wineprefix-$(basename "$tree")"
  wine_bare_display
}

# Starts Xvfb on a free display number (it picks one itself and says which)
# and exports DISPLAY; it is stopped when the script exits, after whatever
# the script's own EXIT trap does.
xvfb_start() {
  local before
  # the trap's command as "trap -p" quotes it, taken out of its quotes
  before=$(trap -p EXIT)
  before=${before#trap -- }
  before=${before% EXIT}
  eval "before=$before"
  # shellcheck disable=SC2064 # the caller's command, as it stands now
  trap "${before:+$before;} xvfb_stop" EXIT
  xvfb_launch 800x600x24 || return 1
  DISPLAY=$xvfb_display
  export DISPLAY
}

# Lets the prefix's Wine processes end (they hold the display), then ends Xvfb.
xvfb_stop() {
  timeout 30 wineserver -w 2>/dev/null || true
  if [ -n "${xvfb_pid:-}" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
  fi
}

# Prints the test driver's report, read from standard input, and answers
# its requests for screenshots: a line "screenshot NAME X Y W H" gets that
# part of the screen saved as NAME.png in the folder $1, which the driver
# waits for (without it, it goes on after 20 s).
driver_screenshots() {
  local shots=$1 line name x y w h
  while IFS= read -r line; do
    line=${line%$'\r'}
    case $line in
      "screenshot "*)
        read -r _ name x y w h <<<"$line"
        if import -window root -crop "${w}x${h}+${x}+${y}" +repage "$shots/$name.tmp.png"; then
          mv "$shots/$name.tmp.png" "$shots/$name.png"
        else
          echo "no screenshot $name"
        fi
        ;;
      *) echo "$line" ;;
    esac
  done
}
