#!/bin/sh
# vexlore-find --best as a script would use it: without a model, with a
# damaged one, and with the one the build made.
# usage: best_test.sh PATH-TO-vexlore-find MODEL [MAKEMODEL SPHINX-MODEL]
find="$1"
model="$2"
makemodel="$3"
sphinx="$4"
case $find in /*) ;; *) find=$PWD/$find ;; esac
# shellcheck source=../scripts/check.sh
. "$(dirname "$0")/../scripts/check.sh"
scratch=$(mktemp -d "$PWD/best_test.XXXXXX") || exit 2
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 2
cp "$find" ./vexlore-find
printf 'dirty\ndormitory\nmoor\nroom\n' > words

# no model beside the program: said once, then by shape; the text's own
# set is left out and the set that reuses its word comes last
out=$(./vexlore-find --best dirty room 2>err | tr '\n' '|')
check "no model: by shape, reusing last" "dormitory |dirty moor |" "$out"
check "no model: one line on standard error" "1 yes" \
    "$(wc -l < err | tr -d ' ') $(grep -q 'ranking by shape' err && echo yes)"

# the filters choose the words before the ranking: --lengths puts each set's
# words in the lengths' order, --candidates ranks the words alone
out=$(./vexlore-find --best --lengths 4,5 dirty room 2>/dev/null | tr '\n' '|')
check "--lengths: in its order, the text's own set left out" "moor dirty |" "$out"
out=$(./vexlore-find --best --candidates --min-length 5 dormitory 2>/dev/null | tr '\n' '|')
check "--candidates: the words alone, by shape" "dormitory |dirty |" "$out"
# --contains: the text's own set is left out, with the words given too
for given in room 'dirty room'; do
    out=$(./vexlore-find --best --contains "$given" dirty room 2>/dev/null); code=$?
    check "--contains '$given': the text's own words left out" "*No anagrams found* 1" "$out $code"
done
# --limit cuts the list as it does without --best, and says so
out=$(./vexlore-find --best --limit 1 dirty room 2>err | tr '\n' '|')
check "--limit 1: one line, the cut said" "dormitory |yes" "$out$(grep -q 'cut at --limit 1' err && echo yes)"

# a damaged or foreign model: a clear error, exit 2, nothing printed
head -c 1000 "$model" > cut.model 2>/dev/null || printf 'VXLMODEL' > cut.model
mkfifo fifo.model
for bad in cut.model words fifo.model /dev/null; do
    out=$(./vexlore-find --best --model "$bad" dirty room 2>err); code=$?
    check "model '$bad' refused" "2 yes " "$code $(grep -q 'cannot read the model file' err && echo yes) $out"
done
case $(cat err) in *"not a regular file"*) ok "a device as the model: not a regular file" ;;
    *) fail "a device as the model: $(cat err)" ;; esac
./vexlore-find --best=0 dirty room 2>/dev/null; check "--best=0 refused" 2 $?

if [ -f "$model" ]; then
    out=$("$find" --best=1 dormitory)
    check "with the model: 'dormitory' first reads 'dirty room'" "dirty room " "$out"
    out=$("$find" --best=2 --max-words 1 --stats listen 2>/dev/null | cut -f1 | tr '\n' '|')
    check "--max-words 1: single words, the text's own left out" "silent |enlist |" "$out"
    # the score is the printed line's: with the words of --contains before
    # the rest, and in the order --lengths puts the words
    out=$("$find" --best=1 --contains clint clint eastwood)
    check "--contains: ranked by the whole line" "clint wood east " "$out"
    a=$("$find" --best --stats --lengths 4,5 dirty room | grep '^dirt roomy ' | cut -f2)
    b=$("$find" --best --stats --contains dirt dirty room | grep '^dirt roomy ' | cut -f2)
    check "--lengths: the score of the order printed" "$b" "$a"
    # a long text, whose best phrases the bounded search cannot complete,
    # still gets lines
    pangram="the quick brown fox jumps over the lazy dog"
    # shellcheck disable=SC2086 # the text as words
    out=$("$find" --best=3 $pangram 2>err | grep -c ' '); code=$?
    check "a long text: 3 lines" "3 0" "$out $code"
    # Ctrl-C stops the ranking: what it found, said so, 130
    start=$(date +%s)
    # shellcheck disable=SC2086
    "$find" --best $pangram > stopped.out 2> stopped.err &
    pid=$!
    sleep 1
    kill -INT $pid
    wait $pid; code=$?
    echo "Ctrl-C after 1 s: ended after $(($(date +%s) - start)) s"
    case $(cat stopped.err) in *"stopped"*"found so far"*) said=yes ;; *) said=$(cat stopped.err) ;; esac
    check "Ctrl-C during --best: 130, said so" "130 yes" "$code $said"
else
    echo "skip the checks with the model: no $model"
fi
# a new model file is put in place whole: a reader of the old one keeps it
if [ -n "$makemodel" ] && [ -f "$sphinx" ]; then
    printf old > new.model
    ln new.model held.model
    "$makemodel" "$sphinx" words new.model > /dev/null
    out=$(./vexlore-find --best=1 --model new.model dirty room 2>/dev/null)
    check "makemodel: a new file, the old one untouched" "old dormitory  " "$(cat held.model) $out $(ls new.model.* 2>/dev/null)"
else
    echo "skip makemodel's check: no makemodel or Sphinx model"
fi
echo "$failed failed"
[ $failed -eq 0 ]
