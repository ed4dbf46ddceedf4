#!/usr/bin/env bash
# The host's option description and the manual page name every option the
# program lists in -help, and the description is well-formed XML.
#   description.sh PROGRAM XML MANPAGE
set -u
program=$1 xml=$2 man=$3
failures=0
python3 -c 'import sys, xml.dom.minidom as m; m.parse(sys.argv[1])' "$xml" || { echo "FAIL: $xml is not XML"; failures=1; }
options=$("$program" -help | sed -n 's/^  \(-[a-z-]*\).*/\1/p')
[ -n "$options" ] || { echo "FAIL: -help lists no options"; exit 1; }
for o in $options; do
  case $o in -window|-root|-window-id|-display|-help) continue ;; esac
  grep -q -- "\"$o[ \"%]\|arg-set=\"$o\|arg-unset=\"$o \|arg=\"$o " "$xml" || { echo "FAIL: $o is not in $(basename "$xml")"; failures=$((failures + 1)); }
  grep -q -- "$(echo "$o" | sed 's/-/\\\\-/g')" "$man" || { echo "FAIL: $o is not in $(basename "$man")"; failures=$((failures + 1)); }
done
"$program" -frame-rate fast >/dev/null 2>&1; [ $? = 1 ] || { echo "FAIL: a bad value does not give status 1"; failures=$((failures + 1)); }
[ "$failures" = 0 ] && echo "all $(echo $options | wc -w) options described" || exit 1
