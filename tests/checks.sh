# Sourced by the test scripts that run outside Wine: counts checks as the Windows tests do and
# closes with their "N passed, M failed" line.
passed=0
failed=0

ok() {
    passed=$((passed + 1))
    echo "ok: $*"
}

bad() {
    failed=$((failed + 1))
    echo "failed: $*"
}

# Prints the tally; true only when something passed and nothing failed.
tally() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
}
