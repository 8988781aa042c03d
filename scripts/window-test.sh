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

status=0
"$loader" "$tree/vexlore-driver.exe" check "$tree" "$work" "$shots" 2>&1 |
  driver_report "$shots" || status=$?
echo "screenshots: $(cd "$shots" && echo *.png) in $shots"
exit "$status"
