#!/bin/sh
# Makes the words file from a system word list: only entries written all in
# lower case with a-z (no proper nouns, abbreviations or possessives), of the
# single letters only 'a' and 'i', no duplicates, in byte order.
# usage: makewords.sh LIST OUT
set -e
LC_ALL=C grep -E '^[a-z]+$' "$1" | LC_ALL=C grep -v -E '^[b-hj-z]$' | LC_ALL=C sort -u > "$2.tmp"
mv "$2.tmp" "$2"
