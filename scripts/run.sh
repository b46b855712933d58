#!/usr/bin/env bash
# Builds the main program and the Python module kvt (<build>/python) once (later runs only check that
# the build is up to date), then runs the program in the caller's folder with any arguments given
# (none: the embedded default case), so that relative paths are the caller's. Installs only what
# building and running need. KVT_RUN_BUILD names another build folder (default: build/release in the
# repository).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KVT_RUN_BUILD:-$root/build/release}"
bash "$root/scripts/deps.sh" run
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKVT_BUILD_TESTS=OFF -DKVT_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target hxprops kvt_python -j2 >/dev/null
exec "$build/apps/hxprops/hxprops" "$@"
