#!/usr/bin/env bash
# The built program under valgrind's memcheck, which the sanitizers do not replace: it sees
# a decision taken on a value that was never set. A few sessions through every kind of
# pass and every way input can end, each required to be clean.
#
# Usage: memcheck_test.sh VALGRIND DICE
set -u

valgrind=$1
dice=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
passed=0

# memcheck NAME [closed-output]: runs the program on its standard input; its output goes
# nowhere, or is closed. The log has a descriptor of its own: with standard output closed,
# a log file opened by valgrind would take that descriptor over.
memcheck() {
    local name=$1 output=${2:-}
    if [ "$output" = closed-output ]; then
        timeout 120 "$valgrind" -q --error-exitcode=99 --track-origins=yes --log-fd=3 \
            "$dice" 3>"$work/log" >&-
    else
        timeout 120 "$valgrind" -q --error-exitcode=99 --track-origins=yes --log-fd=3 \
            "$dice" 3>"$work/log" >/dev/null
    fi
    local status=$?
    if [ "$status" -eq 0 ] && [ ! -s "$work/log" ]; then
        passed=$((passed + 1))
    else
        echo "FAIL: $name: exit status $status"
        cat "$work/log"
        failed=$((failed + 1))
    fi
}

while IFS='|' read -r name input; do
    printf '%b' "$input" >"$work/in"
    memcheck "$name" <"$work/in"
done <<'CASES'
every menu choice and answer|3 2 1 2 5 1 4 0 1 5 -3 1 6 1 1 7 2 1 8 1 9 1 0 1 1 1 1 2 1 1 1 2 1 -5 1 1 3 x
fumbles by the dozen|1 1 1 1 2 1 1 1 1 2 2 1 1 1 1 1 2 2 1 1 1 1 1 2 2 1 1 1 1 1 2 2 1 1 1 1 1 2 2 1 1 1 1 1 2 2 1 1 1 1 1 2 2 1 1
end of input after a sign|9 1 -
end of input inside a word|9 1 x
bytes that are no number|\0\377 1 12.5 1 0x1A 1 5-3 1 \r\n+\t-
CASES

perl -e 'srand(11); print map { chr(int(rand(256))) } 1 .. 20000' >"$work/in"
memcheck "arbitrary bytes" <"$work/in"
memcheck "standard input closed" <&-
printf '3 2 1 8 2' >"$work/in"
memcheck "standard output closed" closed-output <"$work/in"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
