#!/usr/bin/env bash
# End-to-end tests of the saver under Wine on a private Xvfb display.
#   saver.sh CASE
# Environment: ORVANE_SCR (the .scr), ORVANE_PROBE (orvane_probe.exe),
#              ORVANE_WINEPREFIX, ORVANE_SHOTS (folder for screenshots).
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/lib.sh"
e2e_env "$@"
e2e_begin 1024x768x24

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
      # As open_saver: a moment for the window to take the keyboard.
      sleep 0.5
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
  version-*)
    # The Windows version Wine presents to the program (its AppDefaults):
    # the saver starts, its frames change, and a key ends it.
    app_key='HKCU\Software\Wine\AppDefaults\Orvane.scr'
    trap 'wine reg delete "$app_key" /f >/dev/null 2>&1; cleanup' EXIT
    wine reg add "$app_key" /v Version /d "${case_name#version-}" /f >/dev/null 2>&1
    open_saver && {
      sleep 1; import -window root "$shots/$case_name-2.png" 2>/dev/null
      lit=$(python3 "$here/shots.py" lit "$shots/$case_name-2.png")
      differ=$(python3 "$here/shots.py" differ "$shots/$case_name.png" "$shots/$case_name-2.png")
      [ "$lit" -gt 0 ] && pass "$lit pixels lit" || fail "nothing lit"
      [ "$differ" -gt 0 ] && pass "the frames change ($differ pixels)" || fail "the screen does not change"
      xdotool key x; expect_end "a key"
    } ;;
  *) echo "unknown case $case_name"; exit 2 ;;
esac

e2e_end
