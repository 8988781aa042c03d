#!/bin/bash
# The word scan version by version: multi-word searches over the fixed
# word list (benchwords.sh), timed by vexlore-find --stats around the
# search alone, with each version the processor runs forced through
# VEXLORE_SCAN, then vexlore-find.exe of the Windows tree under Wine (the
# 32-bit build where the kernel runs 32-bit code, else the 64-bit one),
# forced to SSE2 and left to choose. The runs take turns, so a busy
# machine slows them all alike. Prints the medians as a table in seconds
# and in nanoseconds per examined word.
# usage: bench/scan.sh [RUNS [TEXT...]]   (default: 3 astronomer 'eleven plus two')
#   BASELINE_FIND=path  another vexlore-find timed beside them (say, before a change)
#   BASELINE_NAME=text  its column's heading (default: baseline)
#   BASELINE2_FIND, BASELINE2_NAME  a second one
#   WINE=0              leave out the Windows program
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../scripts/lib.sh
source "$top/scripts/lib.sh"
build=${VEXLORE_BUILD:-$top/build}
runs=${1:-3}
shift || true
[ $# -gt 0 ] || set -- astronomer "eleven plus two"

find=$build/native/vexlore-find
if [ ! -x "$find" ]; then
  bash "$top/scripts/setup.sh"
  native_build "$top" "$build" vexlore-find
fi
words=$build/benchwords
sh "$top/bench/benchwords.sh" "$words"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# the columns: NAME|SCAN|PROGRAM (SCAN empty: the program's own choice)
columns=()
[ -n "${BASELINE_FIND:-}" ] && columns+=("${BASELINE_NAME:-baseline}||$BASELINE_FIND")
[ -n "${BASELINE2_FIND:-}" ] && columns+=("${BASELINE2_NAME:-baseline 2}||$BASELINE2_FIND")
for scan in avx512 avx2 ssse3 sse2; do
  if VEXLORE_SCAN=$scan "$find" --stats -w "$words" a 2>&1 >/dev/null | grep -q "scan: $scan)"; then
    columns+=("$scan|$scan|$find")
  fi
done
if [ "${WINE:-1}" != 0 ]; then
  source "$top/scripts/window-env.sh"
  windows_build "$build" scan.sh vexlore-find
  wine_prefix "$build/wineprefix-$(basename "$tree")"
  exe="$tree/vexlore-find.exe"
  cp "$words" "$tmp/words"
  columns+=("$(basename "$tree") sse2, Wine|sse2|wine:$exe" "$(basename "$tree"), Wine||wine:$exe")
fi

# run SCAN PROGRAM TEXT: the search's seconds and words examined, from --stats
run() {
  local prog=$2 err=$tmp/err
  if [[ $prog == wine:* ]]; then
    VEXLORE_SCAN=$1 "$loader" "${prog#wine:}" --stats -m -w "Z:${tmp//\//\\}\\words" "$3" \
      >"$tmp/out" 2>"$err" </dev/null || true
  else
    VEXLORE_SCAN=$1 "$prog" --stats -m -w "$words" "$3" >"$tmp/out" 2>"$err" || true
  fi
  tr -d '\r' <"$err" | sed -n 's/.*examined \([0-9]*\) words in \([0-9.]*\) s.*/\2 \1/p' | tail -n 1
}

echo "$(wc -l <"$words") words; medians of $runs runs; $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
head="| search | words examined |"
rule="|---|---|"
for c in "${columns[@]}"; do head+=" ${c%%|*} |"; rule+="---|"; done
echo "$head"
echo "$rule"
for text in "$@"; do
  for ((r = 0; r < runs; r++)); do
    for i in "${!columns[@]}"; do
      IFS='|' read -r _ scan prog <<<"${columns[$i]}"
      run "$scan" "$prog" "$text" >>"$tmp/t$i"
    done
  done
  examined=$(awk 'NR == 1 {print $2}' "$tmp/t0")
  line="| $text | $(echo "$examined" | sed ':a;s/\B[0-9]\{3\}\>/,&/;ta') |"
  for i in "${!columns[@]}"; do
    if [ ! -s "$tmp/t$i" ]; then
      line+=" failed |"
    else
      s=$(awk '{print $1}' "$tmp/t$i" | median)
      line+=" $(awk -v s="$s" -v n="$examined" 'BEGIN {printf "%.3f s, %.2f ns", s, s * 1e9 / n}') |"
      # every version must examine the same words
      awk -v n="$examined" '$2 != n {exit 1}' "$tmp/t$i" || line+=" (count differs!)"
    fi
    rm -f "$tmp/t$i"
  done
  echo "$line"
done
