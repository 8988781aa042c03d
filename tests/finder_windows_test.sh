#!/bin/sh
# vexlore-find.exe under Wine: its word file found in a folder named outside
# the ANSI code page, devices refused as word files, its result lines beyond
# the memory budget, a reader that closes the pipe early, and the model file
# the build made read as on Linux.
# usage: finder_windows_test.sh WINE PATH-TO-vexlore-find.exe MODEL
wine="$1"
find="$2"
model="$3"
# shellcheck source=../scripts/check.sh
. "$(dirname "$0")/../scripts/check.sh"
# Wine names the Unix side of a file in the locale's character set
export LC_ALL=C.UTF-8 WINEDEBUG=-all
lines() { tr -d '\r' | tr '\n' '|'; }

want="dirty moor |dirty room |dormitory |"
for dir in "Игры 日本語" "emoji 😀"; do
    rm -rf "$dir"; mkdir "$dir"; cp "$find" "$dir/vexlore-find.exe"
    printf 'dirty\ndormitory\nmoor\nroom\n' > "$dir/words"
    out=$("$wine" "$dir/vexlore-find.exe" -m dirty room 2>&1 | lines)
    check "the words beside the program, in '$dir'" "$want" "$out"
    out=$("$wine" "$find" -m -w "$dir/words" dirty room 2>&1 | lines)
    check "-w FILE in '$dir'" "$want" "$out"
    out=$("$wine" "$find" -mw"$dir\\words" dirty room 2>&1 | lines)
    check "-mwFILE in '$dir'" "$want" "$out"
    rm -rf "$dir"
done

for dev in NUL CON; do
    out=$("$wine" "$find" -w $dev listen 2>&1 </dev/null | lines)
    check "-w $dev refused" "vexlore-find: cannot open word file '$dev': not a regular file|" "$out"
done

# 518,400 lines in 1M of memory: some thirty runs in Windows' temporary
# folder, every one gone at the end
awk 'function p(pre, rest,   i) { if (rest == "") { print pre; return }
     for (i = 1; i <= length(rest); i++) p(pre substr(rest, i, 1), substr(rest, 1, i - 1) substr(rest, i + 1)) }
     BEGIN { p("", "abcdef") }' > perm.words
temp=$("$wine" winepath -u "$("$wine" cmd /c echo %TMP% | tr -d '\r')" 2>/dev/null)
before=$(ls "$temp" | grep -ci '^vxf')
want=$("$wine" "$find" -m -w perm.words abcdef abcdef | cksum)
out=$("$wine" "$find" --stats --memory 1M -m -w perm.words abcdef abcdef 2>spill.err | cksum)
check "--memory 1M: every line, in order" "$want" "$out"
grep -q "518400 lines went through [0-9]* sorted runs" spill.err; check "--memory 1M: spilled" 0 $?
check "--memory 1M: temporary files removed from $temp" "$before" "$(ls "$temp" | grep -ci '^vxf')"
# the reader takes one byte and goes: the finder ends quietly, as on Linux
{ "$wine" "$find" -m -w perm.words abcdef abcdef 2>pipe.err; echo $? > pipe.code; } | head -c 1 >/dev/null
check "a reader that closed the pipe: quiet, 141" "141 ''" "$(cat pipe.code) '$(cat pipe.err)'"
rm -f perm.words spill.err pipe.err pipe.code

# the same model and relatedness files as the Linux finder reads (the
# second beside the first), the same best line
if [ -f "$model" ]; then
    cp "$model" english.model
    want="dirty room |"
    related=$(dirname "$model")/english.related
    if [ -f "$related" ]; then
        cp "$related" english.related
    else
        want="vexlore-find: no relatedness file 'english.related'; ranking by fluency alone|$want"
    fi
    printf 'dirty\ndormitory\nmoor\nroom\n' > best.words
    out=$("$wine" "$find" --best=1 --model english.model -w best.words dormitory 2>&1 | lines)
    check "--best reads the model file" "$want" "$out"
    rm -f english.model english.related best.words
else
    echo "skip --best: no $model"
fi

echo "$failed failed"
[ $failed -eq 0 ]
