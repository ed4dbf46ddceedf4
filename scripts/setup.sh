#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need; quick when all are there.
#   scripts/setup.sh [run|all]   (run: only what running the saver needs)
set -eu
run_packages=(cmake ninja-build g++-mingw-w64-x86-64 mingw-w64-x86-64-dev wine wine64 xvfb xdotool x11-utils
              imagemagick fonts-wine fonts-liberation)
all_packages=("${run_packages[@]}" g++ clang-14 libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev
              libgif-dev g++-mingw-w64-i686 mingw-w64-i686-dev file binutils-mingw-w64-i686)
if [ "${1:-all}" = run ]; then wanted=("${run_packages[@]}"); else wanted=("${all_packages[@]}"); fi

missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} = 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
