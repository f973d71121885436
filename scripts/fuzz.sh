#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz (coverage, AddressSanitizer and
# UndefinedBehaviorSanitizer) and fuzzes each for a bounded time, starting from its seed
# corpus in tests/fuzz/corpus/<target>/.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]       default 60, or $FUZZ_SECONDS
# Inputs that widen coverage are kept in build-fuzz/corpus-new/<target>/ (out of the
# repository). An input that crashes is written into tests/fuzz/corpus/<target>/ as
# crash-<sha1>, where it joins the corpus replay test once the fault is fixed; the script
# then fails.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-${FUZZ_SECONDS:-60}}"
dir=build-fuzz
targets=(fuzz_reply fuzz_number)

CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DDX400_FUZZ=ON -DDX400_SANITIZE=ON -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
cmake --build "$dir" --parallel "${JOBS:-$(nproc)}" --target "${targets[@]}"

status=0
for target in "${targets[@]}"; do
    seeds="tests/fuzz/corpus/$target"
    work="$dir/corpus-new/$target"
    log="$dir/$target.log"
    mkdir -p "$work"
    echo "Fuzzing $target for ${seconds} s (log: $log)"
    if "$dir/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$seeds/" -print_final_stats=1 "$work" "$seeds" >"$log" 2>&1; then
        grep -E '^stat::number_of_executed_units|^stat::new_units_added' "$log" |
            sed "s/^/  $target /"
    else
        echo "FAIL: $target found a fault; the input that shows it is in $seeds/" >&2
        tail -n 40 "$log" >&2
        status=1
    fi
done
exit "$status"
