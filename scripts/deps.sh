#!/usr/bin/env bash
# Installs the Debian packages kvt needs, when any is missing:
#   bash scripts/deps.sh run    what building and running the main program need
#   bash scripts/deps.sh        everything building, testing and running need (the test command)
set -euo pipefail

run_packages=(cmake ninja-build g++ pkg-config libtomlplusplus-dev libcli11-dev nlohmann-json3-dev gnuplot-nox
  python3-dev python3-pybind11)
test_packages=(
  clang-14 libclang-rt-14-dev clang-tidy-14 gfortran
  libgtest-dev googletest libbenchmark-dev valgrind gcovr
  g++-mingw-w64-x86-64 gfortran-mingw-w64-x86-64 wine64 python3-iapws chromium python3-pytest ccache
)

packages=("${run_packages[@]}")
[ "${1:-all}" = run ] || packages+=("${test_packages[@]}")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
