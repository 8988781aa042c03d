#!/bin/sh
# The words file generator: what it takes from a SCOWL folder, and what the
# build's own words file holds.
# usage: wordlist_test.sh TOOLS-DIR SCOWL-DIR WORDS-FILE
tools="$1" scowl="$2" words="$3"
# shellcheck source=../scripts/check.sh
. "$(dirname "$0")/../scripts/check.sh"
export LC_ALL=C

# a SCOWL folder of a few lines: every category and size it must pass over
rm -rf scowl.test; mkdir scowl.test
printf 'a\nb\ncat\nCat\ncat'"'"'s\ncaf\303\251\ncs\ndog\nis\nox\nqi\n' > scowl.test/english-words.10
printf 'color\ndog\nzebra\n' > scowl.test/american-words.50
printf 'rarer\n' > scowl.test/english-words.60
printf 'etc\n' > scowl.test/english-abbreviations.10
printf 'bob\n' > scowl.test/english-proper-names.10
printf 'upper\n' > scowl.test/american-upper.10
printf 'isnt\n' > scowl.test/english-contractions.10
printf 'grok\n' > scowl.test/special-hacker.50
printf 'xiv\n' > scowl.test/special-roman-numerals.35
printf 'colour\n' > scowl.test/british-words.10
SCOWL_DIR=scowl.test sh "$tools/makewords.sh" small.words
check "size 50: words lists only, a-z only, short words whitelisted" \
    "a cat color dog is ox zebra " "$(tr '\n' ' ' < small.words)"
SCOWL_DIR=scowl.test sh "$tools/makewords.sh" small.words 60
check "size 60 adds the next list" "a cat color dog is ox rarer zebra " "$(tr '\n' ' ' < small.words)"
SCOWL_DIR=scowl.test sh "$tools/makewords.sh" small.words 45 2>/dev/null
check "no such size: refused, the file kept" "2 a cat color dog is ox rarer zebra " \
    "$? $(tr '\n' ' ' < small.words)"
rm -rf scowl.test small.words

# the build's words file
check "entries of a-z only" 0 "$(grep -c -v -E '^[a-z]+$' "$words")"
grep -v '^#' "$tools/shortwords.txt" | sort > short.words
check "whitelisted one-letter words only a and i" "a i " "$(grep -x '[a-z]' short.words | tr '\n' ' ')"
check "one- and two-letter entries all whitelisted" "" \
    "$(grep -x '[a-z][a-z]\{0,1\}' "$words" | sort | comm -23 - short.words | tr '\n' ' ')"
sort -c -u "$words" 2>/dev/null; check "sorted in byte order, unique" 0 $?
cat "$scowl"/*-abbreviations.* "$scowl"/*-proper-names.* | sort -u > banned.words
check "no entry from the abbreviations or proper names lists" "" \
    "$(comm -12 "$words" banned.words | head -5 | tr '\n' ' ')"
check "abbreviations and names lists read" yes "$([ -s banned.words ] && echo yes)"
rm -f short.words banned.words

echo "$failed failed"
[ $failed -eq 0 ]
