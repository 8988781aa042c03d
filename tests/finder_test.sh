#!/bin/sh
# vexlore-find as a script would use it: output bytes, exit codes, messages.
# usage: finder_test.sh PATH-TO-vexlore-find
find="$1"
case $find in /*) ;; *) find=$PWD/$find ;; esac
# shellcheck source=../scripts/check.sh
. "$(dirname "$0")/../scripts/check.sh"
# said NAME PATTERN: the command that set code and err ended with status 2
# and a message that matches the pattern
said() {
    # shellcheck disable=SC2254 # a pattern
    case "$err" in $2) check "$1" "2 yes" "$code yes" ;; *) check "$1" "2 yes" "$code $err" ;; esac
}
# refused NAME PATTERN COMMAND...: said, of the command's standard error
refused() {
    name=$1 pattern=$2
    shift 2
    err=$("$@" 2>&1 >/dev/null); code=$?
    said "$name" "$pattern"
}
# prints NAME FORMAT ARG...: the finder given the arguments prints exactly
# the bytes that printf makes of FORMAT
prints() {
    name=$1
    # shellcheck disable=SC2059 # the format is the expected output
    want=$(printf "$2" | od -An -c | tr -s ' ')
    shift 2
    check "$name" "$want" "$("$find" "$@" | od -An -c | tr -s ' ')"
}

# the scratch files live in a folder of their own, gone however the test ends
scratch=$(mktemp -d "$PWD/finder_test.XXXXXX") || exit 2
trap 'chmod -R u+rwx "$scratch"; rm -rf "$scratch"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
cd "$scratch" || exit 2

printf 'dirty\ndormitory\nenlist\ninlets\nlisten\nmoor\nroom\nsilent\ntinsel\n' > nine.words

prints "multi-word lines, byte for byte" 'dirty moor \ndirty room \ndormitory \n' -m -w nine.words dirty room
"$find" --multi --words nine.words dirty room >/dev/null; check "exit when found" 0 $?

out=$("$find" -w nine.words Listen | tr '\n' '|'); check "single word" "enlist |inlets |listen |silent |tinsel |" "$out"
out=$("$find" -w nine.words xyz); code=$?
check "nothing found" "*No anagrams found*" "$out"; check "exit when none" 1 $code

refused "missing file: exit 2, the message names the file" '*no-such.words*' "$find" -w no-such.words listen

long=$(printf '%0200d' 0 | tr 0 e)
"$find" -w nine.words "$long" 2>/dev/null; check "200 letters refused" 2 $?
"$find" -w nine.words 2>/dev/null; check "no text" 2 $?
"$find" -x listen 2>/dev/null; check "unknown option" 2 $?
"$find" --help | grep -q usage; check "help" 0 $?

# options as on other Unix tools: joined, attached, after TEXT, ended by --
want="dirty moor |dirty room |dormitory |"
for opts in "--words=nine.words -m dirty room" "-wnine.words -m dirty room" \
            "-mw nine.words dirty room" "dirty room --multi -w nine.words"; do
    # shellcheck disable=SC2086 # the options as typed
    out=$("$find" $opts | tr '\n' '|'); check "options: $opts" "$want" "$out"
done
out=$("$find" -w nine.words -- -m); check "-- ends the options" "*No anagrams found*/1" "$out/$?"
refused "empty word file name refused" '*empty*' "$find" -w "" listen
"$find" listen -w 2>/dev/null; check "-w without a file name" 2 $?

# the words file beside the program is the default
out=$("$find" silent | grep -c .); check "default words file" 5 "$out"

# Ctrl-C ends a long search and keeps what it found: interrupt NAME
# SECONDS OPTION... stops the finder that many seconds into a search that
# would run for ages.
interrupt() {
  what=$1 seconds=$2
  shift 2
  "$find" "$@" -m the quick brown fox jumps over > interrupted.out 2>/dev/null &
  pid=$!
  sleep "$seconds"
  kill -INT $pid
  wait $pid; code=$?
  check "interrupted $what exits 130" 130 $code
  [ "$(grep -c . interrupted.out)" -gt 0 ]; check "interrupted $what printed its lines" 0 $?
  sort -c interrupted.out; check "interrupted $what lines sorted" 0 $?
}
interrupt search 2

# ... and says so, also when it found nothing yet: no placeholder line then.
# Nine words of at most five letters never use sixty: the search runs on.
{ for w in a aa aaa aaaa aaaaa; do echo $w; done; seq -f 'b%g' 2000; } > fruitless.words
sixty=$(printf '%060d' 0 | tr 0 a)
"$find" -m -w fruitless.words "$sixty" > interrupted.out 2> interrupted.err &
pid=$!
sleep 1
kill -INT $pid
wait $pid; code=$?
case "$(cat interrupted.err)" in *"stopped"*"found so far"*) ok=yes ;; *) ok=$(cat interrupted.err) ;; esac
check "interrupted before any line: 130, nothing printed, said why" "130 0 yes" \
    "$code $(wc -c < interrupted.out) $ok"

# A word file cut while a search reads it: the lines found are printed, and
# the finder says the file changed and fails. Every order of the five words
# of 'a's is tried, and the first found at once: the search runs for ages
# unless the file goes; its trace says when it has the file open.
{ for w in aaaaa aaaa aaa aa a; do echo $w; done; seq -f 'b%g' 2000; } > cut.words
nine5=$(printf '%045d' 0 | tr 0 a)
timeout 60 "$find" --trace -m -w cut.words "$nine5" > cut.out 2> cut.err & pid=$!
for i in $(seq 600); do [ -s cut.err ] && break; sleep 0.1; done
: > cut.words
wait $pid; code=$?
case "$(tail -n 1 cut.err)" in "vexlore-find: the word file changed during the search ('cut.words'); "*) ok=yes ;; *) ok=$(tail -n 1 cut.err) ;; esac
check "word file cut during a search: 2, its line kept, said so" "2 aaaaa aaaaa aaaaa aaaaa aaaaa aaaaa aaaaa aaaaa aaaaa  yes" \
    "$code $(cat cut.out) $ok"
rm -f cut.words cut.out cut.err

# a failed write is an error with its true cause, not a search that printed
# its lines; a reader that closed the pipe ends the finder quietly, with
# SIGPIPE ignored too
for out in /dev/full closed pipe help; do
    case $out in
        closed) err=$("$find" -w nine.words listen 2>&1 >&-); code=$? ;;
        pipe) # the reader closes its end first, then the finder starts
              rm -f pipe.closed
              (while [ ! -f pipe.closed ]; do sleep 0.05; done; trap '' PIPE
               "$find" -w nine.words listen 2>pipe.err; echo $? > pipe.code) | { exec 0<&-; : > pipe.closed; }
              check "output to a closed pipe: quiet, 141" "141 ''" "$(cat pipe.code) '$(cat pipe.err)'"
              continue ;;
        help) err=$("$find" --help 2>&1 >/dev/full); code=$? ;;
        *) err=$("$find" -w nine.words listen 2>&1 >"$out"); code=$? ;;
    esac
    case $out in
        closed) said "output $out fails" "vexlore-find: cannot write the results: Bad file*" ;;
        help) said "--help to /dev/full fails" "vexlore-find: cannot write the help text: No space*" ;;
        *) said "output to $out fails" "vexlore-find: cannot write the results: No space*" ;;
    esac
done

# Bad inputs, as listed in docs/bad-inputs.md
out=$("$find" -w "$find" listen 2>bad.err); code=$?
[ $code -le 1 ] && [ ! -s bad.err ]; check "binary word file (the program itself): no error" 0 $?

: > empty.words
out=$("$find" -w empty.words listen); check "empty word file" "*No anagrams found*/1" "$out/$?"

{ echo tinsel; head -c 1048576 /dev/zero | tr '\0' s; echo; echo Listen; head -c 1048576 /dev/zero | tr '\0' e; } > long.words

mkdir folder.words
refused "device as word file" '*/dev/null*not a regular file*' "$find" -w /dev/null listen
mkdir -p beside/words; cp "$find" beside/
refused "folder named words beside the program" '*beside/words*Is a directory*' "beside/${find##*/}" listen

# root reads any file whatever its mode: as root, try as the user nobody
printf 'listen\n' > locked.words; chmod 000 locked.words
asnobody="setpriv --reuid=65534 --regid=65534 --clear-groups"
if [ "$(id -u)" -ne 0 ]; then
    err=$("$find" -w locked.words silent 2>&1 >/dev/null); code=$?
    check "unreadable word file" "2 Permission denied" "$code $(echo "$err" | grep -o 'Permission denied')"
elif command -v setpriv >/dev/null && $asnobody "$find" -w nine.words silent >/dev/null 2>&1; then
    err=$($asnobody "$find" -w locked.words silent 2>&1 >/dev/null); code=$?
    check "unreadable word file (as nobody)" "2 Permission denied" "$code $(echo "$err" | grep -o 'Permission denied')"
else
    echo "skip unreadable word file: running as root, and the user nobody cannot run $find here"
fi

if truncate -s 3G big.words 2>/dev/null; then
    refused "sparse word file of 3 GiB refused" '*big.words*too large*' "$find" -w big.words listen
    rm big.words
else
    echo "skip sparse word file: truncate -s 3G failed here"
fi

e40=$(printf '%040d' 0 | tr 0 e); e39=$(printf '%039d' 0 | tr 0 e)
"$find" -w nine.words "$e40" "$e39" >/dev/null 2>&1; check "79 letters searched" 1 $?

printf 'c\tab\n\001\002\n' > ctl.words
prints "second tab of the text is a letter" 'c\tab \n' -w ctl.words "$(printf 'ab\t\tc')"
prints "control characters are letters" '\001\002 \n' -w ctl.words "$(printf '\002\001')"

printf 'caf\303\251\nface\n' > utf.words
prints "bytes of 0x80 and above match themselves" 'caf\303\251 \n' -w utf.words "$(printf '\303\251fac')"
out=$("$find" -w utf.words "$(printf 'FAC\303\211')"); check "bytes of 0x80 and above do not fold" 1 $?

printf '\357\273\277listen\nsilent\n' > bom.words
out=$("$find" -w bom.words enlist | tr '\n' '|'); check "UTF-8 byte-order mark passed over" "listen |silent |" "$out"
printf '\377\376l\000i\000' > utf16.words
refused "UTF-16 word file refused" '*utf16.words*UTF-16*' "$find" -w utf16.words listen

printf 'a\n' > a.words

mkfifo fifo.words
refused "named pipe as word file refused, not waited on" '*fifo.words*not a regular file*' \
    timeout 2 "$find" -w fifo.words listen
# What the search finds, --fast finds (the unit tests hold it to that over
# files of any bytes); here, that both end as the finder says, and the
# limits, in both searches
printf 'Listen\r\nsilent\n\nsilent\na b\nc\nab\nba\n%s\nx\ntinsel' "$e40" > edge.words
for fast in "" --fast; do
    out=$("$find" $fast -m -w a.words aaaaaaaaa); check "$fast nine-word line" "a a a a a a a a a " "$out"
    err=$("$find" $fast -m -w a.words aaaaaaaaaa 2>&1 >/dev/null); check "$fast no ten-word line, no overflow" "1 " "$? $err"
    out=$("$find" $fast -w long.words silent | tr '\n' '|'); check "$fast 1 MB lines passed over" "listen |tinsel |" "$out"
    refused "$fast 80 letters refused" '*more than 79 letters*' "$find" $fast -w nine.words "$e40" "$e40"
    refused "$fast folder as word file" '*folder.words*Is a directory*' "$find" $fast -w folder.words listen
    out=$("$find" $fast -m -w edge.words qq); check "$fast nothing found" "*No anagrams found*/1" "$out/$?"
    out=$("$find" $fast -m --max-words 2 -w a.words aaa); check "$fast --max-words 2" "*No anagrams found*" "$out"
    out=$("$find" $fast -m --max-words=1 -w nine.words dirty room); check "$fast --max-words 1" "dormitory " "$out"
    out=$("$find" $fast -m --min-length 5 -w nine.words dirty room); check "$fast --min-length 5" "dormitory " "$out"
    out=$("$find" $fast -m --min-length 3 --max-words 2 -w edge.words aabb | tr '\n' '|'); check "$fast both limits" "a b a b |" "$out"
done
for bad in "--max-words 0" "--max-words 10" "--max-words x" "--max-words=3x" "--min-length 0" "--min-length 36" "--min-length -1"; do
    # shellcheck disable=SC2086 # the option and its value as typed
    refused "refused: $bad" "*${bad%%[ =]*} takes a whole number*" "$find" $bad -w nine.words listen
done
"$find" --max-words 2>/dev/null; check "--max-words without N" 2 $?
"$find" --fast --trace -w nine.words listen 2>/dev/null; check "--fast with --trace refused" 2 $?
# more words fit than --fast keeps: it says so and searches without it
yes a | head -n 262145 > many.words
out=$("$find" --fast -w many.words a 2>fast.err | grep -c .)
check "--fast store full: all lines found" 262145 "$out"
grep -q "more than 262144 words fit" fast.err; check "--fast store full: says so" 0 $?

# ... and so does a --fast one
interrupt "--fast search" 1 --fast the lazy dog   # a longer text: --fast is quick

# The filters, with and without --fast: ARGS # exit status # the lines,
# each ended by ; # a pattern of standard error. Bad input says so in one
# line that names the option, and prints nothing.
for fast in "" --fast; do
    while IFS='#' read -r args status want pattern; do
        eval "set -- $args"
        "$find" $fast -w nine.words "$@" >filter.out 2>filter.err; code=$?
        # shellcheck disable=SC2254 # a pattern
        case "$(cat filter.err)" in $pattern) err=ok ;; *) err=$(cat filter.err) ;; esac
        [ "$status" = 2 ] && [ "$(wc -l < filter.err)" != 1 ] && err="not one line: $err"
        check "$fast $args" "$status $want ok" "$code $(tr '\n' ';' < filter.out) $err"
    done <<'ROWS'
-m --contains dirty dirty room#0#dirty moor ;dirty room ;#
-m --contains 'moor dirty' dirty room#0#moor dirty ;#
-m --contains dirty --max-words 1 dirty room#1#*No anagrams found*;#
--contains xyz dirty room#2##*--contains*xz*
--contains ' ' dirty room#2##*--contains*
-m --exclude moor dirty room#0#dirty room ;dormitory ;#
-m --exclude 'moor room' --exclude dirty dirty room#0#dormitory ;#
--exclude nosuch listen#2##*--exclude*nosuch*
-m --lengths 4,5 dirty room#0#moor dirty ;room dirty ;#
-m --lengths 4,4 dirty room#2##*--lengths*8*9*
--lengths 0,9 dirty room#2##*--lengths*
--lengths 36 dirty room#2##*--lengths*
--lengths 1,1,1,1,1,1,1,1,1,1 dirtyroom#2##*--lengths*
--lengths 5,x dirty room#2##*--lengths*
--lengths 5,4 --lengths=5,4 dirty room#2##*--lengths*twice*
--candidates dirty room#0#dormitory ;dirty ;moor ;room ;#
--candidates --candidates listen#2##*--candidates*twice*
--candidates --contains moor dirty room#2##*--candidates*
--limit 2 listen#0#enlist ;inlets ;#*cut at*2*
--limit 5 listen#0#enlist ;inlets ;listen ;silent ;tinsel ;#
--limit 0 listen#2##*--limit*
--limit 2x listen#2##*--limit*
--limit 1 --limit 2 listen#2##*--limit*twice*
ROWS
done
rm -f filter.out filter.err

# Result lines beyond the memory budget go sorted to temporary files, are
# merged on the way out and leave nothing behind. Every order of 'abcdef'
# makes 720 words and 518,400 lines for 'abcdef abcdef': some 500 runs in 64K.
awk 'function p(pre, rest,   i) { if (rest == "") { print pre; return }
     for (i = 1; i <= length(rest); i++) p(pre substr(rest, i, 1), substr(rest, 1, i - 1) substr(rest, i + 1)) }
     BEGIN { p("", "abcdef") }' > perm.words
rm -rf spill.tmp; mkdir spill.tmp
# --fast meets these lines in order and prints them as they come: no run.
want=$("$find" -m -w perm.words abcdef abcdef | cksum)
for fast in "" --fast; do
    out=$(TMPDIR=$PWD/spill.tmp "$find" $fast --stats --memory 64K -m -w perm.words abcdef abcdef 2>spill.err | cksum)
    check "$fast --memory 64K: every line, in order" "$want" "$out"
    runs=$(grep -c "518400 lines went through [0-9]* sorted runs" spill.err)
    check "$fast --memory 64K: spilled (1) or streamed (0)" "$([ -n "$fast" ] && echo 0 || echo 1)" "$runs"
    check "$fast --memory 64K: temporary files removed" "" "$(ls -A spill.tmp)"
done
"$find" --memory 64K -m -w perm.words abcdef abcdef | LC_ALL=C sort -c; check "--memory 64K: sorted" 0 $?
err=$(TMPDIR=$PWD/no-such.tmp "$find" --memory 64K -m -w perm.words abcdef abcdef 2>&1 >spill.out); code=$?
case "$err" in "vexlore-find: cannot keep the results: cannot make a temporary file in '$PWD/no-such.tmp'"*) ok=yes ;; *) ok="$err" ;; esac
check "no temporary folder: 2, nothing printed, said why" "2 0 yes" "$code $(wc -c < spill.out) $ok"
# a full disk, as a limit on the size of the files the finder writes
(ulimit -f 64; trap '' XFSZ; TMPDIR=$PWD/spill.tmp exec "$find" --memory 64K -m -w perm.words abcdef abcdef
 echo $? > spill.code) 2>spill.err | wc -c > spill.out
case "$(cat spill.err)" in "vexlore-find: cannot keep the results: cannot write a temporary file"*) ok=yes ;; *) ok=$(cat spill.err) ;; esac
check "full disk: nothing printed, said why" "0 yes" "$(cat spill.out) $ok"
check "full disk: temporary files removed" "" "$(ls -A spill.tmp)"
for bad in 1K 64 x 9Q 64KB -1M; do
    err=$("$find" --memory $bad -w nine.words listen 2>&1 >/dev/null); code=$?
    case "$err" in *"--memory takes a size"*) ok=yes ;; *) ok="$err" ;; esac
    check "refused: --memory $bad" "2 yes" "$code $ok"
done
out=$("$find" --memory=64k -w nine.words listen | grep -c .); check "--memory=64k" 5 "$out"

# Ctrl-C while the output waits on a reader that has stopped reading ends
# the printing as it ends a search: said so, status 130
# (the reader holds the pipe open until it is killed: one that left after
# a time would end the finder by SIGPIPE on a machine slow enough)
rm -f out.fifo; mkfifo out.fifo
sleep 3600 < out.fifo & reader=$!
TMPDIR=$PWD/spill.tmp "$find" --stats --memory 64K -m -w perm.words abcdef abcdef > out.fifo 2> spill.err & pid=$!
# --stats says when the search is over and the printing starts
for i in $(seq 1800); do grep -q examined spill.err && break; sleep 0.1; done
echo "     (the search before the printing took some $((i / 10)) s)"
sleep 0.5
kill -INT $pid
wait $pid; code=$?
kill $reader 2>/dev/null; wait $reader 2>/dev/null
case "$(cat spill.err)" in *"stopped by Ctrl-C while printing"*) ok=yes ;; *) ok=$(cat spill.err) ;; esac
check "Ctrl-C with the output blocked: 130, said so" "130 yes" "$code $ok"
check "Ctrl-C with the output blocked: temporary files removed" "" "$(ls -A spill.tmp)"
rm -rf out.fifo spill.tmp spill.err spill.out spill.code perm.words

# --fast that runs out of room for the words' text, not their number, says so
a35=$(printf '%035d' 0 | tr 0 a)
yes "$a35" | head -n 120000 > wide.words
"$find" --fast -w wide.words "$a35$a35" 2>fast.err >/dev/null
grep -q "take more than 4 MiB" fast.err; check "--fast text store full: says so" 0 $?
rm -f wide.words fast.err

# UTF-16 without a byte-order mark, and UTF-32, are no word files either
for kind in "UTF-16LE, no mark:l\000i\000s\000\n\000" "UTF-32LE:\377\376\000\000l\000\000\000" \
            "UTF-32BE:\000\000\376\377\000\000\000l"; do
    printf "${kind#*:}" > wide.words
    err=$("$find" -w wide.words listen 2>&1 >/dev/null); code=$?
    case "$err" in *"wide.words"*"UTF-16 or UTF-32"*) ok=yes ;; *) ok="$err" ;; esac
    check "${kind%%:*} refused" "2 yes" "$code $ok"
done
rm -f wide.words

echo "$failed failed"
[ $failed -eq 0 ]
