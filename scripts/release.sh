#!/usr/bin/env bash
# Builds the release zip: Orvane.scr, README.txt and LICENSE.txt (text with CR LF
# line ends), in that order, with fixed time stamps and attributes, so that the
# same sources give the same bytes.
#   scripts/release.sh [--scr Orvane.scr] [--out Orvane.zip]
# Without --scr it builds the win32 preset first. The time stamp is
# SOURCE_DATE_EPOCH, else the time of the last commit, else 1980-01-01.
set -eu
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
scr=""
out="$root/build/release/Orvane.zip"
while [ $# -gt 0 ]; do
  case "$1" in
    --scr) scr=${2:?--scr needs a file}; shift 2 ;;
    --out) out=${2:?--out needs a file}; shift 2 ;;
    *) echo "usage: release.sh [--scr Orvane.scr] [--out Orvane.zip]" >&2; exit 2 ;;
  esac
done

if [ -z "$scr" ]; then
  bash "$root/scripts/setup.sh" release
  (cd "$root" && cmake --preset win32 >/dev/null && cmake --build --preset win32 --target Orvane -- -j2 >/dev/null)
  scr="$root/build/win32/Orvane.scr"
fi
bash "$root/scripts/check-artifact.sh" "$scr" >/dev/null || {
  bash "$root/scripts/check-artifact.sh" "$scr" | grep '^FAIL' >&2
  echo "release.sh: $scr fails the artifact check" >&2
  exit 1
}

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 315532800)
fi
mkdir -p "$(dirname "$out")"
python3 - "$scr" "$root/release/README.txt" "$root/LICENSE" "$out" "$SOURCE_DATE_EPOCH" <<'PY'
import os, sys, time, zipfile

scr, readme, licence, out, epoch = sys.argv[1:]
# DOS time stamps start in 1980 and count in two-second steps; UTC, so that the
# build machine's time zone does not show.
stamp = time.gmtime(max(int(epoch), 315532800))[:6]

def text(path):
    data = open(path, 'rb').read().replace(b'\r\n', b'\n')
    return data.replace(b'\n', b'\r\n')

entries = [
    ('Orvane.scr', open(scr, 'rb').read()),
    ('README.txt', text(readme)),
    ('LICENSE.txt', text(licence)),
]
tmp = out + '.tmp'
with zipfile.ZipFile(tmp, 'w') as z:
    for name, data in entries:
        info = zipfile.ZipInfo(name, date_time=stamp)
        info.create_system = 0  # MS-DOS: no Unix permissions in the archive
        info.external_attr = 0
        info.compress_type = zipfile.ZIP_DEFLATED
        z.writestr(info, data, compresslevel=9)
os.replace(tmp, out)
PY
echo "$out: $(stat -c %s "$out") bytes (Orvane.scr $(stat -c %s "$scr") bytes)"
