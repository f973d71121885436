#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through CTest. Then it
# fuzzes the reply path and the number reader for a bounded time each (scripts/fuzz.sh,
# $FUZZ_SECONDS, default 60) and builds and runs the whole suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer (scripts/sanitize.sh), whose CTest
# summary ends the output. Stops with a non-zero status at the first failure.
#
# The soak test runs 1,000 commands in each CTest run; DX400_SOAK_COMMANDS=10000 gives the
# full soak (see tests/e2e/soak_test.cpp).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
(cd build && ctest --output-on-failure --timeout 300)
bash scripts/fuzz.sh "${FUZZ_SECONDS:-60}"
bash scripts/sanitize.sh
