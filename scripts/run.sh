#!/usr/bin/env bash
# Builds the saver and runs it full-screen ("/s") under Wine on its built-in
# default picture.
#  - With $DISPLAY set: runs on that display until a key (or the mouse) ends it.
#  - Without: starts a private Xvfb, lets the saver run a few seconds, saves
#    screenshots under out/, ends it with a key press and checks that it ended
#    and that the screenshots show the effect (not all black).
# With --x11: the same for the native X11 program `orvane` (no Wine), in a
# window of its own; a key ends it.
set -eu
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD

# The unattended run on the private Xvfb, once the program is started as
# $saver: NAME CLASS SHOTS TARGET START_TENTHS END_TENTHS
#   waits for a visible window of CLASS, takes three screenshots a second
#   apart as out/SHOTS-N.png (of the root, or of the program's own window),
#   ends the program with a key and checks that it ended cleanly and that the
#   shots are lit.
watch_and_end() {
  local name=$1 class=$2 shots_name=$3 target=$4 start_tenths=$5 end_tenths=$6 window="" i n
  for i in $(seq 1 "$start_tenths"); do
    window=$(xdotool search --onlyvisible --classname "$class" 2>/dev/null | head -1) && [ -n "$window" ] && break
    kill -0 "$saver" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$window" ]; then echo "$name did not start: no window appeared." >&2; exit 1; fi
  echo "$name is running on $DISPLAY (window $window, $(xwininfo -id "$window" | sed -n 's/.*-geometry //p'))."
  [ "$target" = window ] && target=$window
  local shots=() shot
  for n in 1 2 3; do
    sleep 1
    shot=$root/out/$shots_name-$n.png
    import -window "$target" "$shot"
    shots+=("$shot")
  done
  xdotool key space
  for i in $(seq 1 "$end_tenths"); do kill -0 "$saver" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$saver" 2>/dev/null; then echo "$name did not end on a key press." >&2; exit 1; fi
  wait "$saver" || { echo "$name ended with an error." >&2; exit 1; }
  saver=""
  echo "$name ended on a key press. Screenshots (pixels that are not black):"
  local lit lit_total=0
  for shot in "${shots[@]}"; do
    lit=$(python3 tests/e2e/shots.py lit "$shot")
    lit_total=$((lit_total + lit))
    printf '  %s (%s)\n' "$shot" "$lit"
  done
  if [ "$lit_total" = 0 ]; then
    echo "The screenshots are all black: $name showed no effect." >&2
    exit 1
  fi
}

if [ "${1:-}" = --x11 ]; then
  bash scripts/setup.sh x11
  cmake --preset native >/dev/null
  cmake --build --preset native --target orvane -- -j2 >/dev/null
  program=$root/build/native/x11/orvane
  if [ -n "${DISPLAY:-}" ]; then exec "$program" -window; fi
  source scripts/lib/xvfb.sh
  mkdir -p out
  saver=""
  cleanup() { [ -n "$saver" ] && kill "$saver" 2>/dev/null; xvfb_stop; }
  trap cleanup EXIT
  xvfb_start "${ORVANE_SCREEN:-1024x768x24}"
  "$program" -window &
  saver=$!
  watch_and_end orvane orvane x11 window 50 30
  exit 0
fi
bash scripts/setup.sh run
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Orvane -- -j2 >/dev/null

source scripts/lib/xvfb.sh
prefix=$root/build/win64/wineprefix
scr=$root/build/win64/Orvane.scr

if [ -n "${DISPLAY:-}" ]; then
  wine_prepare "$prefix"
  # No picture file named: the saver generates its default picture.
  wine reg delete 'HKCU\Software\Tolvaine\Orvane\Config' /v FilenameGif /f >/dev/null 2>&1 || true
  exec "$WINE64" "$scr" /s
fi

mkdir -p out
saver=""
cleanup() {
  [ -n "$saver" ] && kill "$saver" 2>/dev/null
  wine_stop "$prefix"
  xvfb_stop
}
trap cleanup EXIT
xvfb_start "${ORVANE_SCREEN:-1024x768x24}"
wine_prepare "$prefix"
# An empty settings store (the tests share this prefix and leave theirs): the
# default picture with its text, every setting at its default.
wine reg delete 'HKCU\Software\Tolvaine' /f >/dev/null 2>&1 || true

wine "$scr" /s >/dev/null 2>&1 &
saver=$!
watch_and_end "The saver" orvane.scr saver root 150 80
