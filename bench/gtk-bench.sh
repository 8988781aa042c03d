#!/bin/bash
# The Linux window's figures beside vexlore-find's, in one run on a virtual
# display: start-up to a drawn window, Best first beside vexlore-find --best
# and Stop during a ranking, multi-word 'astronomer' over the
# benchmarks' fixed word list (benchwords.sh) in the window and in
# vexlore-find, the lines a second of a search that lists a million lines,
# the memory of a list of ten million, the list filled to its bound, Stop
# and scrolling in it. A figure for the record, not a
# test. usage: bench/gtk-bench.sh [RUNS]   (default 3); VEXLORE_BENCH_PART=best
# stops after Best first.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXLORE_BUILD:-$top/build}
# shellcheck source=gtk-env.sh
source "$top/scripts/gtk-env.sh"
runs=${1:-3}

tree=$build/native
bench=$build/gtk-bench
mkdir -p "$bench"
cp "$tree/vexlore" "$tree/vexlore-find" "$bench/"
sh "$top/bench/benchwords.sh" "$bench/words"
# every string of one or two of the letters a to j: 110 'words' whose
# multi-word searches list millions of lines; of a to z, 702 'words' that
# fill the list to its bound
python3 -c "
import itertools
print('\n'.join(''.join(p) for n in (1, 2) for p in itertools.product('abcdefghij', repeat=n)))" \
  >"$bench/short"
python3 -c "
import itertools, string
print('\n'.join(''.join(p) for n in (1, 2) for p in itertools.product(string.ascii_lowercase, repeat=n)))" \
  >"$bench/short702"
mkdir -p "$bench/shipped" "$bench/big"
cp "$tree/words" "$bench/shipped/words"
if [ -f "$tree/english.model" ]; then
  cp "$tree/english.model" "$bench/shipped/english.model"
fi
cp "$bench/short" "$bench/big/words"
gtk_session /usr/bin/python3 "$top/bench/gtkbench.py" "$bench" "$runs" "$bench/short" "$bench/short702" 2>&1 |
  grep -v -e '^dbus-daemon' -e '^SpiRegistry'
