#!/usr/bin/env bash
# Regenerates the README's pictures from the end-to-end tests' screenshots:
# runs the effect tests (text, GIF relief, JPEG photo relief, missing file)
# under Wine on a private Xvfb and keeps one shot of each, scaled down, as
# docs/effect-*.png; then makes the animation (scripts/animation.sh).
set -eu
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh run
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Orvane orvane_probe -- -j2 >/dev/null
shots=build/win64/e2e-shots
rm -f "$shots"/text-*.png "$shots"/gif-relief-*.png "$shots"/jpeg-relief-*.png "$shots"/missing-file-*.png
ctest --test-dir build/win64 -R '^e2e\.effect\.(text|gif-relief|jpeg-relief|missing-file)$' --output-on-failure

# The shot with the most light in it.
brightest() {
  local best="" most=-1 shot lit
  for shot in "$@"; do
    lit=$(python3 tests/e2e/shots.py lit "$shot")
    [ "$lit" -gt "$most" ] && most=$lit best=$shot
  done
  echo "$best"
}

mkdir -p docs
convert "$(brightest "$shots"/text-*.png)" -resize 400x -strip docs/effect-text.png
convert "$(brightest "$shots"/gif-relief-*.png)" -resize 400x -strip docs/effect-gif.png
convert "$(brightest "$shots"/jpeg-relief-*.png)" -resize 400x -strip docs/effect-photo.png
# The band at full size, so that the message stays legible, with a margin of
# the black screen around it.
read -r left top right bottom < <(python3 tests/e2e/shots.py band "$shots/missing-file-1.png")
convert "$shots/missing-file-1.png" -crop "$((right - left + 49))x$((bottom - top + 49))+$((left - 24))+$((top - 24))" \
  +repage -strip docs/effect-failure.png
bash scripts/animation.sh
ls -l docs/effect-*
