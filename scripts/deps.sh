#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running kvt need, when any is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang-14 libclang-rt-14-dev clang-tidy-14 gfortran pkg-config
  libgtest-dev googletest libbenchmark-dev valgrind gcovr
  g++-mingw-w64-x86-64 wine64
  gfortran-mingw-w64-x86-64
  libtomlplusplus-dev libcli11-dev gnuplot-nox python3-iapws
)

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
