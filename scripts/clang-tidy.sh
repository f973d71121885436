#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over the src/ files of a build folder's
# compile_commands.json, and fails when it reports anything.
#   scripts/clang-tidy.sh [BUILD_DIR]       (default: build)
# TIDY_SKIP names src/ folders to leave out, separated by '|' (default: none). TIDY_JOBS
# sets the number of parallel clang-tidy runs (default: 2).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
[ "${build:0:1}" = / ] || build="$repo/$build"
skip=${TIDY_SKIP-}
jobs=${TIDY_JOBS:-2}

if [ ! -f "$build/compile_commands.json" ]; then
    # A configured and built folder: Qt's generated files must exist for the includes.
    bash "$repo/scripts/build.sh" "${build#"$repo"/}"
fi

# The translation units to check: files under src/, less the skipped folders.
files_regex="^$repo/src/"
[ -n "$skip" ] && files_regex="^$repo/src/(?!($skip)/)"
# clang-tidy's header filter is a POSIX regex without look-ahead: name the kept folders.
kept=()
for dir in "$repo"/src/*/; do
    name=$(basename "$dir")
    if [ -z "$skip" ] || ! grep -Eqx "$skip" <<<"$name"; then
        kept+=("$name")
    fi
done
header_filter="^$repo/src/($(IFS='|'; echo "${kept[*]}"))/"

log=$(mktemp)
trap 'rm -f "$log"' EXIT
if command -v run-clang-tidy >/dev/null; then
    run-clang-tidy -p "$build" -quiet -j "$jobs" -header-filter="$header_filter" \
        "$files_regex" >"$log" 2>&1 || true
else
    python3 - "$build/compile_commands.json" "$files_regex" <<'PY' |
import json, re, sys
pattern = re.compile(sys.argv[2])
for entry in json.load(open(sys.argv[1])):
    if pattern.search(entry["file"]):
        print(entry["file"])
PY
        sort -u | xargs -r -P "$jobs" -n 1 clang-tidy -p "$build" --quiet \
            --header-filter="$header_filter" >"$log" 2>&1 || true
fi

# Findings, without colours, each once (a header's finding repeats for every includer).
# A file that does not compile counts too.
sed -i 's/\x1b\[[0-9;]*m//g' "$log"
findings=$(grep -E '^[^ ].*:[0-9]+:[0-9]+: (warning|error):|^Error while processing' "$log" |
    sort -u || true)
if [ -n "$findings" ]; then
    cat "$log"
    echo "clang-tidy: $(wc -l <<<"$findings") finding(s):" >&2
    echo "$findings" >&2
    exit 1
fi
echo "clang-tidy: no findings in src/${skip:+ (skipped: $skip)}"
