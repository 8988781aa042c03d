#!/bin/bash
# Stress on the window: the test driver clicks Start, Stop, the close box
# and Close at random moments during searches over the build's word list,
# under Wine on a virtual display of its own, and checks that the window
# never hangs or dies, that the list stays sorted, and that searches that
# ran to their end show every line vexlore-find prints. Seeded and bounded:
# the same seed gives the same clicks (their moments vary with the machine).
# usage: scripts/window-stress.sh [SEED [ACTIONS [SECONDS]]]   (default: 1 60 150)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXLORE_BUILD:-$top/build}
source "$top/scripts/window-env.sh"

seed=${1:-1}
actions=${2:-60}
limit=${3:-150}

window_tree "$build" window-stress
xvfb_start
"$loader" "$tree/vexlore-driver.exe" stress "$tree" "$seed" "$actions" "$limit" 2>&1 | tr -d '\r'
