# Cross-builds dice.exe and the unit tests for 64-bit Windows, then runs the unit tests, the
# piped cases and a session on a terminal against dice.exe under Wine.
# shellcheck shell=bash

ensure_packages g++-mingw-w64-x86-64-posix wine wine64 googletest tmux

# Quiet, and self-contained: the Wine configuration lives in the build folder, and no
# installer for .NET or the HTML engine is offered on its first start.
export WINEDEBUG=-all
export WINEPREFIX="$PWD/build/windows-cross/wine-prefix"
export WINEDLLOVERRIDES="mscoree,mshtml="

# Wine keeps a server per configuration for a few seconds after its last program; ours
# ends with the stage.
trap 'timeout 30 wineserver -k >/dev/null 2>&1 || true' EXIT

timeout 300 cmake --preset windows-cross
timeout 900 cmake --build --preset windows-cross -j2
exe=build/windows-cross/src/dice.exe

# The first start sets the configuration up, which takes a while: done here, under a
# timeout of its own, so the tests' timeouts measure the program alone. It also checks
# that the program starts at all and ends on an empty input.
timeout 180 wine "$exe" </dev/null >/dev/null

timeout 600 ctest --preset windows-cross

# The console side, which no pipe reaches: a session on a terminal, with Wine's console.
timeout 300 bash tests/end_to_end/console_session_test.sh "$exe" wine

# The transcript of a short session, shown for the log; the piped cases above check it.
printf '3 2 2' | timeout 60 wine "$exe" | od -c | tail -n 6
echo "dice.exe: $(stat -c %s "$exe") bytes, imports: $(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name/ {printf "%s ", $3}')"
