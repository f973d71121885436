#!/usr/bin/env bash
# Builds the whole project and every test with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer in build-asan (the fuzz targets too, so their corpus replay
# runs sanitized) and runs all tests there. Any sanitizer report ends its test program
# with an error, so it fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build-asan

CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DDX400_SANITIZE=ON -DDX400_FUZZ=ON >/dev/null
cmake --build "$dir" --parallel "${JOBS:-$(nproc)}"

# Leaks are checked too; tests/lsan.supp holds the suppressions (none are needed today).
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
cd "$dir"
ctest --output-on-failure --timeout 600
