#!/bin/sh
# The manual page of vexlore-find against its --help: the same options in
# the same order, the same exit statuses, and the synopsis the same usage.
# usage: manpage_test.sh PATH-TO-vexlore-find PATH-TO-vexlore-find.1
find="$1"
page="$2"
# shellcheck source=../scripts/check.sh
. "$(dirname "$0")/../scripts/check.sh"
help=$("$find" --help) || { echo "FAIL --help: exit status $?"; exit 1; }

# roff to plain words: no font changes, quotes or macro names
plain() { sed -e 's/\\f[BIRP]//g' -e 's/\\-/-/g' -e 's/"//g' -e 's/^\.[A-Z]* *//'; }
# the options named in a text, one a line
names() { grep -o -E -- '(^|[ ,[|])--?[a-z][a-z-]*|(^|[ []|)--( |]|$)' | tr -d ' ,[]|'; }
# the lines of a manual section, SECTION NAME
section() { awk -v s="$1" '/^\.SH/ { on = ($0 == ".SH " s) ; next } on' "$page"; }

# --help: the option table, each line's text up to the gap before its meaning
want=$(printf '%s\n' "$help" | sed -n 's/^  *\(-[^ ].*\)/\1/p' | sed 's/   *.*//' | names | tr '\n' ' ')
got=$(section OPTIONS | awk 'tp { print; tp = 0 } /^\.TP/ { tp = 1 }' | plain | names | tr '\n' ' ')
check "options" "$want" "$got"

want=$(printf '%s\n' "$help" | sed -n '/^usage:/,/^$/p' | names | tr '\n' ' ')
got=$(section SYNOPSIS | plain | tr '\n' ' ' | names | tr '\n' ' ')
check "synopsis" "$want" "$got"

want=$(printf '%s\n' "$help" | sed -n '/^Exit status:/,$p' | grep -o -E '\b[0-9]+\b' | tr '\n' ' ')
got=$(section "EXIT STATUS" | awk 'tp { print; tp = 0 } /^\.TP/ { tp = 1 }' | plain | tr '\n' ' ')
check "exit statuses" "$want" "$got"

[ $failed -eq 0 ]
