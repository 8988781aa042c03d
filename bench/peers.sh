#!/bin/bash
# Times vexlore-find against the Debian anagram generators an and wordplay
# on the same phrases and the benchmarks' fixed word list (benchwords.sh), and writes the table to
# docs/performance.md. Medians of several runs, taken in one session, side
# by side; then the same for vexlore-find --fast, with longer phrases and
# word limits, in a section of its own. Usage: bench/peers.sh [RUNS] [LIMIT-SECONDS]
#   VEXLORE_FIND=path   another vexlore-find to time (default: the build's)
#   BASELINE_FIND=path  a second vexlore-find timed beside it (say, before a change)
#   BASELINE_NAME=text  what that second one is, for the table's heading
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../scripts/lib.sh
source "$top/scripts/lib.sh"
runs=${1:-5}
limit=${2:-60}
build=${VEXLORE_BUILD:-$top/build}
find=${VEXLORE_FIND:-$build/native/vexlore-find}
words=$build/benchwords
out=$top/docs/performance.md

if [ ! -x "$find" ]; then
  bash "$top/scripts/setup.sh"
  native_build "$top" "$build" vexlore-find
fi
sh "$top/bench/benchwords.sh" "$words"
peers_install

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

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
  read -r -a typed <<<"$phrase"  # typed as its words
  for f in "${finders[@]}"; do
    if [ "$mode" = single ]; then
      time_cmd x "${f#*:}" --stats -w "$words" "${typed[@]}"
    else
      time_cmd x "${f#*:}" --stats -m -w "$words" "${typed[@]}"
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

# --fast beside the search without it and the peers: one row per phrase,
# with whether its output is byte for byte the search's own, and whether it
# meets its goal: with a word limit faster than the faster peer; without,
# faster than both up to 12 letters, and beyond at least as many lines per
# second as the faster peer.
{
  echo "| phrase | search | vexlore-find | --fast | an | wordplay | lines: vexlore-find, an, wordplay | --fast lines/s | faster peer lines/s | same bytes | goal |"
  echo "|---|---|---|---|---|---|---|---|---|---|---|"
} > "$tmp/fast"
cat "$tmp/fast"
rate() { awk -v l="$1" -v s="$2" 'BEGIN { printf "%.0f", (s > 0 ? l / s : 0) }'; }
for job in "single:listen" "single:painters" "multi:listen" "multi:dirty room" "multi:astronomer" \
           "multi:eleven plus two" "multi:clint eastwood" "multi3:clint eastwood" \
           "multi:president obama" "multi3:president obama" "multi:tom marvolo riddle" \
           "multi3:tom marvolo riddle"; do
  mode=${job%%:*}; phrase=${job#*:}; squeezed=${phrase// /}
  read -r -a typed <<<"$phrase"  # typed as its words
  case $mode in
    single) opts=(); anopts=(-l 1); wpopts=(-d1) ;;
    multi) opts=(-m); anopts=(); wpopts=() ;;
    multi3) opts=(-m --max-words 3); anopts=(-l 3); wpopts=(-d3) ;;
  esac
  time_cmd x "$find" "${opts[@]}" -w "$words" "${typed[@]}"
  d_secs=$secs; d_cut=${timedout:+" (stopped)"}; cp "$tmp/out" "$tmp/default.out"
  time_cmd x "$find" --fast "${opts[@]}" -w "$words" "${typed[@]}"
  f_secs=$secs; f_lines=$lines; f_cut=${timedout:+" (stopped)"}
  if [ -n "$d_cut" ]; then same="default stopped"
  elif cmp -s "$tmp/out" "$tmp/default.out"; then same=yes
  else same=NO; fi
  time_cmd an /usr/games/an "${anopts[@]}" -d "$words" "$phrase"; a_secs=$secs; a_lines=$lines
  time_cmd wp /usr/games/wordplay "$squeezed" -s -i -a -v "${wpopts[@]}" -f "$words"; w_secs=$secs; w_lines=$lines
  f_rate=$(rate "$f_lines" "$f_secs")
  peer_rate=$(awk -v a="$(rate "$a_lines" "$a_secs")" -v w="$(rate "$w_lines" "$w_secs")" 'BEGIN { print (a > w ? a : w) }')
  fastest=$(awk -v a="$a_secs" -v w="$w_secs" 'BEGIN { print (a < w ? a : w) }')
  if [ "$mode" = multi3 ] || [ ${#squeezed} -le 12 ]; then
    met=$(awk -v f="$f_secs" -v b="$fastest" 'BEGIN { print (f < b ? "met" : "not met") }')
  else
    met=$(awk -v f="$f_rate" -v p="$peer_rate" 'BEGIN { print (f >= p ? "met" : "not met") }')
  fi
  printf '| %s | %s | %.3f%s | %.3f%s | %.3f | %.3f | %s, %s, %s | %s | %s | %s | %s |\n' \
    "$phrase" "${mode/multi3/multi, at most 3 words}" "$d_secs" "$d_cut" "$f_secs" "$f_cut" \
    "$a_secs" "$w_secs" "$f_lines" "$a_lines" "$w_lines" "$f_rate" "$peer_rate" "$same" "$met" \
    | tee -a "$tmp/fast"
done
{
  echo
  echo "## vexlore-find --fast"
  echo
  echo "The same run: median wall times in seconds of $runs runs, or of one run stopped at"
  echo "the limit of $limit s. \"at most 3 words\" is \`--max-words 3\` beside \`an -l 3\` and"
  echo "\`wordplay -d3\`. \"same bytes\" compares the output of \`--fast\` with that of the"
  echo "search without it, where that search finished. The goal: with a word limit, faster"
  echo "than the faster peer; without, faster than both up to 12 letters, and on longer"
  echo "phrases at least as many lines per second as the faster peer."
  echo
  cat "$tmp/fast"
} >> "$out"
echo "written to ${out#"$top"/}"
