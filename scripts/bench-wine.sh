#!/usr/bin/env bash
# Builds the saver's timed run for Windows and runs it under Wine on a private
# Xvfb screen: the set-up, the first frame and steady frames (medians).
#   scripts/bench-wine.sh [WxHxD] [frames]      default 1920x1080x24, 500 frames
set -eu
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh all
screen=${1:-1920x1080x24}
frames=${2:-500}
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target frame_bench -- -j2 >/dev/null
echo "== $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1), load $(cut -d' ' -f1-3 /proc/loadavg)"
scripts/wine-run --screen "$screen" build/win64/bench/win/frame_bench.exe "$frames"
