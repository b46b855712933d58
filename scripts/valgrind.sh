#!/usr/bin/env bash
# valgrind memcheck over the test suite: every test program that ctest knows, run once under
# memcheck (a GoogleTest program with all its tests, any other test with its own arguments). Any
# memory error or definite leak fails the run.
#
#   scripts/valgrind.sh            build in build/valgrind, logs in build/valgrind/memcheck/
#   KVT_VALGRIND_BUILD=DIR scripts/valgrind.sh    reuse an existing build (its configuration is kept)
#   KVT_VALGRIND_SKIP=REGEX scripts/valgrind.sh   leave out the programs whose name matches REGEX
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${KVT_VALGRIND_BUILD:-$root/build/valgrind}
mkdir -p "$build"
build=$(cd "$build" && pwd)  # absolute: each program runs in its own working directory

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVT_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j 2

# One line per program to run: working directory, then the command, tab-separated. Commands that are
# not programs of this build (cmake scripts, interpreters) are left to ctest.
list=$(ctest --test-dir "$build" --show-only=json-v1 | python3 -c '
import json, os, sys
build = os.path.realpath(sys.argv[1])
seen = set()
for t in json.load(sys.stdin).get("tests", []):
    cmd = t.get("command") or []
    if not cmd or not os.path.realpath(cmd[0]).startswith(build + os.sep):
        continue
    props = {p["name"]: p["value"] for p in t.get("properties", [])}
    if any(a.startswith("--gtest_filter") for a in cmd[1:]):
        cmd = cmd[:1]
    line = "\t".join([props.get("WORKING_DIRECTORY", build)] + cmd)
    if line not in seen:
        seen.add(line)
        print(line)
' "$build")

mkdir -p "$build/memcheck"
# GoogleTest names value-parameterised tests by printing each parameter's bytes when it has no
# printer; the padding bytes of a parameter struct are never initialised. That is the test
# framework's reading, not the library's.
cat >"$build/memcheck/gtest.supp" <<'SUPP'
{
   gtest-prints-parameter-padding-cond
   Memcheck:Cond
   ...
   fun:*PrintBytesInObjectTo*
}
{
   gtest-prints-parameter-padding-value
   Memcheck:Value8
   ...
   fun:*PrintBytesInObjectTo*
}
SUPP

run() {
  local dir=$1; shift
  local name log rc=0
  name=$(basename "$1")
  log="$build/memcheck/$name.log"
  (cd "$dir" && valgrind --quiet --error-exitcode=99 --leak-check=full --show-leak-kinds=definite,indirect \
     --errors-for-leak-kinds=definite,indirect --suppressions="$build/memcheck/gtest.supp" \
     --log-file="$log.vg" "$@" >"$log" 2>&1) || rc=$?
  if [ "$rc" -eq 0 ]; then
    echo "clean   $name"
  else
    echo "FAILED  $name (exit $rc; 99: memcheck found errors): see $log.vg and $log"
    cat "$log.vg"
    return 1
  fi
}

skip=${KVT_VALGRIND_SKIP:-}
status=0
while IFS=$'\t' read -r -a cmd; do
  if [ -n "$skip" ] && [[ "$(basename "${cmd[1]}")" =~ $skip ]]; then
    echo "skipped $(basename "${cmd[1]}")"
    continue
  fi
  run "${cmd[@]}" || status=1
done <<<"$list"
exit $status
