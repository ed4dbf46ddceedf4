#!/usr/bin/env bash
# End-to-end tests of the covers on the monitors beside the primary one.
#   monitors.sh CASE
# Xvfb with Xinerama and without RandR makes Wine see one monitor per X screen,
# every screen at 0, 0: a primary of 640 x 480 and a second monitor of
# 800 x 600 that overlaps it and reaches beyond it to the right and below.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/lib.sh"
e2e_env "$@"

# The visible saver windows, one "hwnd exstyle left top right bottom" a line.
windows() { wine "$probe" list 2>/dev/null | tr -d '\r'; }

# Starts the saver with the pointer at ($1, $2) and checks its two windows.
open_two() {
  xdotool mousemove "$1" "$2"
  start_saver /s
  [ "$(find_window)" != "none" ] || { fail "$case_name: no saver window"; return 1; }
  sleep 1.5
  local list; list=$(windows)
  import -window root "$shots/monitors-$case_name.png" 2>/dev/null
  # The effect stays visible on the primary monitor, where the cover overlaps it.
  local lit
  lit=$(convert "$shots/monitors-$case_name.png" -crop 640x480+0+0 +repage -colorspace gray -threshold 5% \
        -format '%[fx:round(mean*w*h)]' info: 2>/dev/null)
  [ "${lit:-0}" -gt 0 ] && pass "the effect shows on the primary monitor ($lit lit pixels)" \
    || fail "nothing lit on the primary monitor"
  local main cover
  main=$(awk '$3 == 0 && $4 == 0 && $5 == 640 && $6 == 480' <<<"$list")
  cover=$(awk '$3 == 0 && $4 == 0 && $5 == 800 && $6 == 600' <<<"$list")
  [ "$(wc -l <<<"$list")" = 2 ] && pass "two windows" || fail "windows: $list"
  [ -n "$main" ] && pass "the saver covers the primary monitor" || fail "no 640x480 window: $list"
  if [ -n "$cover" ]; then
    pass "a cover of the second monitor"
    (( $(awk '{print $2}' <<<"$cover") & 0x8 )) && pass "the cover is topmost" || fail "cover not topmost: $cover"
  else
    fail "no 800x600 cover: $list"
  fi
}

# Every window of the saver is gone when it has ended.
expect_all_gone() {
  local list; list=$(windows)
  [ -z "$list" ] && pass "no window left" || fail "windows left: $list"
}

case "$case_name" in
  single)
    e2e_begin 1024x768x24
    open_saver && {
      [ "$(windows | wc -l)" = 1 ] && pass "one monitor, one window" || fail "windows: $(windows)"
      xdotool key x; expect_end "a key"
    } ;;
  key)
    e2e_begin 640x480x24 +xinerama -extension RANDR -screen 1 800x600x24
    open_two 720 560 && {
      # Over the cover, outside the saver window: the cover shows black.
      pixel=$(convert "$shots/monitors-$case_name.png" -format '%[pixel:p{720,560}]' info: 2>/dev/null)
      case "$pixel" in srgb\(0,0,0\)|black|gray\(0\)) pass "the cover is black" ;; *) fail "cover pixel $pixel" ;; esac
      xdotool key x; expect_end "a key over the cover"; expect_all_gone
    } ;;
  click)
    e2e_begin 640x480x24 +xinerama -extension RANDR -screen 1 800x600x24
    open_two 720 560 && { xdotool click 1; expect_end "a click over the cover"; expect_all_gone; } ;;
  move)
    e2e_begin 640x480x24 +xinerama -extension RANDR -screen 1 800x600x24
    open_two 720 560 && {
      xdotool mousemove 722 561; expect_running "3 pixels over the cover"
      xdotool mousemove 722 562; expect_end "4 pixels over the cover"; expect_all_gone
    } ;;
  *) echo "unknown case $case_name"; exit 2 ;;
esac

e2e_end
