#!/bin/bash
# The window's black-box test: runs the test driver once, under Wine on a
# virtual display of its own, against vexlore.exe of the Windows tree this
# machine runs. The driver prints a line per check and a closing count;
# screenshots of the window (idle, searching, results) go to
# build/screenshots/. Exits non-zero when a check fails.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXLORE_BUILD:-$top/build}
source "$top/scripts/window-env.sh"

window_tree "$build" window-test
shots=$build/screenshots
work=$build/window-test
mkdir -p "$shots" "$work"
rm -f "$shots"/*.png
xvfb_start

# The driver asks for each screenshot with a line "screenshot NAME X Y W H"
# and waits for NAME.png; every other line is its report.
status=0
"$loader" "$tree/vexlore-driver.exe" check "$tree" "$work" "$shots" 2>&1 |
while IFS= read -r line; do
  line=${line%$'\r'}
  case $line in
    "screenshot "*)
      read -r _ name x y w h <<<"$line"
      # the driver waits for the file; without it, it goes on after 20 s
      if import -window root -crop "${w}x${h}+${x}+${y}" +repage "$shots/$name.tmp.png"; then
        mv "$shots/$name.tmp.png" "$shots/$name.png"
      else
        echo "window-test: no screenshot $name"
      fi
      ;;
    *) echo "$line" ;;
  esac
done || status=$?
echo "screenshots: $(cd "$shots" && echo *.png) in $shots"
exit "$status"
