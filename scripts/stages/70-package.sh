# Builds the Debian package and checks it as a user would meet it: its control fields, the
# files it holds, its manual page, and the program unpacked from it playing a piped session.
# The same is done for the layout that `cmake --install` gives under a prefix of its own.
# Nothing is installed into the machine: the package is unpacked into a temporary folder.
# shellcheck shell=bash

# bsdextrautils has col, which man runs when its output is no terminal.
ensure_packages dpkg-dev groff-base man-db bsdextrautils file gzip

build=build/package
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
    echo "package check failed: $*" >&2
    exit 1
}

# quietly COMMAND...: runs it with its chatter in a log, shown only when it fails.
quietly() {
    if ! "$@" >"$scratch/log" 2>&1; then
        cat "$scratch/log" >&2
        fail "$*"
    fi
}

quietly cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDICE_BUILD_TESTS=OFF
quietly cmake --build "$build" -j2
rm -rf "$build/deb"
quietly cpack --config "$build/CPackConfig.cmake" -G DEB -B "$build/deb"

shopt -s nullglob
debs=("$build"/deb/*.deb)
shopt -u nullglob
[ ${#debs[@]} -eq 1 ] || fail "expected one .deb in $build/deb, found ${#debs[@]}"
deb=${debs[0]}
echo "built $deb"

# --- control fields -------------------------------------------------------------------------
project_version=$(tr '\n' ' ' <CMakeLists.txt | grep -o 'project( *dice *VERSION *[0-9.]*' | awk '{print $NF}')
[ -n "$project_version" ] || fail "no VERSION in the project() call of CMakeLists.txt"

expect_field() {
    local actual
    actual=$(dpkg-deb -f "$deb" "$1")
    [ "$actual" = "$2" ] || fail "field $1 is '$actual', expected '$2'"
}
expect_field Package dice
expect_field Version "$project_version"
expect_field Section games
expect_field Architecture "$(dpkg --print-architecture)"
[ "$(basename "$deb")" = "dice_${project_version}_$(dpkg --print-architecture).deb" ] ||
    fail "unexpected file name $(basename "$deb")"

maintainer=$(dpkg-deb -f "$deb" Maintainer)
[[ $maintainer =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "maintainer '$maintainer' is not 'Name <address>'"

description=$(dpkg-deb -f "$deb" Description)
summary=$(head -n 1 <<<"$description")
if [ -z "$summary" ] || [ ${#summary} -ge 80 ]; then
    fail "summary '$summary' is empty or too long"
fi
[ "$(wc -l <<<"$description")" -gt 1 ] || fail "no long description"
awk 'length > 80 { exit 1 }' <<<"$description" || fail "a description line is longer than 80 columns"

# Computed by dpkg-shlibdeps: a C++ program needs at least the C and C++ runtimes, each with
# the lowest version that has every symbol it uses.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6; do
    [[ $depends =~ (^|, )"$library"\ \(\>=\ [0-9] ]] || fail "Depends '$depends' lacks a versioned $library"
done
echo "control: dice $project_version, section games, depends: $depends"

# --- contents ---------------------------------------------------------------------------------
dpkg-deb -c "$deb" >"$scratch/contents"
expect_entry() {
    grep -Eq "^$1 root/root +[0-9]+ [0-9-]+ [0-9:]+ \./usr/$2\$" "$scratch/contents" ||
        fail "no $1 root/root entry for /usr/$2 in the package:$(printf '\n'; cat "$scratch/contents")"
}
expect_entry -rwxr-xr-x bin/dice
expect_entry -rw-r--r-- share/man/man6/dice.6.gz
expect_entry -rw-r--r-- share/doc/dice/README.md
expect_entry -rw-r--r-- share/doc/dice/LICENSE
expect_entry -rw-r--r-- share/doc/dice/copyright
# Whole lines are read by awk alone: a reader that stops early would break a pipe under pipefail.
awk '$NF !~ /^\.\/usr\// { print; bad = 1 } END { exit bad }' "$scratch/contents" >"$scratch/outside" ||
    fail "entries outside /usr: $(cat "$scratch/outside")"
awk '$2 != "root/root" { print; bad = 1 } END { exit bad }' "$scratch/contents" >"$scratch/owners" ||
    fail "entries not owned by root: $(cat "$scratch/owners")"
echo "contents: $(wc -l <"$scratch/contents") entries, program, manual page and documents present"

# --- the unpacked package ---------------------------------------------------------------------
root="$scratch/root"
dpkg -x "$deb" "$root"

file --brief "$root/usr/bin/dice" >"$scratch/file"
grep -q 'ELF .* executable' "$scratch/file" || fail "the program is not an ELF executable: $(cat "$scratch/file")"
grep -q ', stripped' "$scratch/file" || fail "the program is not stripped: $(cat "$scratch/file")"

gzip -t "$root/usr/share/man/man6/dice.6.gz" || fail "the manual page is not a sound gzip file"
zcat "$root/usr/share/man/man6/dice.6.gz" | cmp -s - doc/dice.6 ||
    fail "the packaged manual page differs from doc/dice.6"
cmp -s "$root/usr/share/doc/dice/copyright" LICENSE || fail "copyright is not the licence"

# lint_manual PAGE: the checks Debian runs on manual pages, and groff's own with every warning.
lint_manual() {
    local page=$1
    for formatter in "groff -man -ww -z" "groff -t -man -ww -z"; do
        if [[ $page == *.gz ]]; then
            zcat "$page" | $formatter 2>"$scratch/warnings" || true
        else
            $formatter "$page" 2>"$scratch/warnings" || true
        fi
        [ ! -s "$scratch/warnings" ] || fail "$formatter $page warns:$(printf '\n'; cat "$scratch/warnings")"
    done
    LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" \
        >/dev/null 2>"$scratch/warnings" || true
    [ ! -s "$scratch/warnings" ] || fail "man --warnings $page:$(printf '\n'; cat "$scratch/warnings")"
}
lint_manual doc/dice.6
lint_manual "$root/usr/share/man/man6/dice.6.gz"

# The page must render into its sections, with its tables laid out by tbl.
MANWIDTH=80 man -l "$root/usr/share/man/man6/dice.6.gz" 2>/dev/null | col -bx >"$scratch/manual.txt"
for expected in 'dice - roll dice for tabletop role-playing games' '^EXIT STATUS' \
    '^ANSWERS' '^RANDOMNESS' '100 +1 to 68 +328 +1\.001%' '18–19 +You shoot an innocent'; do
    grep -Eq -- "$expected" "$scratch/manual.txt" || fail "the rendered manual lacks '$expected'"
done
echo "manual: lints clean, renders $(wc -l <"$scratch/manual.txt") lines"

# play PROGRAM: a whole session through a pipe, two six-sided dice and then quit.
play() {
    local program=$1 status=0
    printf '3 2 2' | "$program" >"$scratch/out" 2>"$scratch/err" || status=$?
    [ "$status" -eq 0 ] || fail "$program exited with status $status"
    [ ! -s "$scratch/err" ] || fail "$program wrote to standard error: $(cat "$scratch/err")"
    grep -aq 'You picked 6 sided dice. ' "$scratch/out" || fail "$program did not roll six-sided dice"
    local total
    total=$(grep -ao 'You Rolled A [0-9]*' "$scratch/out" | awk '{ print $NF }')
    if ! [[ $total =~ ^[0-9]+$ ]] || [ "$total" -lt 2 ] || [ "$total" -gt 12 ]; then
        fail "$program rolled '$total' on two six-sided dice"
    fi
    grep -aq 'Would You Like To Make Another Choice? ' "$scratch/out" ||
        fail "$program did not ask for another choice"
    echo "played: $program rolled $total on two six-sided dice and exited 0"
}
play "$root/usr/bin/dice"

# --- cmake --install under a prefix of its own ------------------------------------------------
prefix="$scratch/prefix"
quietly cmake --install "$build" --prefix "$prefix"
for installed in bin/dice share/man/man6/dice.6.gz share/doc/dice/README.md share/doc/dice/LICENSE; do
    [ -f "$prefix/$installed" ] || fail "cmake --install did not install $installed"
done
[ -x "$prefix/bin/dice" ] || fail "the installed program is not executable"
MANWIDTH=80 man -M "$prefix/share/man" 6 dice 2>/dev/null | col -bx >"$scratch/manual.txt"
grep -q 'roll dice for tabletop' "$scratch/manual.txt" || fail "man -M <prefix>/share/man 6 dice finds no page"
(
    PATH="$prefix/bin:$PATH"
    [ "$(command -v dice)" = "$prefix/bin/dice" ] || fail "dice from the prefix is not the one on the PATH"
    play dice
)
