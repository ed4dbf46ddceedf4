# Shared by the end-to-end scripts: a private Xvfb, the Wine prefix, the saver
# process and pass/fail bookkeeping. The sourcing script sets case_name, scr,
# probe, prefix and shots first (see e2e_env), then calls e2e_begin.

source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/xvfb.sh"

# Reads the environment that CTest passes in; config is the saver's settings
# key and data a folder for the files a case makes.
e2e_env() {
  case_name=${1:?usage: SCRIPT CASE}
  scr=${ORVANE_SCR:?} probe=${ORVANE_PROBE:?} prefix=${ORVANE_WINEPREFIX:?}
  shots=${ORVANE_SHOTS:-$(dirname "$scr")/e2e-shots}
  config='HKCU\Software\Tolvaine\Orvane\Config'
  data=$shots/data
  mkdir -p "$shots" "$data"
}

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
  wine_any "$scr" "$@" >/dev/null 2>&1 &
  SAVER_PID=$!
}

# Prints the probe's line for the saver's window; waits up to 15 s for it.
# An empty answer means the probe itself did not run, which a full run under
# Wine showed once: ask again.
find_window() {
  local line="" i
  for i in 1 2 3; do
    line=$(wine "$probe" find 15 2>/dev/null | tr -d '\r')
    [ -n "$line" ] && break
    sleep 1
  done
  echo "$line"
}

# True when the saver process ends within $1 seconds; its exit status is then in SAVER_STATUS.
SAVER_STATUS=""
ends_within() {
  local i
  for i in $(seq 1 $(($1 * 10))); do
    if ! kill -0 "$SAVER_PID" 2>/dev/null; then wait "$SAVER_PID"; SAVER_STATUS=$?; SAVER_PID=""; return 0; fi
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

# The end is given 15 s: a window's destruction under Wine takes about 2 s,
# and under emulation with another suite beside it several times that.
expect_end() {
  if ends_within 15; then pass "$1 ends the saver"; else fail "$1 did not end the saver"; stop_saver; fi
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

# A path of this machine as Wine's Z: drive names it.
winpath() { local p=$1; echo "Z:${p//\//\\}"; }

# Starts the display (WxHxD, further Xvfb arguments may follow) and the
# prefix, with an empty settings store.
e2e_begin() {
  xvfb_start "${1:-1024x768x24}" "${@:2}" || exit 1
  wine_prepare "$prefix" "$(wine_loader "$scr")" || exit 1
  wine reg delete 'HKCU\Software\Tolvaine' /f >/dev/null 2>&1
}

# The last line of every script: the count, and the exit status.
e2e_end() {
  stop_saver
  echo "$case_name: $failures failure(s)"
  [ $failures = 0 ]
}

