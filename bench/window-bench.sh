#!/bin/bash
# The window against vexlore-find: the same multi-word searches over the
# benchmarks' fixed word list (benchwords.sh), timed in the window (from
# the Start click to the end of the search, as bench/winbench.cpp sees it) and
# in vexlore-find.exe of the same tree under the same Wine. Prints a table with the ratio, which
# should be at most 1.3; then Stop and the close box during a search, the
# click to its end, whose median should be at most 50 ms. A figure for the
# record, not a test.
# usage: bench/window-bench.sh [RUNS [TEXT...]]   (default: 3 'dirty room' astronomer)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXLORE_BUILD:-$top/build}
source "$top/scripts/window-env.sh"

runs=${1:-3}
shift || true
[ $# -gt 0 ] || set -- "dirty room" astronomer

window_tree "$build" window-bench
# the programs of the tree beside the benchmarks' fixed word list
bench=$build/window-bench
mkdir -p "$bench"
ln -sf "$tree"/*.exe "$bench/"
sh "$top/bench/benchwords.sh" "$bench/words"
xvfb_start
echo "$(basename "$tree"), $(wc -l <"$bench/words") words, $("$loader" --version)"
"$loader" "$tree/vexlore-winbench.exe" "$bench" "$runs" "$@" 2>&1 | tr -d '\r'
