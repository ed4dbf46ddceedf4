#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need; quick when all are there.
#   scripts/setup.sh [run|x11|release|all] (run: only what running the saver needs;
#                                          x11: what building and running the native
#                                          X11 program needs;
#                                          release: what building the release zip needs;
#                                          all: everything, with the 32-bit Wine that runs
#                                          the release file in the tests)
set -eu
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
run_packages=(cmake ninja-build g++-mingw-w64-x86-64 mingw-w64-x86-64-dev libstb-dev wine wine64 xvfb xdotool x11-utils
              imagemagick fonts-wine fonts-liberation python3 file)
x11_packages=(cmake ninja-build g++ libstb-dev googletest libgtest-dev libbenchmark-dev libx11-dev libxext-dev libfreetype-dev libfontconfig-dev
              fonts-liberation xvfb xdotool x11-utils imagemagick python3)
release_packages=(cmake ninja-build g++-mingw-w64-i686 mingw-w64-i686-dev binutils-mingw-w64-i686 libstb-dev file python3)
all_packages=("${run_packages[@]}" g++ clang-14 libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev
              libgif-dev g++-mingw-w64-i686 mingw-w64-i686-dev file binutils-mingw-w64-i686 python3
              "${x11_packages[@]}" xsecurelock)
case "${1:-all}" in
  run) wanted=("${run_packages[@]}") ;;
  x11) wanted=("${x11_packages[@]}") ;;
  release) wanted=("${release_packages[@]}") ;;
  *) wanted=("${all_packages[@]}") ;;
esac

SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive

install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} = 0 ] && return 0
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

install_missing "${wanted[@]}"
case "${1:-all}" in
  run|x11|release) ;;
  *)
    # The tests run the release Orvane.scr itself under 32-bit Wine.
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      $SUDO dpkg --add-architecture i386
      $SUDO apt-get update -qq
    fi
    install_missing wine32:i386
    bash "$here/lib/emulate-i386.sh"
    ;;
esac
