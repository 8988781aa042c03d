# One way for every test script to report a check: a line "ok   NAME" or
# "FAIL NAME" (the windows' drivers write the same), and the counts passed
# and failed. POSIX sh; sourced, not run.
passed=0
failed=0

ok() { echo "ok   $1"; passed=$((passed + 1)); }
fail() { echo "FAIL $1"; failed=$((failed + 1)); }

# check NAME EXPECTED ACTUAL: the two strings are the same
check() {
    if [ "$2" = "$3" ]; then ok "$1"; else
        fail "$1"; echo "  expected: $2"; echo "  actual:   $3"; fi
}

# checkrun NAME DETAIL COMMAND...: the command succeeds
checkrun() {
    _name="$1: $2"
    shift 2
    if "$@"; then ok "$_name"; else fail "$_name"; fi
}
