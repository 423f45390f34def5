#!/usr/bin/env bash
# Plays a short session on a real terminal, as a person would, through tmux: the pauses wait
# for a key, that key never becomes an answer, numbers typed ahead outlive a pause, clears
# empty the screen, and the program ends with status 0.
#
# usage: console_session_test.sh PROGRAM [RUNNER...]
#   RUNNER, when given, starts the program (for instance `wine`).
set -uo pipefail

program=$1
shift
runner=("$@")
step_timeout=${STEP_TIMEOUT:-30}

# A tmux server of our own, so the program gets this script's environment and nothing of a
# server the user may have running.
socket=dice-console-test-$$
session=dice
tmux_() { tmux -L "$socket" "$@"; }
trap 'tmux_ kill-server 2>/dev/null' EXIT

failures=0
passes=0
pass() {
    passes=$((passes + 1))
    echo "ok: $1"
}
fail() {
    failures=$((failures + 1))
    echo "FAILED: $1" >&2
    echo "--- screen:" >&2
    screen >&2
    echo "---" >&2
}

screen() { tmux_ capture-pane -p -t "$session"; }
on_screen() { screen | grep -qF -- "$1"; }

# wait_for TEXT: true once TEXT is on the screen, false when the step's time runs out.
wait_for() {
    local deadline=$((SECONDS + step_timeout))
    while ((SECONDS < deadline)); do
        on_screen "$1" && return 0
        sleep 0.2
    done
    return 1
}

# step NAME TEXT: passes when TEXT comes on the screen in time.
step() {
    if wait_for "$2"; then pass "$1"; else fail "$1: \"$2\" never came"; fi
}

# still_waiting NAME TEXT: a second on, TEXT has not come: the program waits for us.
still_waiting() {
    sleep 1
    if on_screen "$2"; then fail "$1: \"$2\" came without a key"; else pass "$1"; fi
}

command=$(printf '%q ' "${runner[@]}" "$program")
tmux_ new-session -d -s "$session" -x 100 -y 40 "$command; echo \"EXIT=\$?\"; sleep 60"

step "the notice and the first pause" "Press any key to continue . . ."
still_waiting "the first pause waits for a key" "HAVE A NICE DAY!"
tmux_ send-keys -t "$session" x
step "a key ends the pause" "HAVE A NICE DAY!"
if on_screen "Please Press <ALT>"; then fail "the clear before the banner left the notice"; else pass "the clear before the banner"; fi

tmux_ send-keys -t "$session" Space
step "the menu after the banner's pause" "Please enter a number (1-8)"

# Choice, count and the closing answer typed ahead on one line: the answer 1 waits in the
# number stream while the pause takes its own key.
tmux_ send-keys -t "$session" "3 2 1" Enter
step "a pool of six-sided dice" "You Rolled A"
still_waiting "the pause after the roll waits for a key" "Would You Like"
tmux_ send-keys -t "$session" q
step "the answer typed ahead outlives the pause and picks another pass" "Please enter a number (1-8)"

# Had the pause's key reached the number stream, "q8" would read as 0 and roll nothing.
tmux_ send-keys -t "$session" "8" Enter
step "the pause's key never became an answer" "You picked a Percentile dice."
tmux_ send-keys -t "$session" Enter
step "the closing question" "Would You Like To Make Another Choice?"
tmux_ send-keys -t "$session" "2" Enter
step "the answer 2 ends the program with status 0" "EXIT=0"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
