#!/bin/bash
# Times vexlore-find's filters and its --fast search that prints its lines
# as it finds them: medians of RUNS runs taken side by side in one session,
# written as the last section of docs/performance.md.
#   1. --fast -m on long phrases over the default list, beside the finder
#      before (BASELINE_FIND): time, peak memory, temporary files, and
#      whether the bytes are the same;
#   2. each filter beside --fast alone on the same text;
#   3. --candidates beside a search that only reads the file;
#   4. --contains beside an -c and wordplay -w on the benchmarks' list.
# usage: bench/filters.sh [RUNS]
#   BASELINE_FIND=path  the finder to compare with (say, a build from before)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../scripts/lib.sh
source "$top/scripts/lib.sh"
runs=${1:-3}
build=${VEXLORE_BUILD:-$top/build}
find=${VEXLORE_FIND:-$build/native/vexlore-find}
base=${BASELINE_FIND:-}
words=$build/native/words
bench=$build/benchwords
out=$top/docs/performance.md
if [ ! -x "$find" ] || [ ! -f "$words" ]; then
  bash "$top/scripts/setup.sh"
  native_build "$top" "$build" vexlore-find wordlist
fi
sh "$top/bench/benchwords.sh" "$bench"
peers_install
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# timed CMD...: runs CMD $runs times, its output to /dev/null; sets secs
# (median wall time), cpu (median user and system time: on a shared
# machine the steadier figure) and kb (median peak resident memory)
timed() {
  : > "$tmp/times"; : > "$tmp/cpu"; : > "$tmp/kb"
  for ((r = 0; r < runs; r++)); do
    local t0 t1
    t0=$(date +%s.%N)
    /usr/bin/time -f '%e %M %U %S' -o "$tmp/one" "$@" > /dev/null 2>"$tmp/err" || true
    t1=$(date +%s.%N)
    echo "$t1 - $t0" | bc -l >> "$tmp/times"   # time(1)'s own is in hundredths
    awk '{ print $3 + $4 }' "$tmp/one" >> "$tmp/cpu"
    awk '{ print $2 }' "$tmp/one" >> "$tmp/kb"
  done
  secs=$(median < "$tmp/times")
  cpu=$(median < "$tmp/cpu")
  kb=$(median < "$tmp/kb")
}
# stated CMD...: the median of the search's own time as --stats says it
# (the read of the list included, the start of the process not), of at
# least nine runs: a few milliseconds are easily lost to other processes
stated() {
  for ((r = 0; r < (runs > 9 ? runs : 9); r++)); do
    { "$@" --stats 2>&1 >/dev/null || true; } | grep -o 'in [0-9.]* s' | awk '{ print $2 }'
  done | median
}
mb() { awk -v k="$1" 'BEGIN { printf "%.1f MB", k / 1024 }'; }

section=$tmp/section
{
  echo "## vexlore-find's filters and the streaming --fast"
  echo
  echo "Measured by \`bench/filters.sh $runs\` on $(date -u +%Y-%m-%d), $(nproc) cores, medians of $runs"
  echo "runs side by side: wall time with the output to /dev/null, (in brackets) user and system"
  echo "time, and peak resident memory."
  echo "The machine was shared with other builds: the load average was $(cut -d' ' -f1 /proc/loadavg) at the start."
  echo
} > "$section"

if [ -n "$base" ]; then
  {
    echo "### --fast -m on the default list ($(wc -l < "$words") words), before and now"
    echo
    echo "| phrase | lines | before (CPU) | before: memory, temporary runs | now (CPU) | now: memory | same bytes |"
    echo "|---|---|---|---|---|---|---|"
  } >> "$section"
  for phrase in "william shakespeare" "president obama" "albert einstein" "clint eastwood" "tom marvolo riddle"; do
    read -r -a typed <<<"$phrase"
    "$base" --fast --stats -m -w "$words" "${typed[@]}" > "$tmp/before" 2> "$tmp/before.err" || true
    runs_before=$(grep -o 'through [0-9]* sorted runs' "$tmp/before.err" | awk '{ print $2 }' || true)
    "$find" --fast -m -w "$words" "${typed[@]}" > "$tmp/now" || true
    same=$(cmp -s "$tmp/before" "$tmp/now" && echo yes || echo NO)
    lines=$(wc -l < "$tmp/now")
    timed "$base" --fast -m -w "$words" "${typed[@]}"; b_secs=$secs b_cpu=$cpu b_kb=$kb
    timed "$find" --fast -m -w "$words" "${typed[@]}"
    printf '| %s | %s | %.2f s (%.2f) | %s, %s | %.2f s (%.2f) | %s | %s |\n' "$phrase" "$lines" "$b_secs" \
      "$b_cpu" "$(mb "$b_kb")" "${runs_before:-0}" "$secs" "$cpu" "$(mb "$kb")" "$same" | tee -a "$section"
  done
  echo >> "$section"
fi

# each filter beside --fast alone on the same text
{
  echo "### Each filter beside --fast alone, 'william shakespeare', default list"
  echo
  echo "| options | lines | time (CPU) | memory |"
  echo "|---|---|---|---|"
} >> "$section"
for opts in "-m" "-m --contains speaker" "-m --exclude a --exclude i" "-m --lengths 4,7,7" \
            "-m --limit 1000" "-m --max-words 3" "-m --max-words 3 --exclude a --exclude i" \
            "--candidates" "--candidates --limit 10"; do
  read -r -a o <<<"$opts"
  lines=$("$find" --fast "${o[@]}" -w "$words" william shakespeare 2>/dev/null | wc -l)
  timed "$find" --fast "${o[@]}" -w "$words" william shakespeare
  printf '| --fast %s | %s | %.3f s (%.3f) | %s |\n' "${o[*]}" "$lines" "$secs" "$cpu" "$(mb "$kb")" \
    | tee -a "$section"
done
echo >> "$section"

# --candidates beside a search that reads the file and keeps nothing
text="astronomer plays"
timed "$find" --fast -w "$words" qqqqqqqqqqqqqqq; read_secs=$secs read_cpu=$cpu
timed "$find" --candidates -w "$words" $text; cand_secs=$secs cand_cpu=$cpu
read_own=$(stated "$find" --fast -w "$words" qqqqqqqqqqqqqqq)
cand_own=$(stated "$find" --candidates -w "$words" $text)
{
  echo "### --candidates for a 15-letter text ('$text')"
  echo
  printf -- '%s lines in %.3f s (CPU %.3f s); a search that reads the same file and keeps no word: %.3f s (CPU %.3f s); the difference: %.0f ms (CPU %.0f ms).\n' \
    "$("$find" --candidates -w "$words" $text | wc -l)" "$cand_secs" "$cand_cpu" "$read_secs" "$read_cpu" \
    "$(awk -v a="$cand_secs" -v b="$read_secs" 'BEGIN { print (a - b) * 1000 }')" \
    "$(awk -v a="$cand_cpu" -v b="$read_cpu" 'BEGIN { print (a - b) * 1000 }')"
  printf -- 'As --stats times them in the process (the read of the list included): %.1f ms and %.1f ms.\n' \
    "$(awk -v a="$cand_own" 'BEGIN { print a * 1000 }')" "$(awk -v a="$read_own" 'BEGIN { print a * 1000 }')"
  echo
  echo "### --contains beside an -c and wordplay -w, benchmarks' list ($(wc -l < "$bench") words)"
  echo
  echo "The peers list each set of words once; vexlore-find once per order in which the rarest letter can lead."
  echo
  echo "| phrase | word | vexlore-find --fast -m --contains (CPU) | an -c (CPU) | wordplay -w (CPU) | lines: vexlore-find, an, wordplay |"
  echo "|---|---|---|---|---|---|"
} >> "$section"
for job in "dirty room:dirty" "clint eastwood:old" "president obama:permit" "albert einstein:brain" \
           "william shakespeare:speaker"; do
  phrase=${job%%:*} word=${job#*:}
  read -r -a typed <<<"$phrase"
  timed "$find" --fast -m --contains "$word" -w "$bench" "${typed[@]}"; v=$secs vc=$cpu
  vl=$("$find" --fast -m --contains "$word" -w "$bench" "${typed[@]}" | wc -l)
  timed /usr/games/an -c "$word" -d "$bench" "$phrase"; a=$secs ac=$cpu
  al=$(/usr/games/an -c "$word" -d "$bench" "$phrase" | wc -l)
  timed /usr/games/wordplay "${phrase// /}" -s -i -a -v -f "$bench" -w "$word"; w=$secs wc=$cpu
  wl=$(/usr/games/wordplay "${phrase// /}" -s -i -a -v -f "$bench" -w "$word" | wc -l)
  printf '| %s | %s | %.3f s (%.3f) | %.3f s (%.3f) | %.3f s (%.3f) | %s, %s, %s |\n' "$phrase" "$word" \
    "$v" "$vc" "$a" "$ac" "$w" "$wc" "$vl" "$al" "$wl" \
    | tee -a "$section"
done

# the section replaces the one a former run wrote, at the end of the file
if [ -f "$out" ]; then
  awk '/^## vexlore-find.s filters and the streaming --fast$/ { exit } { print }' "$out" > "$tmp/kept"
else
  : > "$tmp/kept"
fi
cat "$tmp/kept" "$section" > "$out"
echo "written to ${out#"$top"/}"
