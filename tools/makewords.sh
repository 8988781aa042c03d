#!/bin/sh
# Makes the words file from SCOWL's word lists, as Debian's scowl package
# sorts them by category and size: the english and american words lists of
# SIZE and the sizes below it, and no other category (abbreviations, proper
# names, upper, contractions, roman numerals, hacker terms). Of those only
# entries written all in lower case with a-z, of the words of one or two
# letters only those in shortwords.txt beside this script; no duplicates, in
# byte order.
# usage: makewords.sh OUT [SIZE]
#   SIZE: 10 20 35 40 50 55 60 70 80 95 (default 50; larger sizes add rarer words)
#   SCOWL_DIR=dir  where the lists are (default /usr/share/dict/scowl)
set -e
out=$1
size=${2:-50}
dir=${SCOWL_DIR:-/usr/share/dict/scowl}
short=$(dirname "$0")/shortwords.txt

if [ -z "$out" ] || [ $# -gt 2 ]; then
    echo "usage: makewords.sh OUT [SIZE]" >&2
    exit 2
fi
case $size in
    10|20|35|40|50|55|60|70|80|95) ;;
    *) echo "makewords.sh: no SCOWL size $size (10 20 35 40 50 55 60 70 80 95)" >&2; exit 2 ;;
esac

# the lists to read become the positional parameters
set --
for f in "$dir"/english-words.* "$dir"/american-words.*; do
    case ${f##*.} in ''|*[!0-9]*) continue ;; esac   # also an unmatched pattern
    [ "${f##*.}" -le "$size" ] || continue
    [ -r "$f" ] || { echo "makewords.sh: cannot read $f" >&2; exit 1; }
    set -- "$@" "$f"
done
if [ $# -eq 0 ]; then
    echo "makewords.sh: no english-words or american-words lists in $dir (apt-get install scowl)" >&2
    exit 1
fi

cat "$@" | LC_ALL=C grep -E '^[a-z]+$' |
    LC_ALL=C awk 'NR == FNR { if ($0 !~ /^#/) short[$0] = 1; next }
                  length($0) > 2 || ($0 in short)' "$short" - |
    LC_ALL=C sort -u > "$out.tmp"
mv "$out.tmp" "$out"
