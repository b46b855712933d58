#!/usr/bin/env bash
# Build the libFuzzer harness (fuzz/) with clang 14 and run it for a bounded time.
#
#   scripts/fuzz.sh [SECONDS] [extra libFuzzer flags...]     default 120 seconds
#
# The committed seeds in fuzz/corpus are read, never written; new inputs go to build/fuzz/corpus.
# A finding stops the run with a non-zero exit and leaves the input as build/fuzz/crash-*.
# Reproduce one with: build/fuzz/kvt_fuzz build/fuzz/crash-<hash>
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${KVT_FUZZ_BUILD:-$root/build/fuzz}
seconds=${1:-120}
shift || true

cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build "$build" -j 2 >/dev/null

mkdir -p "$build/corpus"
# The progress lines are filtered out; the verdict is the fuzzer's own exit status.
set +e
"$build/kvt_fuzz" -max_total_time="$seconds" -max_len=2048 -print_final_stats=1 -artifact_prefix="$build/" \
  "$@" "$build/corpus" "$root/fuzz/corpus" 2>&1 | grep -Ev '^(#[0-9]+[[:space:]]|")'
status=${PIPESTATUS[0]}
set -e
exit "$status"
