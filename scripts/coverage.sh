#!/usr/bin/env bash
# Line and branch coverage of src/ by the whole test suite: a gcc --coverage build (KVT_COVERAGE),
# ctest, then gcovr. Prints the per-file table and the summary; fails when line coverage is below
# KVT_COVERAGE_MIN percent (default 95).
#
#   scripts/coverage.sh            report: build/coverage/coverage.txt, build/coverage/coverage/index.html
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${KVT_COVERAGE_BUILD:-$root/build/coverage}
min=${KVT_COVERAGE_MIN:-95}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKVT_COVERAGE=ON -DKVT_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j 2
find "$build" -name '*.gcda' -delete
ctest --test-dir "$build" -j 2 --output-on-failure

mkdir -p "$build/coverage"
# Branches that only the compiler's exception paths take are left out: the library throws nothing.
gcovr --root "$root" --object-directory "$build" --filter "$root/src/" \
  --exclude-unreachable-branches --exclude-throw-branches \
  --txt "$build/coverage.txt" --html-details "$build/coverage/index.html" \
  --print-summary --fail-under-line "$min"
cat "$build/coverage.txt"
