#!/usr/bin/env bash
# Two release builds from the same artifact, the second in another time zone and
# without SOURCE_DATE_EPOCH, are byte-identical; the zip holds exactly
# Orvane.scr (the artifact itself), README.txt and LICENSE.txt, in that order,
# the two texts with CR LF line ends.
#   release-zip-test.sh Orvane.scr WORKDIR
set -u
scr=${1:?usage: release-zip-test.sh Orvane.scr WORKDIR}
work=${2:?usage: release-zip-test.sh Orvane.scr WORKDIR}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
rm -rf "$work" && mkdir -p "$work"

env -u SOURCE_DATE_EPOCH TZ=UTC bash "$root/scripts/release.sh" --scr "$scr" --out "$work/first/Orvane.zip" || exit 1
env -u SOURCE_DATE_EPOCH TZ=Pacific/Kiritimati bash "$root/scripts/release.sh" --scr "$scr" --out "$work/second/Orvane.zip" || exit 1
if ! cmp "$work/first/Orvane.zip" "$work/second/Orvane.zip"; then
  echo "FAIL: two builds of the release zip differ"
  exit 1
fi

python3 - "$work/first/Orvane.zip" "$scr" "$root/LICENSE" <<'PY'
import sys, zipfile
zip_path, scr, licence = sys.argv[1:]
failures = []
with zipfile.ZipFile(zip_path) as z:
    names = z.namelist()
    if names != ['Orvane.scr', 'README.txt', 'LICENSE.txt']:
        failures.append('entries are %r' % names)
    if z.testzip() is not None:
        failures.append('CRC error in %s' % z.testzip())
    if 'Orvane.scr' in names and z.read('Orvane.scr') != open(scr, 'rb').read():
        failures.append('Orvane.scr in the zip is not the artifact')
    for name in ('README.txt', 'LICENSE.txt'):
        if name not in names:
            continue
        data = z.read(name)
        lines = data.split(b'\n')
        if not data.endswith(b'\r\n') or any(not l.endswith(b'\r') for l in lines[:-1]) or b'\r' in data.replace(b'\r\n', b''):
            failures.append('%s does not have CR LF line ends throughout' % name)
        if any(c > 0x7e or (c < 0x20 and c not in (0x0a, 0x0d)) for c in data):
            failures.append('%s is not plain ASCII text' % name)
    if 'LICENSE.txt' in names and z.read('LICENSE.txt').replace(b'\r\n', b'\n') != open(licence, 'rb').read():
        failures.append('LICENSE.txt is not the licence')
    if 'README.txt' in names and b'HKEY_CURRENT_USER\\Software\\Tolvaine\\Orvane\\Config' not in z.read('README.txt'):
        failures.append('README.txt does not say where the settings live')
for f in failures:
    print('FAIL:', f)
if not failures:
    print('ok: %s holds %s' % (zip_path, ', '.join(names)))
sys.exit(1 if failures else 0)
PY
