#!/bin/bash
# Times vexlore-find against the Debian anagram generators an and wordplay
# on the same phrases and the benchmarks' fixed word list (benchwords.sh), and writes the table to
# docs/performance.md. Medians of several runs, taken in one session, side
# by side. Usage: bench/peers.sh [RUNS] [LIMIT-SECONDS]
#   VEXLORE_FIND=path   another vexlore-find to time (default: the build's)
#   BASELINE_FIND=path  a second vexlore-find timed beside it (say, before a change)
#   BASELINE_NAME=text  what that second one is, for the table's heading
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
limit=${2:-60}
build=${VEXLORE_BUILD:-$top/build}
find=${VEXLORE_FIND:-$build/native/vexlore-find}
words=$build/benchwords
out=$top/docs/performance.md

if [ ! -x "$find" ]; then
  bash "$top/scripts/setup.sh"
  cmake -S "$top" -B "$build/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build/native" -j "$(nproc)" --target vexlore-find >/dev/null
fi
sh "$top/bench/benchwords.sh" "$words"
for p in an wordplay; do
  [ -x /usr/games/$p ] || { [ "$(id -u)" -eq 0 ] && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $p >/dev/null; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

median() { sort -g | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

# time_cmd NAME CMD...: runs CMD $runs times under the time limit; sets
# secs (median wall time), lines, timedout and, for vexlore-find, wps.
time_cmd() {
  local name=$1; shift
  : > "$tmp/times"; : > "$tmp/rates"
  timedout=""
  for ((r = 0; r < runs; r++)); do
    local t0 t1 code=0
    t0=$(date +%s.%N)
    timeout -s INT "$limit" "$@" > "$tmp/out" 2> "$tmp/err" || code=$?
    t1=$(date +%s.%N)
    echo "$t1 - $t0" | bc -l >> "$tmp/times"
    [ $code -eq 124 ] || [ $code -eq 130 ] && timedout="yes"
    grep -o 'examined [0-9]* words' "$tmp/err" | awk '{print $2}' > "$tmp/examined" || true
    grep -o '[0-9.]* million words/s' "$tmp/err" | awk '{print $1}' >> "$tmp/rates" || true
    # a run cut off at the limit says as much; the rest of the runs would too
    [ -n "$timedout" ] && break
  done
  secs=$(median < "$tmp/times")
  lines=$(grep -c . "$tmp/out" || true)
  examined=$(cat "$tmp/examined" 2>/dev/null || true)
  wps=$( [ -s "$tmp/rates" ] && median < "$tmp/rates" || echo "")
}

row() {   # row PHRASE MODE TOOL
  local t=${timedout:+" (stopped at ${limit} s)"}
  printf '| %s | %s | %s | %.3f%s | %s | %s | %s |\n' "$1" "$2" "$3" "$secs" "$t" "$lines" \
    "${examined:-}" "${wps:+$wps M/s}" | tee -a "$tmp/table"
}

{
  echo "| phrase | search | program | median wall time (s) | lines | words examined | examined/s |"
  echo "|---|---|---|---|---|---|---|"
} > "$tmp/table"
cat "$tmp/table"

finders=("vexlore-find:$find")
[ -n "${BASELINE_FIND:-}" ] && finders+=("vexlore-find (baseline):$BASELINE_FIND")

for job in "single:listen" "single:painters" "multi:listen" "multi:dirty room" "multi:astronomer" "multi:eleven plus two"; do
  mode=${job%%:*}; phrase=${job#*:}; squeezed=${phrase// /}
  for f in "${finders[@]}"; do
    if [ "$mode" = single ]; then
      time_cmd x "${f#*:}" --stats -w "$words" $phrase
    else
      time_cmd x "${f#*:}" --stats -m -w "$words" $phrase
    fi
    row "$phrase" "$mode" "${f%%:*}"
  done
  examined=""; wps=""
  if [ "$mode" = single ]; then
    time_cmd an /usr/games/an -l 1 -d "$words" "$phrase"; row "$phrase" "$mode" an
    time_cmd wp /usr/games/wordplay "$squeezed" -s -i -a -v -d1 -f "$words"; row "$phrase" "$mode" wordplay
  else
    time_cmd an /usr/games/an -d "$words" "$phrase"; row "$phrase" "$mode" an
    time_cmd wp /usr/games/wordplay "$squeezed" -s -i -a -v -f "$words"; row "$phrase" "$mode" wordplay
  fi
done

{
  echo "# Performance"
  echo
  echo "Measured by \`bench/peers.sh $runs $limit\` on $(date -u +%Y-%m-%d), $(nproc) cores,"
  echo "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), on the benchmark list of \`bench/benchwords.sh\`"
  echo "($(wc -l < "$words") words). Median wall time of $runs runs (one run where a run reached the"
  echo "limit of $limit s; such a run was stopped and its lines counted up to then)."
  [ -n "${BASELINE_FIND:-}" ] && echo "The rows marked (baseline) time ${BASELINE_NAME:-$BASELINE_FIND}, in the same run."
  echo
  cat "$tmp/table"
} > "$out"
echo "written to ${out#$top/}"
