#!/usr/bin/env bash
# The README's picture of the native program in XSecureLock's window: the
# locker on a private Xvfb with XSECURELOCK_SAVER naming orvane (default
# settings), five screenshots of the locked screen, the one with the most lit
# pixels kept as docs/x11-xsecurelock.png.
set -eu
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
bash scripts/setup.sh x11
command -v xsecurelock >/dev/null || { SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo; $SUDO apt-get install -y -qq xsecurelock >/dev/null; }
cmake --preset native >/dev/null
cmake --build --preset native --target orvane -- -j2 >/dev/null
source scripts/lib/xvfb.sh
work=$(mktemp -d)
locker=""
cleanup() {
  if [ -n "$locker" ]; then
    kill "$locker" 2>/dev/null || true
    for i in $(seq 1 30); do kill -0 "$locker" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$locker" 2>/dev/null || true
  fi
  xvfb_stop
  rm -rf "$work"
}
trap cleanup EXIT
xvfb_start 1024x768x24 -br
XSECURELOCK_SAVER=$root/build/native/x11/orvane XSECURELOCK_NO_COMPOSITE=1 xsecurelock >/dev/null 2>&1 &
locker=$!
sleep 2
best="" best_lit=-1
for n in 1 2 3 4 5; do
  import -window root "$work/shot-$n.png"
  lit=$(python3 tests/e2e/shots.py lit "$work/shot-$n.png")
  if [ "$lit" -gt "$best_lit" ]; then best=$work/shot-$n.png best_lit=$lit; fi
  sleep 0.37
done
[ "$best_lit" -gt 0 ] || { echo "The locker's screen stayed black." >&2; exit 1; }
convert "$best" -strip docs/x11-xsecurelock.png
echo "docs/x11-xsecurelock.png: $best_lit pixels lit"
