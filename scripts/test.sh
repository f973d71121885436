#!/usr/bin/env bash
# Prints the size of the tests against the code, installs what is missing, builds
# everything and runs every test through CTest. Then it fuzzes the reply path and the
# number reader for a bounded time each (scripts/fuzz.sh, $FUZZ_SECONDS, default 60) and
# builds and runs the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer (scripts/sanitize.sh), whose CTest summary ends the output.
# Stops with a non-zero status at the first failure.
#
# The soak runs 1,000 commands in each CTest run; DX400_SOAK_COMMANDS=10000 gives the
# full soak (ctest -L soak).
set -euo pipefail
cd "$(dirname "$0")/.."

# The owner's rule: tests/ (fixtures, support and fuzz harnesses included) at most 35% of
# src/, aiming at a quarter to a third, both counted in non-blank lines of C++ source.
lines() { find "$1" \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 cat | grep -cv '^[[:space:]]*$'; }
src=$(lines src)
tests=$(lines tests)
permille=$((1000 * tests / src))
echo "Size: tests/ $tests lines, src/ $src lines (non-blank C++): tests are $((permille / 10)).$((permille % 10))% of src"
if [ "$permille" -gt 350 ]; then
    echo "tests/ is over 35% of src/: cut tests that restate the code, or put cases in tables" >&2
    exit 1
fi

bash scripts/install-deps.sh
bash scripts/build.sh build
(cd build && ctest --output-on-failure --timeout 300)
bash scripts/fuzz.sh "${FUZZ_SECONDS:-60}"
bash scripts/sanitize.sh
