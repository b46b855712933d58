#!/usr/bin/env bash
# Builds the library, the reference host and the main program, then runs the main program with any
# arguments given (none: the embedded default case).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKVT_BUILD_TESTS=OFF -DKVT_BUILD_BENCH=OFF >/dev/null
if [ -f apps/CMakeLists.txt ]; then
  cmake --build build/release --target hxprops -j2 >/dev/null
  exec build/release/apps/hxprops/hxprops "$@"
fi
cmake --build build/release --target kvt_typical_request -j2 >/dev/null
exec build/release/examples/kvt_typical_request
