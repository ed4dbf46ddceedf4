#!/usr/bin/env bash
# Times the native X11 program's front-end on private Xvfb screens at
# 1920x1080 and 3840x2160, depth 24: the first frame after start, the CPU
# time of steady frames with the default settings (frame step, conversion of
# the lit rectangle to 32-bit pixels, the put through MIT-SHM) and the
# resident memory.
#   scripts/bench-x11.sh [frames]   (default 500)
set -eu
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh x11
cmake --preset native >/dev/null
cmake --build --preset native --target x11_frame_bench -- -j2 >/dev/null
source scripts/lib/xvfb.sh
trap xvfb_stop EXIT
for screen in 1920x1080x24 3840x2160x24; do
  xvfb_start "$screen"
  echo "== $screen"
  build/native/bench/x11/x11_frame_bench "${1:-500}"
  xvfb_stop
done
