#!/usr/bin/env bash
# clang-tidy 14 over the library's sources (src/) with the checked-in .clang-tidy and the compile
# database of a clang configure; any finding fails the run.
#
#   scripts/tidy.sh [FILES...]     default: every .cpp of src/
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${KVT_TIDY_BUILD:-$root/build/tidy}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_C_COMPILER=clang-14 \
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DKVT_BUILD_TESTS=OFF -DKVT_BUILD_BENCH=OFF -DKVT_BUILD_APPS=OFF >/dev/null

if [ "$#" -gt 0 ]; then
  files=("$@")
else
  mapfile -t files < <(find "$root/src" -name '*.cpp' | sort)
fi
# Two files per clang-tidy, two at a time; xargs fails when any run reports a finding.
printf '%s\n' "${files[@]}" | xargs -P 2 -n 2 clang-tidy-14 -p "$build" --quiet 2> >(grep -v ' warnings\? generated\.$' >&2)
echo "clang-tidy: no findings in ${#files[@]} files"
