#!/bin/sh
# Peak memory and time of vexlore-find on searches of many lines, through
# /usr/bin/time -v: the figures of docs/memory.md.
# usage: bench/memory.sh [FINDER [OPTION...]]  (default build/native/vexlore-find)
find=${1:-build/native/vexlore-find}
[ $# -gt 0 ] && shift
echo "| search | lines | runs on disk | peak resident | elapsed |"
echo "|---|---|---|---|---|"
measure() {   # measure ARG...: one line of the table
    /usr/bin/time -v "$find" --stats "$@" >/dev/null 2>memory.err
    lines=$(sed -n 's/.*found \([0-9]*\) lines.*/\1/p; s/^vexlore-find: \([0-9]*\) lines went.*/\1/p' memory.err | head -1)
    runs=$(sed -n 's/.* through \([0-9]*\) sorted runs.*/\1/p' memory.err)
    kb=$(sed -n 's/.*Maximum resident set size (kbytes): //p' memory.err)
    wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' memory.err)
    echo "| $* | ${lines:-?} | ${runs:-0} | $((kb / 1024)) MiB | $wall |"
}
measure "$@" --fast -m william shakespeare
measure "$@" --fast -m --max-words 6 william shakespeare st
rm -f memory.err
