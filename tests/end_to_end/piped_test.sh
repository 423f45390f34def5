#!/usr/bin/env bash
# Runs the built program with piped input, as a script or another program would, and checks
# the exact bytes it writes, its exit status and its silence on standard error.
#
# usage: piped_test.sh PROGRAM [RUNNER...]
#   RUNNER, when given, starts the program (for instance `wine`).
#   LINE_END=crlf expects every line break of the output as a carriage return and line feed.
set -uo pipefail

program=$1
shift
runner=("$@")
line_end=${LINE_END:-lf}
case_timeout=${CASE_TIMEOUT:-20}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
passes=0

# --- the program's fixed texts --------------------------------------------------------------
pause=$'Press any key to continue . . . \n'
clear=$'\f'
notice=$'Please Press <ALT> + <ENTER>\n\n'
banner=$' \n\n\n\n\n\n THIS PROGRAM WILL BE USED TO SIMULATE DICE ROLLS FOR\n '
banner+=$'ROLE PLAYING GAMES. Written for players and game masters alike.\n '
banner+=$'THIS PROGRAM MAY BE USED BY ANYONE WHO WANTS TO USE IT\n '
banner+=$'WITH OR WITHOUT PERMISSION FROM ME.  YOU DO NOT HAVE TO\n '
banner+=$'REGISTER IT, SEND IN MONEY OR EVEN TALK TO ME AT ALL.\n '
banner+=$'I WILL TAKE NO RESPONSIBILITY FOR ANY DAMAGE TO YOUR COMPUTER\n '
banner+=$'CAUSED BY THIS APPLICATION, NOR WILL I ASSUME ANY RESPONSIBILITY\n '
banner+=$'FOR BODILY HARM, OR DEATH RESULTING FROM DISPUTES RESULTING FROM\n '
banner+=$'THE OUTPUT OF THIS PROGRAM.  IF YOU HAVE AN COMMENTS OR IDEAS TO MAKE '
banner+=$'THIS      PRODUCT BETTER, YOU CAN CONTACT ME AT '
banner+=$'dice@example.org\n '
banner+=$'HAVE A NICE DAY!\n\n'
menu=$'What kind of dice do you wish to roll?\n\n 1)   Roll to Hit\n 2)   4 sided\n'
menu+=$' 3)   6 sided\n 4)   8 sided\n 5)   10 sided\n 6)   12 sided\n 7)   20 sided\n'
menu+=$' 8)   Percentile Dice\n\n Please enter a number (1-8) '
another=$'Would You Like To Make Another Choice? \n\n1)    Yes\n2)    No\n'
start="$notice$pause$clear$banner$pause"
# The end of one pass: the pause under the roll's last text, then the closing question.
pass_end="$pause$clear$another"

# --- the generator, to know what a seed rolls -------------------------------------------------
# faces SEED SIDES COUNT: prints the COUNT faces that SEED gives on dice of SIDES sides.
faces() {
    local state=$1 sides=$2 count=$3 i
    for ((i = 0; i < count; i++)); do
        state=$(((state * 214013 + 2531011) & 0xFFFFFFFF))
        echo $((((state >> 16) & 0x7FFF) % sides + 1))
    done
}

sum_of() {
    local total=0 face
    for face in "$@"; do total=$((total + face)); done
    echo "$total"
}

# --- running one case ------------------------------------------------------------------------
# run INPUT: runs the program on INPUT; sets status, first_second and last_second.
run() {
    printf '%s' "$1" >"$work/input"
    first_second=$(date +%s)
    timeout "$case_timeout" "${runner[@]}" "$program" <"$work/input" >"$work/output" 2>"$work/errors"
    status=$?
    last_second=$(date +%s)
}

as_written() {
    if [ "$line_end" = crlf ]; then
        printf '%s' "${1//$'\n'/$'\r\n'}"
    else
        printf '%s' "$1"
    fi
}

pass() {
    passes=$((passes + 1))
    echo "ok: $1"
}

fail() {
    failures=$((failures + 1))
    echo "FAILED: $1" >&2
}

# expect_clean NAME: exit status 0 and nothing on standard error.
expect_clean() {
    if [ "$status" -ne 0 ]; then
        fail "$1: exit status $status"
        return 1
    fi
    if [ -s "$work/errors" ]; then
        fail "$1: wrote on standard error: $(head -c 200 "$work/errors")"
        return 1
    fi
    return 0
}

# expect_output NAME EXPECTED...: the output is exactly one of the EXPECTED transcripts.
expect_output() {
    local name=$1 expected
    shift
    expect_clean "$name" || return
    for expected in "$@"; do
        as_written "$expected" >"$work/expected"
        if cmp -s "$work/expected" "$work/output"; then
            pass "$name"
            return
        fi
    done
    fail "$name: unexpected output; first difference:"
    cmp "$work/expected" "$work/output" >&2
    diff <(od -c "$work/expected") <(od -c "$work/output") | head -n 10 >&2
}

# expect_ending NAME SUFFIX: clean, and the output ends with SUFFIX.
expect_ending() {
    expect_clean "$1" || return
    as_written "$2" >"$work/expected"
    local size
    size=$(wc -c <"$work/expected")
    if tail -c "$size" "$work/output" | cmp -s - "$work/expected"; then
        pass "$1"
    else
        fail "$1: output does not end as expected; it ends with: $(tail -c 80 "$work/output" | od -c | tail -n 3)"
    fi
}

# each_seed FUNCTION: calls FUNCTION with every seed the last run may have taken.
each_seed() {
    local seed
    for ((seed = first_second; seed <= last_second; seed++)); do "$1" "$seed"; done
}

# --- cases -----------------------------------------------------------------------------------

# A pool of two six-sided dice, then no further choice.
pool_transcript() {
    local total
    total=$(sum_of $(faces "$1" 6 2))
    printf '%s' "$start$clear$menu$clear"
    printf '%s' $'You picked 6 sided dice. \nHow many dice do you want to roll? \n'
    printf '%s' "${clear}You Rolled A $total"$'\n'"$pass_end"
    printf '\0'
}
run '3 2 2'
mapfile -d '' transcripts < <(each_seed pool_transcript)
expect_output "six-sided pool of two, typed ahead on one line" "${transcripts[@]}"

percentile_transcript() {
    printf '%s' "$start$clear$menu$clear"
    printf '%s' $'You picked a Percentile dice. \nYou Rolled A '"$(faces "$1" 100 1)"$'\n'"$pass_end"
    printf '\0'
}
run $'8\n2\n'
mapfile -d '' transcripts < <(each_seed percentile_transcript)
expect_output "percentile roll" "${transcripts[@]}"

# Answers without a roll: unlisted numbers, words and fractions never run a procedure.
no_roll_pass="$clear$menu$clear$pass_end"
run $'9 1\n0\n'
expect_output "unlisted choice, then another pass, then any answer but 1 ends" \
    "$start$no_roll_pass$no_roll_pass"
run 'x 2'
expect_output "a word at the menu reads as 0" "$start$no_roll_pass"
run $'12.5\n'
expect_output "12.5 reads as 12, then the rest of the word as 0" "$start$no_roll_pass"
run $'-2147483648 -1\r\n'
expect_output "CR LF line ends and the most negative number" "$start$no_roll_pass"

# The end of the input, wherever it comes, ends the program quietly with status 0.
count_question=$'How many dice do you want to roll? \n'
ending_cases=(
    "at the first menu" "" "$menu"
    "after a lone sign at the menu" "-" "$menu"
    "after white space only at the menu" $' \t\n\n ' "$menu"
    "at the count question" "4" "$count_question"
    "at the closing question" "9" "$another"
    "at the second menu" "9 1" "$menu"
)
for ((i = 0; i < ${#ending_cases[@]}; i += 3)); do
    run "${ending_cases[i + 1]}"
    expect_ending "end of input ${ending_cases[i]}" "${ending_cases[i + 2]}"
done

# Menu choice 1 asks for its answers at random places; whatever it asks when the input
# ends, the program ends cleanly.
for input in '1' '1 1' '1 2' '1 1 1' '1 1 2' '1 2 1' '1 3' '1 1 x' '1 x'; do
    run "$input"
    expect_clean "to-hit roll, input ends after '$input'" && pass "to-hit roll, input ends after '$input'"
done

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
