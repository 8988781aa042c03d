#!/bin/bash
# The window's black-box test, under Wine on a virtual display of its own,
# against vexlore.exe of the Windows tree this machine runs: the test
# driver's checks of what Windows adds (layout, the window drawn, folders
# of any length and script, the program's header), with screenshots of
# the window (idle, searching, results, list full) in build/screenshots/;
# then the dialog's rules, tests/scenarios.py played through the driver's
# serve mode. A line per check and a closing count from each; exits
# non-zero when a check fails.
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
# tests/driver/winwindow.py starts the driver through it
export VEXLORE_LOADER=$loader

status=0
"$loader" "$tree/vexlore-driver.exe" check "$tree" "$work" "$shots" 2>&1 |
  driver_screenshots "$shots" || status=$?
echo "screenshots: $(cd "$shots" && echo *.png) in $shots"
python3 "$top/tests/scenarios.py" win32 "$tree" "$work" || status=$?
exit "$status"
