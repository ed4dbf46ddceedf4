# Shared helpers: a private Xvfb display and a Wine prefix in the build tree.
# Sourced by scripts/wine-run, scripts/run.sh and the end-to-end tests.

export WINEDEBUG=-all
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"  # no Mono/Gecko install prompts

XVFB_PID=""

# Wine's loaders. With 32-bit Wine installed, /usr/bin/wine starts every
# program through the 32-bit loader (emulated on this kind of machine), which
# hands 64-bit programs on at the cost of an emulated start: 64-bit programs
# and Wine's own tools start through the 64-bit loader directly, the 32-bit
# release through `wine32`.
WINE64=/usr/lib/wine/wine64
[ -x "$WINE64" ] || WINE64=$(command -v wine)
WINE32=/usr/lib/wine/wine
wine() { "$WINE64" "$@"; }
wine32() { "$WINE32" "$@"; }
# The loader a program's file asks for: wine32 for a 32-bit Windows program
# (PE32, not PE32+), wine otherwise.
wine_loader() { if file -L "$1" 2>/dev/null | grep -q 'PE32 executable'; then echo wine32; else echo wine; fi; }
# Runs a program through that loader.
wine_any() { "$(wine_loader "$1")" "$@"; }

# Starts a private Xvfb on a display number that the server itself picks
# (lock files make the choice safe when several callers start at once); sets
# DISPLAY.  xvfb_start WxHxD [more Xvfb arguments, e.g. further -screen options]
xvfb_start() {
  local screen=$1; shift
  local numfile i n=""
  numfile=$(mktemp)
  Xvfb -displayfd 9 -screen 0 "$screen" "$@" -nolisten tcp -noreset 9>"$numfile" >/dev/null 2>&1 &
  XVFB_PID=$!
  for i in $(seq 1 100); do
    n=$(tr -dc 0-9 <"$numfile")
    [ -n "$n" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$numfile"
  if [ -n "$n" ] && xdpyinfo -display ":$n" >/dev/null 2>&1; then export DISPLAY=":$n"; return 0; fi
  kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; XVFB_PID=""
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

# Creates the prefix on first use (about 8 s) under a lock, so parallel callers
# wait. wine_prepare PREFIX [LOADER]: a prefix made by `wine32` holds the 32-bit
# side too (syswow64), one made by `wine` only the 64-bit one.
wine_prepare() {
  export WINEPREFIX=$1
  local loader=${2:-wine}
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.orvane-ready" ]; then
      "$loader" wineboot.exe -i >/dev/null 2>&1
      wineserver -w
      touch "$WINEPREFIX/.orvane-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# Stops this prefix's wineserver and with it every Wine process of the prefix.
wine_stop() {
  [ -n "${1:-}" ] || return 0
  # No server left to stop is not a failure (the saver's own end may have
  # taken it down already); a caller's exit status must not depend on it.
  WINEPREFIX=$1 wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$1 wineserver -w >/dev/null 2>&1 || true
}
