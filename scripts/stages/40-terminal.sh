# Plays the debug build in pseudo-terminals that the suite makes itself, as a user at a
# keyboard: pauses, clears, typed-ahead input, end of input, signal keys and job control,
# with the terminal's modes compared before and after. Needs no terminal of its own, so it
# runs the same under CI. Debian's own Python, since another one may come first on PATH.
# shellcheck shell=bash

ensure_packages python3 python3-pexpect python3-pyte dash bash coreutils

# Every wait in the suite has a deadline of its own; this one catches anything else.
timeout --kill-after=10 600 /usr/bin/python3 tests/terminal/terminal_test.py build/debug/src/dice
