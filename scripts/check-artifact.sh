#!/usr/bin/env bash
# The release artifact: a PE32 (i386) GUI executable for Windows 4.0 that imports
# only from the five DLLs every Windows 95 has, and from them only functions on
# the checked list, and whose code holds nothing but i486 instructions.
#   scripts/check-artifact.sh Orvane.scr [release/imports.txt]
set -u
scr=${1:?usage: check-artifact.sh Orvane.scr [imports list]}
list=${2:-$(dirname "${BASH_SOURCE[0]}")/../release/imports.txt}
objdump=i686-w64-mingw32-objdump
status=0
fail() { echo "FAIL: $*"; status=1; }

[ -f "$scr" ] || { echo "FAIL: no file $scr"; exit 1; }
[ -f "$list" ] || { echo "FAIL: no import list $list"; exit 1; }

desc=$(file -b "$scr")
echo "$desc"
case "$desc" in
  "PE32 executable (GUI) Intel 80386"*) ;;
  *) fail "not a PE32 GUI executable for i386" ;;
esac

headers=$($objdump -p "$scr") || { echo "FAIL: objdump cannot read $scr"; exit 1; }

# Windows 95 and NT 4.0 refuse to start an image that asks for a newer system.
for field in MajorOSystemVersion MajorSubsystemVersion; do
  value=$(awk -v f="$field" '$1 == f { print $2 }' <<<"$headers")
  [ "$value" = 4 ] || fail "$field is ${value:-missing}, not 4"
done
for field in MinorOSystemVersion MinorSubsystemVersion; do
  value=$(awk -v f="$field" '$1 == f { print $2 }' <<<"$headers")
  [ "$value" = 0 ] || fail "$field is ${value:-missing}, not 0"
done

# Imports as "DLL FUNCTION", the DLL in capitals. Imports by ordinal have no
# name to check against the list.
imports=$(awk '
  /^[^\t ]/ { dll = "" }
  /^\tDLL Name: / { dll = toupper($3); next }
  dll != "" && /^\t[0-9a-f]+\t/ {
    if (NF == 3 && $3 != "<none>") print dll, $3
    else print dll, "#ordinal:" $2
  }
' <<<"$headers" | sort -u)
# Every program imports from KERNEL32; finding nothing means the table was not read.
grep -q '^KERNEL32.DLL ' <<<"$imports" || fail "no imports from KERNEL32.DLL found; cannot read the import table"
dlls=$(cut -d' ' -f1 <<<"$imports" | sort -u)
echo "imports:" $dlls
for dll in $dlls; do
  case "$dll" in
    KERNEL32.DLL|USER32.DLL|GDI32.DLL|ADVAPI32.DLL|COMDLG32.DLL) ;;
    *) fail "imports $dll, which is not one of the DLLs every Windows 95 has" ;;
  esac
  echo "  $dll: $(grep -c "^$dll " <<<"$imports") functions"
done

# The list: DLL FUNCTION STATUS WIN9X NT4 SOURCES [NOTE...]; "#" starts a comment.
listed=$(awk '
  /^[ \t]*(#|$)/ { next }
  {
    bad = ""
    if (NF < 6) bad = "too few fields"
    else if (toupper($1) !~ /^(KERNEL32|USER32|GDI32|ADVAPI32|COMDLG32)\.DLL$/) bad = "not one of the five DLLs every Windows 95 has"
    else if ($3 != "imported" && $3 != "allowed") bad = "status is neither imported nor allowed"
    else if ($4 != "yes" && $4 != "stub") bad = "Windows 95/98 column is neither yes nor stub"
    else if ($5 != "yes") bad = "NT 4.0 column is not yes"
    else if ($4 == "stub" && NF < 7) bad = "a stub needs a note saying why it is harmless"
    if (bad != "") { print "BAD " FILENAME ":" NR ": " bad; next }
    print toupper($1), $2, $3
  }
' "$list")
while read -r line; do
  [ -n "$line" ] && fail "${line#BAD }"
done < <(grep '^BAD ' <<<"$listed")
listed=$(grep -v '^BAD ' <<<"$listed" | sort)
while read -r dll fn; do
  [ -n "$dll" ] && fail "$dll $fn is listed more than once"
done < <(cut -d' ' -f1,2 <<<"$listed" | uniq -d)

# Every import must be on the list; the status column is only informative.
while read -r dll fn; do
  [ -n "$dll" ] || continue
  case "$fn" in
    "#ordinal:"*) fail "imports $dll by ordinal ${fn#\#ordinal:}; only imports by name can be checked"; continue ;;
  esac
  entry=$(awk -v d="$dll" -v f="$fn" '$1 == d && $2 == f { print $3 }' <<<"$listed")
  if [ -z "$entry" ]; then
    fail "imports $dll $fn, which is not on $(basename "$list")"
  elif [ "$entry" = allowed ]; then
    echo "note: $dll $fn is imported now; its list entry says allowed"
  fi
done <<<"$imports"
while read -r dll fn st; do
  [ "$st" = imported ] || continue
  grep -qx "$dll $fn" <<<"$imports" || echo "note: $dll $fn is listed as imported but is not imported now"
done <<<"$listed"

echo "$(wc -l <<<"$imports") imports checked against $(wc -l <<<"$listed") listed functions"

# Any x86 processor from the i486 on must run every instruction.
python3 "$(dirname "${BASH_SOURCE[0]}")/lib/i486-check.py" "$scr" "$objdump" || status=1
exit $status
