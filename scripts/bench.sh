#!/usr/bin/env bash
# Builds the benchmarks in Release and runs every figure in one go, then writes
# BENCHMARKS.md at the repository root: each figure's median and worst case over repeated
# runs, held against its limit, with the machine it ran on.
#   bash scripts/bench.sh              BENCH_JOBS=N builds with N jobs (default: all cores)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

started=$(date +%s)
dir=build-bench
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DDX400_BENCH=ON \
    >/dev/null
cmake --build "$dir" --parallel "${BENCH_JOBS:-$(nproc)}" --target dx400_core_bench \
    dx400_echo_box_bench dx400_wire_bench dx400_burst_bench dx400_process_bench
built=$(date +%s)

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
bin=$dir/bench
export QT_QPA_PLATFORM=offscreen
failed=()
run() {
    local name=$1
    shift
    echo "== $name" >&2
    if ! "$@" >"$out/$name.rows" 2>"$out/$name.log"; then
        failed+=("$name")
        tail -n 20 "$out/$name.log" >&2
    fi
}
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
run wire "$bin/dx400_wire_bench" --clicks 30 --read-all 15 --write-all 15 --ctl-runs 30
run burst "$bin/dx400_burst_bench" --runs 3
run echo-box "$bin/dx400_echo_box_bench" --runs 3
run core "$bin/dx400_core_bench" --benchmark_repetitions=10 --benchmark_min_time=0.2
run startup "$bin/dx400_process_bench" startup --runs 10
xvfb="not available: figure 4 was measured offscreen only"
if command -v xvfb-run >/dev/null; then
    xvfb="Xvfb through xvfb-run"
    run startup-xvfb xvfb-run -a -s "-screen 0 1280x1024x24" \
        "$bin/dx400_process_bench" startup --runs 10 --platform xcb
fi
run memory "$bin/dx400_process_bench" memory --runs 3 --commands 10000
run idle "$bin/dx400_process_bench" idle --runs 3 --seconds 10
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
finished=$(date +%s)

qt=$(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null || echo unknown)
cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
commit=$(git rev-parse --short HEAD 2>/dev/null || echo unknown)
[ -n "$(git status --porcelain 2>/dev/null)" ] && commit="$commit with uncommitted changes"

{
    echo "# Benchmarks"
    echo
    echo "Written by \`bash scripts/bench.sh\`, which builds the benchmarks in Release and runs"
    echo "every figure in one go; run it again to reproduce. Each row is one figure: the median"
    echo "and the worst of its runs, the limit it is held against, the ratio to that limit, and"
    echo "whether the goal is met. Times are wall-clock times on CLOCK_MONOTONIC."
    echo
    echo "| | |"
    echo "| --- | --- |"
    echo "| Date | $(date -u '+%Y-%m-%d %H:%M UTC') |"
    echo "| Commit | $commit |"
    echo "| Processors | $(nproc) × $cpu |"
    echo "| Kernel | $(uname -r) |"
    echo "| Qt | $qt (Release build, Qt platform offscreen unless named) |"
    echo "| Display for figure 4 | offscreen; $xvfb |"
    # Opening a port creates a lock file there and syncs it: free on tmpfs (a stock Debian
    # system), a disk flush of about a millisecond on a disk.
    echo "| Lock files (/run/lock) | $(stat -f -c %T /run/lock) |"
    echo "| Load average before / after | $load_before / $load_after |"
    echo "| Build / runs | $((built - started)) s / $((finished - built)) s |"
    echo
    if [ ${#failed[@]} -gt 0 ]; then
        echo "**Benchmarks that failed to run or reported message boxes: ${failed[*]}.**"
        echo
    fi
    echo "| Figure | Median | Worst | Runs | Limit | Ratio | Goal |"
    echo "| --- | --- | --- | --- | --- | --- | --- |"
    cat "$out"/*.rows | grep '^| [0-9]' | sort -s -t'|' -k2,2n
    echo
    cat bench/METHOD.md
} >BENCHMARKS.md
echo "BENCHMARKS.md written ($((finished - started)) s)."
