#!/usr/bin/env bash
# End-to-end tests of the saver under Wine on a private Xvfb display.
#   saver.sh CASE
# Environment: ORVANE_SCR (the .scr), ORVANE_PROBE (orvane_probe.exe),
#              ORVANE_WINEPREFIX, ORVANE_SHOTS (folder for screenshots).
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../scripts/lib/xvfb.sh"

case_name=${1:?usage: saver.sh CASE}
scr=${ORVANE_SCR:?} probe=${ORVANE_PROBE:?} prefix=${ORVANE_WINEPREFIX:?}
shots=${ORVANE_SHOTS:-$(dirname "$scr")/e2e-shots}
mkdir -p "$shots"

SAVER_PID=""
failures=0

cleanup() {
  [ -n "$SAVER_PID" ] && kill "$SAVER_PID" 2>/dev/null
  wine_stop "$prefix"
  xvfb_stop
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

start_saver() {
  wine "$scr" "$@" >/dev/null 2>&1 &
  SAVER_PID=$!
}

# Prints the probe's line for the saver's window; waits up to 15 s for it.
find_window() { wine "$probe" find 15 2>/dev/null | tr -d '\r'; }

# True when the saver process ends within $1 seconds.
ends_within() {
  local i
  for i in $(seq 1 $(($1 * 10))); do
    if ! kill -0 "$SAVER_PID" 2>/dev/null; then wait "$SAVER_PID"; SAVER_PID=""; return 0; fi
    sleep 0.1
  done
  return 1
}

still_running_after() { sleep "$1"; kill -0 "$SAVER_PID" 2>/dev/null; }

stop_saver() {
  [ -n "$SAVER_PID" ] || return 0
  kill "$SAVER_PID" 2>/dev/null; wait "$SAVER_PID" 2>/dev/null; SAVER_PID=""
  wine_stop "$prefix"
}

# Starts the saver with /s with the pointer at ($1, $2), waits for its window
# and takes a screenshot. The window's first WM_MOUSEMOVE comes from the
# system when the window appears under the pointer: that position is the origin.
open_saver() {
  xdotool mousemove "${1:-512}" "${2:-384}"
  start_saver /s
  local line; line=$(find_window)
  [ "$line" != "none" ] && [ -n "$line" ] || { fail "$case_name: no saver window"; return 1; }
  HWND=${line%% *}
  sleep 0.5
  import -window root "$shots/$case_name.png" 2>/dev/null
  return 0
}

expect_end() {
  if ends_within 8; then pass "$1 ends the saver"; else fail "$1 did not end the saver"; stop_saver; fi
}
# A close takes a moment to become visible (the window's destruction under Wine
# waits about 2 s), so a running saver is judged after 3 s.
expect_running() {
  if still_running_after 3 && xdotool search --onlyvisible --classname orvane.scr >/dev/null 2>&1; then
    pass "$1 keeps the saver"
  else
    fail "$1 ended the saver"; stop_saver
  fi
}

xvfb_start 1024x768x24 || exit 1
wine_prepare "$prefix" || exit 1
wine reg delete 'HKCU\Software\Tolvaine' /f >/dev/null 2>&1

case "$case_name" in
  preview)
    for args in "/p" "/p 1234" "-P"; do
      # shellcheck disable=SC2086
      start_saver $args
      seen=0
      for i in $(seq 1 80); do
        xdotool search --onlyvisible --classname orvane.scr >/dev/null 2>&1 && seen=1
        kill -0 "$SAVER_PID" 2>/dev/null || break
        sleep 0.1
      done
      if kill -0 "$SAVER_PID" 2>/dev/null; then fail "'$args' still running after 8 s"; stop_saver
      else
        wait "$SAVER_PID"; rc=$?; SAVER_PID=""
        [ $seen = 0 ] && pass "'$args' showed no window" || fail "'$args' showed a window"
        [ $rc = 0 ] && pass "'$args' exit code 0" || fail "'$args' exit code $rc"
      fi
    done
    ;;
  switches)
    for args in "/s" "/S" "-s" "s" "/s:" "/s 99"; do
      # shellcheck disable=SC2086
      start_saver $args
      line=$(find_window)
      read -r hwnd style exstyle left top right bottom sw sh count <<<"$line"
      if [ "$line" = "none" ] || [ -z "$line" ]; then fail "'$args' opened no window"; stop_saver; continue; fi
      # WS_POPUP | WS_VISIBLE and no caption, frame or border bits; WS_EX_TOPMOST.
      # WS_POPUP | WS_VISIBLE set; no caption, border or sizing frame (the system adds WS_CLIPSIBLINGS).
      (( (style & 0x90000000) == 0x90000000 && (style & 0x00C40000) == 0 )) \
        && pass "'$args' popup, visible, borderless" || fail "'$args' style $style"
      (( exstyle & 0x8 )) && pass "'$args' topmost" || fail "'$args' exstyle $exstyle"
      [ "$left $top $right $bottom" = "0 0 $sw $sh" ] && pass "'$args' covers the ${sw}x${sh} screen" \
        || fail "'$args' rect $left $top $right $bottom on ${sw}x${sh}"
      [ "$count" = 1 ] && pass "'$args' one window" || fail "'$args' $count windows"
      xdotool key x
      expect_end "key after '$args'"
    done
    ;;
  key) open_saver && { xdotool key x; expect_end "a key"; } ;;
  alt) open_saver && { xdotool key Alt_L; expect_end "Alt alone"; } ;;
  left-click) open_saver && { xdotool click 1; expect_end "a left click"; } ;;
  right-click) open_saver && { xdotool click 3; expect_end "a right click"; } ;;
  middle-click) open_saver && { xdotool click 2; expect_end "a middle click"; } ;;
  first-move)
    # Wherever the pointer is when the window appears, that first movement never ends it.
    open_saver 1000 10 && {
      expect_running "the first movement, at the screen's edge"
      xdotool mousemove 1003 10; expect_running "3 pixels from the first position"
      xdotool mousemove 1002 12; expect_end "4 pixels from the first position"
    } ;;
  threshold)
    open_saver 300 300 && {
      xdotool mousemove 302 301; expect_running "2 across and 1 down"
      xdotool mousemove 301 302; expect_running "1 across and 2 down"
      xdotool mousemove 302 302; expect_end "2 across and 2 down"
    } ;;
  drift)
    open_saver 200 200 && {
      for x in 201 202 203; do xdotool mousemove $x 200; expect_running "a drift to $((x - 200)) pixels"; done
      xdotool mousemove 204 200; expect_end "a drift to 4 pixels"
    } ;;
  syscommand)
    open_saver && {
      wine "$probe" post "$HWND" 0x0112 0xF140 0; expect_running "WM_SYSCOMMAND SC_SCREENSAVE"
      wine "$probe" post "$HWND" 0x0112 0xF060 0; expect_end "WM_SYSCOMMAND SC_CLOSE"
    } ;;
  *) echo "unknown case $case_name"; exit 2 ;;
esac

stop_saver
echo "$case_name: $failures failure(s)"
[ $failures = 0 ]
