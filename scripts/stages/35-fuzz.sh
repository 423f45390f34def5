# Bounded fuzzing, about a minute in all: the number reader and the whole dialogue, each
# from the committed seed corpus, under AddressSanitizer and UndefinedBehaviorSanitizer.
# Any crash, sanitizer report, broken property or input taking over 10 s fails the stage.
# shellcheck shell=bash

if ! ensure_packages clang libclang-rt-14-dev; then
    echo "fuzzing skipped: clang and its libFuzzer runtime cannot be installed here"
    exit 0
fi

cmake --preset fuzz
cmake --build --preset fuzz -j2

seconds_each=${DICE_FUZZ_SECONDS:-30}
findings=build/fuzz/findings
mkdir -p "$findings"
for target in read_number dialogue; do
    # New inputs go to a scratch folder, so the committed corpus stays as it is.
    scratch=$(mktemp -d)
    log="$findings/$target.log"
    if "build/fuzz/fuzz/${target}_fuzzer" -max_total_time="$seconds_each" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/$target-" \
        "$scratch" "fuzz/corpus/$target" >"$log" 2>&1; then
        echo "$target: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log"), nothing found"
        rm -rf "$scratch"
    else
        rm -rf "$scratch"
        echo "$target: FAILED; the input that broke it is in $findings; the end of the log:"
        tail -n 40 "$log"
        exit 1
    fi
done
