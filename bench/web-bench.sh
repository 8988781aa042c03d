#!/bin/bash
# The page's figures beside the native finder's, in one run: multi-word
# 'tom marvolo riddle' and 'internationalists' on the shipped list and
# 'astronomer' on the benchmark list beside vexlore-find --fast, first
# paint, Best first beside vexlore-find --best=100 (the model loaded, and
# on a first visit), Stop during a ranking, a million lines listed, and
# the list's memory (bench/webbench.py); the page after
# 'internationalists' goes to BUILD/screenshots/web/internationalists.png.
# usage: bench/web-bench.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXLORE_BUILD:-$top/build}
bash "$top/scripts/web-build.sh" "$build/web"
# shellcheck source=../scripts/lib.sh
source "$top/scripts/lib.sh"
[ -x "$build/native/vexlore-find" ] || native_build "$top" "$build" vexlore-find
sh "$top/bench/benchwords.sh" "$build/benchwords.txt"
/usr/bin/python3 "$top/bench/webbench.py" "$build/web/site" "$build/native/vexlore-find" \
  "$build/benchwords.txt"
