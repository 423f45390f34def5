#!/usr/bin/env bash
# The built program against hostile input and broken standard streams. Every run must end
# (each is bounded by a timeout), with exit status 0, nothing on standard error, and a
# transcript made only of the program's own texts and numbers.
#
# Usage: hostile_environment_test.sh DICE TRANSCRIPT_CHECK RUN_CHILD
set -u

dice=$1
transcript_check=$2
run_child=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

passed=0
failed=0
fail() {
    echo "FAIL: $*"
    failed=$((failed + 1))
}
pass() {
    passed=$((passed + 1))
}

# check_run NAME STATUS [partial]: the last run's status, standard error and transcript;
# "partial" where the reader took only the first bytes, so the transcript is cut short.
check_run() {
    local name=$1 status=$2 transcript=${3:-whole}
    if [ "$status" -eq 124 ]; then
        fail "$name: did not end within its time limit"
    elif [ "$status" -ne 0 ]; then
        fail "$name: exit status $status"
    elif [ -s "$work/err" ]; then
        fail "$name: wrote to standard error: $(head -c 300 "$work/err")"
    elif [ "$transcript" = whole ] && ! "$transcript_check" <"$work/out" 2>"$work/check"; then
        fail "$name: $(cat "$work/check")"
    else
        pass
    fi
}

# run_input NAME: runs the program on $work/in, its output to $work/out.
run_input() {
    timeout 60 "$dice" <"$work/in" >"$work/out" 2>"$work/err"
    check_run "$1" $?
}

ends_with() {
    local file=$1 text=$2
    # Compared as bytes: a command substitution would drop the line breaks at the end.
    tail -c "${#text}" "$file" | cmp -s - <(printf '%s' "$text")
}

# waited_without_spinning NAME: the last run, which waited about a second for its input or
# its reader, used little processor time doing so. Processor time, not the clock: a program
# blocked in a read or a poll uses next to none however busy the machine is, one that spins
# uses all of the second.
waited_without_spinning() {
    local name=$1 used
    used=$(cat "$work/cpu" 2>/dev/null || echo missing)
    if [ "$used" != missing ] && [ "$used" -lt 500 ]; then
        pass
    else
        fail "$name: used $used ms of processor time while it waited about a second"
    fi
}

another_choice_prompt=$'Would You Like To Make Another Choice? \n\n1)    Yes\n2)    No\n'
menu_prompt=' Please enter a number (1-8) '

# ---------------------------------------------------------------------------------------
# Any bytes on standard input.

# NUL and bytes above 127, as words of their own and glued to numbers.
printf '3\0 2\0\0 1 \0\0 1 \377\376 1 \303\251 1 7 \200\201 1 8 1 2\0 1 1 \377 1 \0' >"$work/in"
run_input "NUL and bytes above 127"

# Very long digit runs: 10^k is 0 modulo 2^32 for k >= 32, so a one with many zeros after it
# reads as 0 and one with a 5 at its end as 5 (a pool of five dice, not of billions).
{
    printf '9 '
    printf '0%.0s' $(seq 1 200000)
    printf '1 3 1'
    printf '0%.0s' $(seq 1 200000)
    printf '5 1 '
    printf '9%.0s' $(seq 1 100000)
    printf ' 1 8 -'
    printf '7%.0s' $(seq 1 100000)
} >"$work/in"
run_input "very long digit runs"
ends_with "$work/out" "$another_choice_prompt" || fail "very long digit runs: did not reach the last prompt"

# The largest pools: 2147483647 dice typed plainly, and as a 30 000-digit number that
# reduces to it (10^30000 + 2147483647). Summed at once, each total within what its dice show.
{
    printf '7 2147483647 1 5 1'
    printf '0%.0s' $(seq 1 30000)
    printf '2147483647 2'
} >"$work/in"
run_input "largest pools, one of them typed with 30 000 digits"
mapfile -t totals < <(grep -a -o 'You Rolled A [0-9]*' "$work/out" | cut -d' ' -f4)
if [ "${#totals[@]}" -ne 2 ] ||
    [ "${totals[0]}" -lt 2147483647 ] || [ "${totals[0]}" -gt $((2147483647 * 20)) ] ||
    [ "${totals[1]}" -lt 2147483647 ] || [ "${totals[1]}" -gt $((2147483647 * 10)) ]; then
    fail "largest pools: totals ${totals[*]}"
fi

# Megabytes of white space of every kind between the answers.
{
    head -c 2000000 /dev/zero | tr '\0' ' '
    printf '9'
    head -c 1000000 /dev/zero | tr '\0' '\n'
    printf '1\t\v\f\r\n8'
    head -c 1000000 /dev/zero | tr '\0' '\t'
    printf '1 9 2'
    head -c 1000000 /dev/zero | tr '\0' '\r'
} >"$work/in"
run_input "megabytes of white space"
ends_with "$work/out" "$another_choice_prompt" || fail "megabytes of white space: did not reach the last prompt"

# CR LF line ends, as a file from another system brings them. (No to-hit roll here or in
# the other cases that must reach the last prompt: the clock picks the seed, and a fumble
# asks one question more.)
printf '3\r\n2\r\n1\r\n8\r\n1\r\n5\r\n1\r\n1\r\n7\r\n2\r\n2\r\n' >"$work/in"
run_input "CR LF line ends"
ends_with "$work/out" "$another_choice_prompt" || fail "CR LF line ends: did not reach the last prompt"

# A sign alone at the end of the input, at every kind of prompt, with and without white
# space after it; and a sign followed by something that is no digit.
for input in '-' '+' '3 -' '3 + ' '9 1 -\n' '1 1 -' '1 1 1 +\r\n' '9 - x 1 +' '8 +-3 1 -'; do
    printf '%b' "$input" >"$work/in"
    run_input "sign at the end: '$input'"
done

# Words that are no number, and an input without any white space at all.
printf 'x 1 12.5 1 0x1A 1 5-3 1 --5 1 x' >"$work/in"
run_input "words that are no number"
head -c 3000000 /dev/zero | tr '\0' 'x' >"$work/in"
run_input "three megabytes of one word"

# Seeded pseudo-random sessions: runs of arbitrary bytes, numbers and white space, with the
# another-choice prompt mostly answered 1 so that the sessions go on for many passes.
for seed in 1 2 3; do
    perl -e '
        srand($ARGV[0]);
        my @space = (" ", "\t", "\n", "\r\n", "\v", "\f");
        sub word {
            my $kind = int(rand(6));
            return join "", map { chr(int(rand(256))) } 1 .. 1 + int(rand(12)) if $kind == 0;
            return ("+", "-")[int(rand(2))] . word() if $kind == 1;
            return int(rand(9)) if $kind <= 3;
            return int(rand(200)) - 100 if $kind == 4;
            return "0" x int(rand(40)) . int(rand(10));
        }
        for (1 .. 3000) {
            print word(), $space[int(rand(@space))], word(), $space[int(rand(@space))];
            print rand() < 0.95 ? "1" : word(), $space[int(rand(@space))];
        }
    ' "$seed" >"$work/in"
    run_input "pseudo-random session, seed $seed"
done

# ---------------------------------------------------------------------------------------
# Standard input closed, empty, or not readable at all: the first read ends the program.

timeout 10 "$dice" <&- >"$work/out" 2>"$work/err"
check_run "standard input closed" $?
ends_with "$work/out" "$menu_prompt" || fail "standard input closed: the menu is not the last thing written"

timeout 10 "$dice" </dev/null >"$work/out" 2>"$work/err"
check_run "standard input /dev/null" $?
ends_with "$work/out" "$menu_prompt" || fail "standard input /dev/null: the menu is not the last thing written"

timeout 10 "$dice" </ >"$work/out" 2>"$work/err"
check_run "standard input a directory" $?

# Standard input marked non-blocking by whoever shares it, the answers arriving late: the
# program waits for them instead of taking "not yet" for the end of the input.
{
    printf '3 '
    sleep 0.5
    printf '2 '
    sleep 0.5
    printf '2'
} | timeout 10 "$run_child" --nonblocking 0 --cpu-to "$work/cpu" -- "$dice" >"$work/out" 2>"$work/err"
check_run "non-blocking standard input" $?
grep -q 'You Rolled A ' "$work/out" && ends_with "$work/out" "$another_choice_prompt" ||
    fail "non-blocking standard input: the late answers were not waited for"
waited_without_spinning "non-blocking standard input"

# ---------------------------------------------------------------------------------------
# Standard output closed, full, or a pipe whose reader has gone: the dialogue goes on
# unseen and the program ends with status 0 when its input is done.

printf '3 2 1 1 1 5 1 8 1 7 3 2' >"$work/in"

timeout 10 "$dice" <"$work/in" >&- 2>"$work/err"
status=$?
: >"$work/out"
check_run "standard output closed" $status

timeout 10 "$dice" <"$work/in" >/dev/full 2>"$work/err"
status=$?
check_run "standard output /dev/full" $status

timeout 10 "$dice" <"$work/in" >&- 2>&-
status=$?
[ "$status" -eq 0 ] && pass || fail "standard output and standard error closed: exit status $status"

timeout 10 "$dice" <&- >&- 2>&-
status=$?
[ "$status" -eq 0 ] && pass || fail "all three standard streams closed: exit status $status"

# The reader takes ten bytes and goes; thousands of passes are still to be written.
{
    yes '9 1' | head -n 20000
    echo 2
} >"$work/in"
timeout 60 "$dice" <"$work/in" 2>"$work/err" | head -c 10 >"$work/out"
status=${PIPESTATUS[0]}
check_run "pipe whose reader has gone" "$status" partial

# The output goes nowhere while the program waits for its next answer.
late_answers() {
    printf '9 1 '
    sleep 1
    printf '9 1 2'
}
late_answers | timeout 10 "$run_child" --cpu-to "$work/cpu" -- "$dice" 2>"$work/err" |
    head -c 1 >"$work/out"
check_run "reader gone while the program waits" "${PIPESTATUS[1]}" partial
waited_without_spinning "reader gone while the program waits"

late_answers | timeout 10 "$run_child" --cpu-to "$work/cpu" -- "$dice" >&- 2>"$work/err"
status=$?
: >"$work/out"
check_run "standard output closed while the program waits" "$status"
waited_without_spinning "standard output closed while the program waits"

late_answers | timeout 10 "$run_child" --cpu-to "$work/cpu" -- "$dice" >/dev/full 2>"$work/err"
check_run "standard output /dev/full while the program waits" $?
waited_without_spinning "standard output /dev/full while the program waits"

# Standard output marked non-blocking, its reader slow: nothing written may be lost.
{
    yes '9 1' | head -n 2000
    echo 2
} >"$work/in"
timeout 30 "$dice" <"$work/in" >"$work/blocking" 2>"$work/err"
timeout 30 "$run_child" --nonblocking 1 --cpu-to "$work/cpu" -- "$dice" <"$work/in" 2>"$work/err" |
    { sleep 1; cat; } >"$work/out"
check_run "non-blocking standard output" "${PIPESTATUS[0]}"
waited_without_spinning "non-blocking standard output"
cmp -s "$work/out" "$work/blocking" ||
    fail "non-blocking standard output: $(wc -c <"$work/out") bytes arrived, $(wc -c <"$work/blocking") were written"

# ---------------------------------------------------------------------------------------
# A long session, a million passes: all of it is written, in flat memory, and within a
# small stack (a pass that recursed would run out of it long before the end).

session() {
    yes '9 1' | head -n "$1"
    echo 2
}
# measure PASSES: sets bytes and rss (KiB) of a session of that many passes.
measure() {
    local passes=$1
    session "$passes" | (
        ulimit -s 1024
        timeout 300 "$run_child" --max-rss-to "$work/rss" -- "$dice" 2>"$work/err"
    ) | wc -c >"$work/bytes"
    local status=${PIPESTATUS[1]}
    if [ "$status" -ne 0 ] || [ -s "$work/err" ]; then
        fail "session of $passes passes: exit status $status, standard error: $(head -c 300 "$work/err")"
    fi
    bytes=$(cat "$work/bytes")
    rss=$(cat "$work/rss" 2>/dev/null || echo 0)
}
measure 1
bytes_1=$bytes
measure 2
per_pass=$((bytes - bytes_1))
measure 1000
rss_short=$rss
started=$(date +%s%N)
measure 1000000
finished=$(date +%s%N)
expected=$((bytes_1 + 999999 * per_pass))
echo "a million passes: $bytes bytes in $(((finished - started) / 1000000)) ms;" \
    "peak memory $rss KiB against $rss_short KiB for a thousand passes"
if [ "$bytes" -eq "$expected" ]; then
    pass
else
    fail "a million passes: $bytes bytes written, $expected expected"
fi
if [ "$rss" -le $((rss_short + 1024)) ]; then
    pass
else
    fail "a million passes: peak memory $rss KiB, against $rss_short KiB for a thousand"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
