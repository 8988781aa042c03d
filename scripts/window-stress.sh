#!/bin/bash
# Stress on the window: tests/scenarios.py's seeded stress run played on
# vexlore.exe through the test driver's serve mode, under Wine on a virtual
# display of its own: searches over the build's word list, each run to its
# end, stopped, closed or restarted at a random moment. The same seed gives
# the same clicks on every window (their moments vary with the machine).
# usage: scripts/window-stress.sh [SEED [ACTIONS]]   (default: 1 60)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXLORE_BUILD:-$top/build}
source "$top/scripts/window-env.sh"

seed=${1:-1}
actions=${2:-60}

window_tree "$build" window-stress
xvfb_start
export VEXLORE_LOADER=$loader
python3 "$top/tests/scenarios.py" win32 "$tree" "$build/window-stress" "$seed" "$actions"
