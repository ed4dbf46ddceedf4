#!/usr/bin/env bash
# Makes the README's animation from real frames of the saver: the win64 build
# under Wine on a private Xvfb screen with an empty settings store (the
# default picture with "Orvane" burnt in), screenshots taken one after the
# other for a few seconds while the light passes over the letters, each shown
# for as long as it was on the screen, scaled down and put together by
# ImageMagick into a looping GIF, docs/effect-moving.gif.
#   scripts/animation.sh [frames]   (default 72, about three seconds)
set -eu
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
count=${1:-72}
bash scripts/setup.sh run
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Orvane orvane_probe -- -j2 >/dev/null

export ORVANE_SCR=$root/build/win64/Orvane.scr ORVANE_PROBE=$root/build/win64/tests/e2e/orvane_probe.exe
export ORVANE_WINEPREFIX=$root/build/win64/wineprefix ORVANE_SHOTS=$root/build/win64/e2e-shots
source tests/e2e/lib.sh
e2e_env animation
frames=$shots/animation
rm -rf "$frames"
mkdir -p "$frames"

e2e_begin 1024x768x24
open_saver || exit 1
sleep 1  # past the first frame, which burns the text in
for n in $(seq -w 1 "$count"); do
  date +%s%N >"$frames/$n.time"
  import -window root "$frames/$n.png" 2>/dev/null
done
date +%s%N >"$frames/end.time"
xdotool key x
expect_end "a key"

# Each frame stays for the time until the next screenshot, in hundredths of a second.
args=()
times=("$frames"/*.time)
for ((i = 0; i < ${#times[@]} - 1; i++)); do
  shot=${times[$i]%.time}.png
  delay=$((($(cat "${times[$((i + 1))]}") - $(cat "${times[$i]}")) / 10000000))
  args+=(-delay "$((delay > 2 ? delay : 2))" "$shot")
done
lit=$(python3 tests/e2e/shots.py lit "$frames/$(printf '%02d' "$count").png")
[ "$lit" -gt 0 ] || fail "the last frame is black"
mkdir -p docs
convert -loop 0 "${args[@]}" -resize 400x -fuzz 1% -layers Optimize docs/effect-moving.gif
ls -l docs/effect-moving.gif
e2e_end
