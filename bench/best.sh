#!/bin/sh
# vexlore-find --best on the texts its goals name: the median of three runs
# of each (wall clock and CPU time), its peak memory, and whether the list
# was proved the best; the figures of docs/performance.md.
# usage: bench/best.sh [FINDER]  (default build/vexlore-find)
find=${1:-build/vexlore-find}
echo "| text | goal | wall (median of 3) | CPU (median of 3) | peak resident | list |"
echo "|---|---|---|---|---|---|"
median() { sort -n | sed -n 2p; }
measure() {   # measure GOAL TEXT...
    goal=$1
    shift
    for i in 1 2 3; do
        /usr/bin/time -f '%e %U %S %M' "$find" --best --stats "$@" >/dev/null 2>best.err
        tail -1 best.err
    done >best.runs
    wall=$(cut -d' ' -f1 best.runs | median)
    cpu=$(awk '{ print $2 + $3 }' best.runs | median)
    kb=$(cut -d' ' -f4 best.runs | sort -n | tail -1)
    list=$(grep -q 'the list is exact' best.err && echo exact || echo bounded)
    list="$list, $(grep -o '[0-9]* word sets kept' best.err | cut -d' ' -f1) sets"
    echo "| $* | $goal | $wall s | $cpu s | $((kb / 1024)) MiB | $list |"
}
measure "0.3 s" clint eastwood
measure "1 s" william shakespeare
measure "2 s" a domesticated animal
measure "-" the quick brown fox jumps over the lazy dog
rm -f best.err best.runs
