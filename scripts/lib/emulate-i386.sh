#!/usr/bin/env bash
# Lets this machine start 32-bit Linux programs, which its kernel refuses:
# QEMU's user-mode emulator becomes the kernel's interpreter for i386 ELF files
# (binfmt_misc), so Wine's 32-bit loader, and with it the 32-bit release
# Orvane.scr, runs. Debian 12's own qemu-user (7.2) takes about a minute to
# start a Wine process; the one from bookworm-backports (10) about 2 s, so
# that one is fetched with a private apt configuration that leaves the
# system's sources alone. The registration holds for the whole machine until
# it restarts; quick when it is already in place.
set -eu
SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
wine32=/usr/lib/wine/wine
cache=${ORVANE_TOOLS:-/var/cache/orvane}
qemu=$cache/bin/qemu-i386
binfmt=/proc/sys/fs/binfmt_misc

works() { timeout 60 "$wine32" --version >/dev/null 2>&1; }

registered_ours() { [ -f $binfmt/qemu-i386 ] && grep -qx "interpreter $qemu" $binfmt/qemu-i386 && grep -qx enabled $binfmt/qemu-i386; }
if registered_ours && works; then exit 0; fi

if [ ! -x "$qemu" ]; then
  echo "Fetching qemu-user from bookworm-backports"
  apt=$cache/apt
  $SUDO mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/deb" "$cache/bin"
  # The same mirror the system uses, suite bookworm-backports.
  uri=$(awk '/^URIs:/ { print $2; exit }' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
  [ -n "$uri" ] || uri=$(awk '/^deb / && $3 == "bookworm" { print $2; exit }' /etc/apt/sources.list)
  echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri bookworm-backports main" \
    | $SUDO tee "$apt/sources.list" >/dev/null
  opts=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
        -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o APT::Architectures::=amd64)
  $SUDO apt-get "${opts[@]}" update -qq
  (cd "$apt/deb" && $SUDO rm -f ./*.deb && $SUDO apt-get "${opts[@]}" download qemu-user >/dev/null 2>&1)
  unpacked=$(mktemp -d)
  dpkg-deb -x "$apt"/deb/qemu-user_*.deb "$unpacked"
  $SUDO install -m 755 "$unpacked/usr/bin/qemu-i386" "$qemu"
  rm -rf "$unpacked"
fi

[ -f $binfmt/register ] || $SUDO mount -t binfmt_misc binfmt_misc $binfmt
# Another interpreter under this name (an older QEMU's) gives way to this one.
[ -f $binfmt/qemu-i386 ] && echo -1 | $SUDO tee $binfmt/qemu-i386 >/dev/null
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
# Written as text: the kernel decodes the escapes. F opens the interpreter now.
printf '%s' ":qemu-i386:M::$magic:$mask:$qemu:F" | $SUDO tee $binfmt/register >/dev/null
works || { echo "emulate-i386: 32-bit Wine does not start through $qemu" >&2; exit 1; }
