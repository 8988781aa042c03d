#!/bin/sh
# Makes the fixed word list the benchmarks run on, whatever list the build
# ships: Debian's wamerican, only the entries written all in lower case
# with a-z, of the single letters only 'a' and 'i', no duplicates, in byte
# order (63,851 words from wamerican 2020.12.07). Figures taken on it stay
# comparable from one change to the next.
# usage: bench/benchwords.sh OUT [LIST]   (LIST: /usr/share/dict/american-english)
set -e
out=$1
list=${2:-/usr/share/dict/american-english}
[ -n "$out" ] || { echo "usage: bench/benchwords.sh OUT [LIST]" >&2; exit 2; }
LC_ALL=C grep -E '^[a-z]+$' "$list" | LC_ALL=C grep -v -E '^[b-hj-z]$' | LC_ALL=C sort -u > "$out.tmp"
mv "$out.tmp" "$out"
n=$(wc -l < "$out")
[ "$n" -eq 63851 ] || echo "benchwords: $out has $n words, not the 63851 the recorded figures were taken on" >&2
