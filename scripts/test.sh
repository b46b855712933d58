#!/usr/bin/env bash
# Builds and runs every test: the whole suite in a release build, the library's suite in a sanitizer
# build (address, undefined) that also measures line and branch coverage, the library's suite under
# valgrind memcheck, the Windows DLL's suite under wine, static analysis and a bounded fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

jobs=2
# A compiler cache when the machine has one (scripts/deps.sh installs it): a later run of the pipeline
# on the same machine, in this clone or another, recompiles only what changed. Paths are taken relative
# to the clone so that two clones share entries. The coverage build goes without it (its counts files
# name the folder they were compiled in).
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
fi
# Each step's wall time is printed when the next begins, and all of them at the end: the pipeline is
# meant to stay within about 15 minutes on a 2-core machine.
times=() last_step="" last_start=$SECONDS
step() {
  [ -z "$last_step" ] || times+=("$(printf '%5d s  %s' $((SECONDS - last_start)) "$last_step")")
  last_step=$* last_start=$SECONDS
  [ "$#" -eq 0 ] || printf '\n==== %s\n' "$*"
}

# Everything printed is also kept, so that the last line can total the test runs.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
exec > >(tee "$log") 2>&1

step "release build and tests"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test -j"$jobs"
ctest --test-dir build/test -j"$jobs" --output-on-failure

# The documented builds and runs, as written (run.sh's runs reuse build/test).
step "documented commands (README.md, docs/)"
KVT_RUN_BUILD=build/test bash scripts/doc-commands.sh

step "sanitizer build (address, undefined) with coverage of src/"
(
  unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
  cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKVT_SANITIZE=ON -DKVT_COVERAGE=ON \
    -DKVT_BUILD_APPS=OFF -DKVT_BUILD_BENCH=OFF >/dev/null
  KVT_COVERAGE_BUILD=build/asan bash scripts/coverage.sh
)

step "valgrind memcheck of the library's suite"
# The programs' and the reference host's suites are left out: kvt-hostcheck's own suite alone flashes
# the reference host's databank through the library for about 8 minutes under memcheck.
KVT_VALGRIND_BUILD=build/test KVT_VALGRIND_SKIP='^(reference_|hxprops|kvt-hostcheck|hostcheck_test)' bash scripts/valgrind.sh

step "Windows DLL under wine"
bash scripts/test-windows.sh

step "clang-tidy"
bash scripts/tidy.sh

step "fuzzing, bounded"
bash scripts/fuzz.sh 60

step
printf '\n==== time per step\n'
printf '%s\n' "${times[@]}"
printf '%5d s  in all\n' "$SECONDS"

# The closing line: the tests of every ctest run above (a failing run stops the script before this).
awk '/tests passed, [0-9]+ tests failed out of [0-9]+/ { total += $NF; failed += $(NF-5) }
     END { printf "\ntests: %d passed, %d failed\n", total - failed, failed }' "$log"
