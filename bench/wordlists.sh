#!/bin/bash
# The same multi-word searches over the old default word list (wamerican,
# filtered to lower-case a-z with the single letters a and i) and the list
# the build makes now (tools/makewords.sh, SCOWL up to size 50), timed side
# by side in one run: lines found, median wall time, words examined, and
# ten lines of each result, evenly spread, to read. Prints Markdown.
# usage: bench/wordlists.sh [RUNS [SIZE...]]   (default: 3; each SIZE adds
#        the SCOWL list of that size, made by tools/makewords.sh)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../scripts/lib.sh
source "$top/scripts/lib.sh"
build=${VEXLORE_BUILD:-$top/build}
find=${VEXLORE_FIND:-$build/native/vexlore-find}
runs=${1:-3}
shift || true
phrases=("dirty room" astronomer "eleven plus two")

[ -x "$find" ] || { echo "wordlists.sh: no $find (build the native tree first)" >&2; exit 2; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# the old list, made as the build made it before it took SCOWL's lists
LC_ALL=C grep -E '^[a-z]+$' /usr/share/dict/american-english | LC_ALL=C grep -v -E '^[b-hj-z]$' |
  LC_ALL=C sort -u > "$tmp/old"
sh "$top/tools/makewords.sh" "$tmp/new"
names=(old new); label=("old (wamerican)" "new (SCOWL 50)")
for s in "$@"; do
  sh "$top/tools/makewords.sh" "$tmp/s$s" "$s"
  names+=("s$s"); label+=("SCOWL $s")
done

# runs in turn, list by list, so that each list meets the same load
for ((r = 0; r < runs; r++)); do
  for p in "${!phrases[@]}"; do
    for n in "${names[@]}"; do
      t0=$(date +%s.%N)
      "$find" --stats -m -w "$tmp/$n" "${phrases[$p]}" > "$tmp/$n.$p.out" 2> "$tmp/$n.$p.err" || true
      t1=$(date +%s.%N)
      awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }' >> "$tmp/$n.$p.times"
    done
  done
done

echo "Measured by \`bench/wordlists.sh $runs${*:+ $*}\` on $(date -u +%Y-%m-%d), $(nproc) cores,"
echo "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); median wall time of $runs runs of"
echo "\`vexlore-find -m\`, the lists taking turns."
echo
echo "| phrase | word list | words | lines | median wall time (s) | words examined |"
echo "|---|---|---|---|---|---|"
for p in "${!phrases[@]}"; do
  for i in "${!names[@]}"; do
    n=${names[$i]}
    printf '| %s | %s | %s | %s | %.3f | %s |\n' "${phrases[$p]}" "${label[$i]}" \
      "$(wc -l < "$tmp/$n")" "$(grep -c . "$tmp/$n.$p.out")" "$(median < "$tmp/$n.$p.times")" \
      "$(grep -o 'examined [0-9]* words' "$tmp/$n.$p.err" | awk '{print $2}')"
  done
done
for p in "${!phrases[@]}"; do
  for i in 0 1; do
    n=${names[$i]}
    echo
    echo "'${phrases[$p]}', ${label[$i]}, ten of $(grep -c . "$tmp/$n.$p.out") lines:"
    echo
    awk -v n="$(grep -c . "$tmp/$n.$p.out")" '
      { p = 0; while (k < 10 && NR == int(k * n / 10) + 1) { p = 1; k++ } }
      p { sub(/ $/, ""); printf "%s%s", (k > 1 ? " · " : "    "), $0 } END { print "" }' "$tmp/$n.$p.out"
  done
done
