# Shared helpers: a private Xvfb display and a Wine prefix in the build tree.
# Sourced by scripts/wine-run, scripts/run.sh and the end-to-end tests.

export WINEDEBUG=-all
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"  # no Mono/Gecko install prompts

XVFB_PID=""

# Starts Xvfb on the first free display number from 90 on; sets DISPLAY.
xvfb_start() {
  local screen=$1 n
  for n in $(seq 90 190); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 "$screen" -nolisten tcp -noreset >/dev/null 2>&1 &
    XVFB_PID=$!
    local i
    for i in $(seq 1 50); do
      if xdpyinfo -display ":$n" >/dev/null 2>&1; then export DISPLAY=":$n"; return 0; fi
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; XVFB_PID=""
  done
  echo "xvfb: no display could be started" >&2
  return 1
}

xvfb_stop() {
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
  fi
}

# Creates the prefix on first use (about 8 s) under a lock, so parallel callers wait.
wine_prepare() {
  export WINEPREFIX=$1
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.orvane-ready" ]; then
      wineboot -i >/dev/null 2>&1
      wineserver -w
      touch "$WINEPREFIX/.orvane-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# Stops this prefix's wineserver and with it every Wine process of the prefix.
wine_stop() {
  [ -n "${1:-}" ] || return 0
  WINEPREFIX=$1 wineserver -k >/dev/null 2>&1
  WINEPREFIX=$1 wineserver -w >/dev/null 2>&1
}
