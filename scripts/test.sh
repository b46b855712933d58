#!/usr/bin/env bash
# Builds and runs every test: the test suite (release and sanitizer builds), the Windows DLL under
# wine, and the reliability checks (coverage, memcheck, static analysis, a bounded fuzzing run).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

jobs=2
step() { printf '\n==== %s\n' "$*"; }

step "release build and tests"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test -j"$jobs"
ctest --test-dir build/test -j"$jobs" --output-on-failure

step "sanitizer build (address, undefined) and tests"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKVT_SANITIZE=ON -DKVT_BUILD_BENCH=OFF >/dev/null
cmake --build build/asan -j"$jobs"
ctest --test-dir build/asan -j"$jobs" --output-on-failure

for script in test-windows coverage valgrind tidy fuzz; do
  if [ -f "scripts/$script.sh" ]; then
    step "$script"
    bash "scripts/$script.sh"
  fi
done
