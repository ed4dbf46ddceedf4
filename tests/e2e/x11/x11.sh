#!/usr/bin/env bash
# End-to-end tests of the native X11 program on a private Xvfb (no Wine).
#   x11.sh CASE
# Cases: {own,window-id,env-root,root}-{24,16,8}, resize, missing-file, input,
# window-gone, server-killed, no-shm, xsecurelock, sweep-ints, sweep-strings,
# sweep-pictures.
# Environment: ORVANE_X11 (the program), ORVANE_TEST_WINDOW (the helper that
# makes a window), ORVANE_SHOTS (folder for screenshots).
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../../.." && pwd)
source "$root/scripts/lib/xvfb.sh"
program=${ORVANE_X11:?ORVANE_X11 names the program}
test_window=${ORVANE_TEST_WINDOW:?ORVANE_TEST_WINDOW names the window helper}
shots=${ORVANE_SHOTS:-$root/build/x11-shots}
case_name=${1:?case}
mkdir -p "$shots"
shots_py="$root/tests/e2e/shots.py"

failures=0
pass() { echo "ok: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

PID=""
HELPER=""
cleanup() {
  [ -n "$PID" ] && kill -KILL "$PID" 2>/dev/null
  [ -n "$HELPER" ] && kill "$HELPER" 2>/dev/null
  [ -n "${LOCKER:-}" ] && kill "$LOCKER" 2>/dev/null
  xvfb_stop
}
trap cleanup EXIT

W=640 H=480
# A quiet light that is easy to follow: no text, a small lit window, 10
# frames per second, 0.05 radians a frame on a 200 x 150 ellipse.
CX=$((W / 2)) CY=$((H / 2)) XR=200 YR=150
follow=(-frame-rate 10 -speed 10 -text-lines "" -x-fall-off 20 -y-fall-off 20 -x-distance $XR -y-distance $YR)

# running PID: the process exists and is not a zombie.
running() { [ -r "/proc/$1/stat" ] && [ "$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null)" != Z ]; }
# wait_end PID SECONDS: true when it ended in time.
wait_end() {
  local i n
  n=$(awk -v s="$2" 'BEGIN { printf "%d", s * 100 }')
  for ((i = 0; i < n; i++)); do running "$1" || return 0; sleep 0.01; done
  ! running "$1"
}
segments_of() { ipcs -m -p 2>/dev/null | awk -v p="$1" '$3 == p' | wc -l; }
now() { date +%s.%N; }

start() {  # start ARGS...: the program in the background, PID set
  "$program" "$@" >"$shots/$case_name.log" 2>&1 &
  PID=$!
  sleep 0.3
  running "$PID" || { fail "the program ended at once: $(cat "$shots/$case_name.log")"; PID=""; return 1; }
}

# term_check LABEL: SIGTERM ends it within half a second, status 0, no segment left.
term_check() {
  local t0 t1 rc pid=$PID
  t0=$(now)
  kill -TERM "$pid"
  if wait_end "$pid" 0.5; then
    t1=$(now)
    pass "$1: SIGTERM ends it in $(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%d", (b - a) * 1000 }') ms"
  else
    fail "$1: still running 0.5 s after SIGTERM"
    wait_end "$pid" 5 || kill -KILL "$pid"
  fi
  wait "$pid"; rc=$?; PID=""
  [ "$rc" = 0 ] && pass "$1: exit status 0" || fail "$1: exit status $rc"
  [ "$(segments_of "$pid")" = 0 ] && pass "$1: no shared-memory segment left" || fail "$1: segments left: $(ipcs -m -p | awk -v p="$pid" '$3 == p')"
}

shot() { import -window "${2:-root}" "$1" 2>/dev/null; }

# lit_and_rate LABEL [WINDOW]: lit pixels that move at about 10 frames per second.
lit_and_rate() {
  local a="$shots/$case_name-1.png" b="$shots/$case_name-2.png" t1 t2 lit rate
  sleep 0.5
  t1=$(now); shot "$a" "${2:-root}"; t1=$(awk -v a="$t1" -v b="$(now)" 'BEGIN { printf "%.3f", (a + b) / 2 }')
  sleep 2
  t2=$(now); shot "$b" "${2:-root}"; t2=$(awk -v a="$t2" -v b="$(now)" 'BEGIN { printf "%.3f", (a + b) / 2 }')
  lit=$(python3 "$shots_py" lit "$a")
  [ "$lit" -gt 200 ] && pass "$1: $lit pixels lit" || fail "$1: only $lit pixels lit"
  [ "$(python3 "$shots_py" differ "$a" "$b")" -gt 0 ] && pass "$1: the frames change" || fail "$1: the frames do not change"
  rate=$(python3 "$here/rate.py" $CX $CY $XR $YR 0.05 "$t1" "$a" "$t2" "$b") || { fail "$1: no rate"; return; }
  if awk -v r="$rate" 'BEGIN { exit !(r >= 7 && r <= 13) }'; then pass "$1: about $rate frames per second (10 set)"
  else fail "$1: $rate frames per second, 10 set"; fi
}

own_window() {  # the program's own window, by its class
  local i win=""
  for i in $(seq 1 40); do win=$(xdotool search --classname orvane 2>/dev/null | head -1); [ -n "$win" ] && break; sleep 0.05; done
  echo "$win"
}

helper_window() {  # helper_window W H: HELPER and WINDOW set
  local out="$shots/$case_name.window"
  "$test_window" "$1" "$2" >"$out" &
  HELPER=$!
  local i
  for i in $(seq 1 50); do [ -s "$out" ] && break; sleep 0.05; done
  WINDOW=$(head -1 "$out")
  [ -n "$WINDOW" ] || fail "the helper made no window"
}

case "$case_name" in
  own-*|window-id-*|env-root-*|root-*)
    depth=${case_name##*-}
    mode=${case_name%-*}
    xvfb_start "${W}x${H}x$depth" -br || exit 1
    target=root
    case "$mode" in
      own) start "${follow[@]}" || exit 1; target=$(own_window) ;;
      window-id) helper_window $W $H; start -window-id "$WINDOW" "${follow[@]}" || exit 1; target=$WINDOW ;;
      env-root) helper_window $W $H; XSCREENSAVER_WINDOW=$WINDOW start -root "${follow[@]}" || exit 1; target=$WINDOW ;;
      root) start -root "${follow[@]}" || exit 1 ;;
    esac
    [ "$(segments_of "$PID")" -gt 0 ] && pass "$mode at depth $depth: draws through shared memory" || fail "$mode at depth $depth: no shared-memory segment"
    # The window itself is shot, so that its own colormap (depth 8) is used.
    lit_and_rate "$mode at depth $depth" "$target"
    term_check "$mode at depth $depth"
    ;;
  resize)
    xvfb_start "${W}x${H}x24" -br || exit 1
    start -frame-rate 20 -speed 40 -text-lines "" -x-fall-off 40 -y-fall-off 40 -x-distance 100 -y-distance 60 || exit 1
    win=$(own_window)
    [ -n "$win" ] || { fail "no window"; exit 1; }
    xdotool windowsize "$win" 300 200
    sleep 0.7
    shot "$shots/resize-1.png" "$win"; sleep 0.3; shot "$shots/resize-2.png" "$win"
    geometry=$(identify -format '%wx%h' "$shots/resize-1.png")
    [ "$geometry" = 300x200 ] && pass "the window is now 300x200" || fail "the window is $geometry"
    # The light's path is set up again about the new centre (150, 100).
    for s in 1 2; do
      box=$(E2E="$here" python3 - "$shots/resize-$s.png" <<'PY'
import sys, os
sys.path.insert(0, os.path.join(os.environ["E2E"], ".."))
import shots
p = shots.not_black(shots.load(sys.argv[1]))
print(len(p), *(shots.box(p) if p else (0, 0, 0, 0)))
PY
)
      read -r n x0 y0 x1 y1 <<<"$box"
      if [ "$n" -gt 100 ] && [ "$x1" -lt 300 ] && [ "$y1" -lt 200 ]; then pass "frame $s at the new size: $n lit pixels in $x0,$y0-$x1,$y1"
      else fail "frame $s after the resize: $box"; fi
    done
    [ "$(python3 "$shots_py" differ "$shots/resize-1.png" "$shots/resize-2.png")" -gt 0 ] && pass "frames go on after the resize" || fail "no frames after the resize"
    term_check "resized"
    ;;
  missing-file)
    xvfb_start "${W}x${H}x24" -br || exit 1
    start -picture /nonexistent/orvane-missing.gif || exit 1
    sleep 0.5; shot "$shots/missing-file.png"
    read -r x0 y0 x1 y1 <<<"$(python3 "$shots_py" band "$shots/missing-file.png")"
    if [ -n "${y0:-}" ] && [ "$y0" = $((H / 2)) ] && [ $(( (x0 + x1) / 2 - W / 2 )) -le 2 ] && [ $(( W / 2 - (x0 + x1) / 2 )) -le 2 ]; then
      pass "red band at $x0,$y0-$x1,$y1: top at half the height, centred"
    else fail "red band at '$x0 $y0 $x1 $y1'"; fi
    # Letters in it: black inside the band; the rest of the screen black.
    inside=$(python3 "$shots_py" lit "$shots/missing-file.png")
    band=$(( (x1 - x0 + 1) * (y1 - y0 + 1) ))
    [ "$inside" -lt "$band" ] && [ "$inside" -gt $((band / 2)) ] && pass "letters on the band ($((band - inside)) dark pixels)" || fail "no letters on the band ($inside lit of $band)"
    [ "$(python3 "$shots_py" lit "$shots/missing-file.png" 0 0 $((x0 - 1)) $H)" -le "$band" ] && pass "black around the band" || fail "the screen around the band is not black"
    # The band says what was not found: about the width of the message.
    width=$((x1 - x0))
    [ "$width" -gt 250 ] && pass "band $width pixels wide for \" Sorry, file not found: /nonexistent/orvane-missing.gif \"" || fail "band only $width pixels wide"
    term_check "missing picture"
    ;;
  input)
    xvfb_start "${W}x${H}x24" -br || exit 1
    for how in key button close; do
      start "${follow[@]}" || exit 1
      win=$(own_window)
      case $how in
        key) xdotool key --window "$win" x ;;
        button) xdotool mousemove 100 100 click 1 ;;
        close) xdotool windowclose "$win" 2>/dev/null || xdotool windowkill "$win" ;;
      esac
      if wait_end "$PID" 2; then wait "$PID"; rc=$?; [ "$how" = close ] || [ $rc = 0 ] || fail "$how: status $rc"; pass "a $how ends its own window (status $rc)"
      else fail "a $how did not end it"; kill -KILL "$PID"; fi
      PID=""
    done
    # A host's window takes no input: the host ends the program.
    helper_window $W $H
    start -window-id "$WINDOW" "${follow[@]}" || exit 1
    xdotool mousemove 100 100 click 1 key x
    sleep 0.5
    running "$PID" && pass "in a host's window a key and a button change nothing" || fail "input ended it in a host's window"
    term_check "host's window"
    ;;
  window-gone)
    xvfb_start "${W}x${H}x24" -br || exit 1
    helper_window $W $H
    start -window-id "$WINDOW" "${follow[@]}" || exit 1
    sleep 0.5
    kill -USR1 "$HELPER"
    if wait_end "$PID" 1; then wait "$PID"; rc=$?; pass "ends when its window is destroyed (status $rc)"; [ $rc = 0 ] || fail "status $rc"
    else fail "still running 1 s after its window was destroyed"; fi
    PID=""
    ;;
  server-killed)
    xvfb_start "${W}x${H}x24" -br || exit 1
    start -root "${follow[@]}" || exit 1
    sleep 0.5
    kill -KILL "$XVFB_PID"; wait "$XVFB_PID" 2>/dev/null; XVFB_PID=""
    if wait_end "$PID" 2; then wait "$PID"; rc=$?; pass "ends when the server is gone (status $rc: $(tr -d '\n' <"$shots/$case_name.log"))"
    else fail "still running 2 s after the server was killed"; fi
    pid=$PID; PID=""
    [ "$(segments_of "$pid")" = 0 ] && pass "no shared-memory segment left" || fail "segments left"
    ;;
  no-shm)
    # A server without MIT-SHM, as a remote display: plain XPutImage.
    xvfb_start "${W}x${H}x24" -br -extension MIT-SHM || exit 1
    start "${follow[@]}" || exit 1
    [ "$(segments_of "$PID")" = 0 ] && pass "no shared memory without the extension" || fail "a segment without the extension"
    lit_and_rate "without MIT-SHM"
    term_check "without MIT-SHM"
    ;;
  xsecurelock)
    xvfb_start "1024x768x24" -br || exit 1
    W=1024 H=768
    XSECURELOCK_SAVER="$program" XSECURELOCK_NO_COMPOSITE=1 xsecurelock >"$shots/xsecurelock.log" 2>&1 &
    LOCKER=$!
    saver=""
    for i in $(seq 1 100); do
      saver=$(for p in $(pgrep -x orvane); do [ "$(readlink -f /proc/$p/exe)" = "$(readlink -f "$program")" ] && grep -qz XSCREENSAVER_WINDOW "/proc/$p/environ" && echo $p; done | head -1)
      [ -n "$saver" ] && break; sleep 0.1
    done
    [ -n "$saver" ] && pass "the locker started the program (pid $saver: $(tr '\0' ' ' </proc/$saver/cmdline))" || { fail "the locker did not start the program"; exit 1; }
    sleep 1.5
    shot "$shots/xsecurelock-1.png"; sleep 0.5; shot "$shots/xsecurelock-2.png"
    lit=$(python3 "$shots_py" lit "$shots/xsecurelock-1.png")
    [ "$lit" -gt 500 ] && pass "the locker's window shows the effect ($lit pixels lit)" || fail "the locker's window shows $lit lit pixels"
    [ "$(python3 "$shots_py" differ "$shots/xsecurelock-1.png" "$shots/xsecurelock-2.png")" -gt 0 ] && pass "its frames change" || fail "its frames do not change"
    kill -TERM "$LOCKER"
    wait_end "$saver" 2 && pass "the program is gone with the locker" || fail "the program outlived the locker"
    wait_end "$LOCKER" 3 || { fail "the locker did not end on SIGTERM"; kill -KILL "$LOCKER"; }
    LOCKER=""
    [ "$(segments_of "$saver")" = 0 ] && pass "no shared-memory segment left" || fail "segments left"
    ;;
  sweep-*)
    xvfb_start "${W}x${H}x24" -br || exit 1
    ints=(frame-rate speed x-fall-off y-fall-off x-distance y-distance multiplier from-index cw-direction text-size font-width font-height)
    strings=(picture x-position y-position text-lines font-face font-style)
    runs=()
    sweep_run() {  # sweep_run LABEL ARGS...: starts, runs a second, ends on SIGTERM
      local label=$1; shift
      start "$@" || { fail "$label: did not start"; return; }
      sleep 1
      running "$PID" && pass "$label: runs" || { fail "$label: ended by itself: $(cat "$shots/$case_name.log")"; PID=""; return; }
      term_check "$label"
    }
    case "$case_name" in
      sweep-ints)
        for v in -2147483648 -1 0 2147483647; do
          args=(); for o in "${ints[@]}"; do args+=("-$o" "$v"); done
          sweep_run "every integer $v" "${args[@]}"
          # The others at the extreme with the light on the screen at 30 frames a second.
          args=(); for o in "${ints[@]}"; do case $o in frame-rate|x-distance|y-distance) ;; *) args+=("-$o" "$v") ;; esac; done
          sweep_run "every integer but rate and radii $v" "${args[@]}"
        done
        ;;
      sweep-strings)
        long=$(head -c 10000 /dev/zero | tr '\0' 'W')
        args=(); for o in "${strings[@]}"; do args+=("-$o" "$long"); done
        sweep_run "10000-character texts" "${args[@]}"
        args=(); for o in "${strings[@]}"; do [ "$o" = picture ] || args+=("-$o" "$long"); done
        sweep_run "10000-character texts, default picture" "${args[@]}" -font-height 2
        sweep_run "text of lines and odd bytes" -text-lines $'a\nb\r\nc\n\n\nd\ne' -font-face $'\xff\xfe' -x-position $'\x01'
        ;;
      sweep-pictures)
        for f in "$root"/fuzz/corpus/picture/* "$root"/fuzz/corpus/gif/*; do
          [ -f "$f" ] || continue
          sweep_run "picture $(basename "$f")" -picture "$f" -frame-rate 50
        done
        ;;
    esac
    ;;
  *) echo "unknown case $case_name" >&2; exit 2 ;;
esac

if [ "$failures" -gt 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "all passed"
