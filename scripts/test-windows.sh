#!/usr/bin/env bash
# Cross-builds for 64-bit Windows (MinGW-w64): kvt.dll, the stand-in and reference host DLLs, the
# programs of apps/, the Fortran example, the test suite and the Windows package; then runs the tests
# under wine64 in a throwaway prefix of the build tree (build/windows/wineprefix). The Windows programs'
# output is compared with the Linux programs' of a native build tree (KVT_LINUX_BUILD, by default
# build/test, which scripts/test.sh has built by then; the two programs are built there when missing).
# Needs the Debian packages of scripts/deps.sh (MinGW g++ and gfortran, wine64, googletest, toml++, CLI11,
# nlohmann-json).
set -euo pipefail
cd "$(dirname "$0")/.."

build=${KVT_WINDOWS_BUILD:-build/windows}
jobs=${KVT_JOBS:-2}
linux_build=${KVT_LINUX_BUILD:-build/test}
# Tests that need what a Windows prefix does not have: gnuplot (the plots, the report page), chromium,
# python3 (a JSON check, the water reference) or bash (the run command).
needs_linux='Cli\.(PlotIsAPngImage|DefaultCaseWithEveryOutput|RunCommandWorksInTheCallersFolder|MethodSpreadAndPropertyOutputs)|WaterAgainstIapws|ReportPageInABrowser'

wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver64 || echo /usr/lib/wine/wineserver64)
[ -x "$wine64" ] || wine64=$(command -v wine)
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVT_BUILD_BENCH=OFF -DKVT_LINUX_BUILD_DIR="$(realpath -m "$linux_build")" >/dev/null
[ -f "$linux_build/build.ninja" ] ||
  cmake -S . -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVT_BUILD_BENCH=OFF >/dev/null
cmake --build "$linux_build" -j"$jobs" --target hxprops kvt_fortran_typical_request

# One wine server for the whole run, started first: the build lists each test program's tests through
# wine and each test starts its program again, and a server kept alive spares each start a cold one.
export WINEPREFIX="$PWD/$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
"$wineserver" -p || true  # (already running from an interrupted run: reused)
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "creating wine prefix $WINEPREFIX"
  "$wine64" wineboot --init >/dev/null 2>&1
else
  "$wine64" wineboot >/dev/null 2>&1 || true  # the prefix's services up before the first test program
fi

cmake --build "$build" -j"$jobs"
# A test program that wine fails to start (seen now and then, a few milliseconds into a run) gets one
# more run; a test that fails on its own merits fails both.
ctest --test-dir "$build" -j"$jobs" --output-on-failure --repeat until-pass:2 -E "$needs_linux"
