#!/usr/bin/env bash
# Regenerates docs/dialog.png: the settings dialog with an empty store, as Wine
# draws it on a private Xvfb display (fonts substituted: see the README).
set -eu
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh run
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Orvane orvane_probe -- -j2 >/dev/null
source scripts/lib/xvfb.sh
set +e
prefix=$PWD/build/win64/wineprefix
probe=build/win64/tests/e2e/orvane_probe.exe
xvfb_start 1024x768x24 || exit 1
trap 'wine reg delete "HKCU\\Software\\Wine\\X11 Driver" /v Managed /f >/dev/null 2>&1; wine_stop "$prefix"; xvfb_stop' EXIT
wine_prepare "$prefix"
wine reg delete 'HKCU\Software\Tolvaine' /f >/dev/null 2>&1
# Unmanaged, Wine draws the caption itself (there is no window manager).
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine build/win64/Orvane.scr /c >/dev/null 2>&1 &
dlg=$(wine "$probe" dialog "Orvane ScreenSaver v2.1" 15 | tr -d '\r')
[ "$dlg" != none ] || { echo "no dialog" >&2; exit 1; }
sleep 1
read -r _ _ _ left top right bottom <<<"$(wine "$probe" info "$dlg" | tr -d '\r')"
import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage -strip docs/dialog.png
xdotool key Escape
echo "docs/dialog.png: $((right - left)) x $((bottom - top))"
