#!/bin/sh
# vexlore-find as a script would use it: output bytes, exit codes, messages.
# usage: finder_test.sh PATH-TO-vexlore-find
find="$1"
fails=0
check() {   # check NAME EXPECTED ACTUAL
    if [ "$2" = "$3" ]; then echo "ok   $1"; else
        echo "FAIL $1"; echo "  expected: $2"; echo "  actual:   $3"; fails=$((fails + 1)); fi
}

printf 'dirty\ndormitory\nenlist\ninlets\nlisten\nmoor\nroom\nsilent\ntinsel\n' > nine.words

out=$("$find" -m -w nine.words dirty room | od -An -c | tr -s ' ')
want=$(printf 'dirty moor \ndirty room \ndormitory \n' | od -An -c | tr -s ' ')
check "multi-word lines, byte for byte" "$want" "$out"
"$find" --multi --words nine.words dirty room >/dev/null; check "exit when found" 0 $?

out=$("$find" -w nine.words Listen | tr '\n' '|'); check "single word" "enlist |inlets |listen |silent |tinsel |" "$out"
out=$("$find" -w nine.words xyz); code=$?
check "nothing found" "*No anagrams found*" "$out"; check "exit when none" 1 $code

err=$("$find" -w no-such.words listen 2>&1 >/dev/null); code=$?
check "missing file exit" 2 $code
case "$err" in *"no-such.words"*) check "message names the file" 1 1 ;; *) check "message names the file" "no-such.words" "$err" ;; esac

long=$(printf '%0200d' 0 | tr 0 e)
"$find" -w nine.words "$long" 2>/dev/null; check "200 letters refused" 2 $?
"$find" -w nine.words 2>/dev/null; check "no text" 2 $?
"$find" -x listen 2>/dev/null; check "unknown option" 2 $?
"$find" --help | grep -q usage; check "help" 0 $?

# the words file beside the program is the default
out=$("$find" silent | grep -c .); check "default words file" 5 "$out"

# Ctrl-C ends a long search and keeps what it found
"$find" -m eleven plus two > interrupted.out 2>/dev/null &
pid=$!
sleep 2
kill -INT $pid
wait $pid; code=$?
check "interrupted search exits as found" 0 $code
lines=$(grep -c . interrupted.out); [ "$lines" -gt 0 ]; check "interrupted search printed its lines" 0 $?
sort -c interrupted.out; check "interrupted lines sorted" 0 $?

echo "$fails failed"
[ $fails -eq 0 ]
