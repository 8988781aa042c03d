#!/bin/sh
# vexlore-find --best as a script would use it: without a model, with a
# damaged one, and with the one the build made.
# usage: best_test.sh PATH-TO-vexlore-find MODEL
find="$1"
model="$2"
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

# a damaged or foreign model: a clear error, exit 2, nothing printed
head -c 1000 "$model" > cut.model 2>/dev/null || printf 'VXLMODEL' > cut.model
for bad in cut.model words; do
    out=$(./vexlore-find --best --model "$bad" dirty room 2>err); code=$?
    check "model '$bad' refused" "2 yes " "$code $(grep -q 'cannot read the model file' err && echo yes) $out"
done
./vexlore-find --best=0 dirty room 2>/dev/null; check "--best=0 refused" 2 $?

if [ -f "$model" ]; then
    out=$("$find" --best=1 dormitory)
    check "with the model: 'dormitory' first reads 'dirty room'" "dirty room " "$out"
    out=$("$find" --best=2 --max-words 1 --stats listen 2>/dev/null | cut -f1 | tr '\n' '|')
    check "--max-words 1: single words, the text's own left out" "silent |enlist |" "$out"
else
    echo "skip the checks with the model: no $model"
fi
echo "$failed failed"
[ $failed -eq 0 ]
