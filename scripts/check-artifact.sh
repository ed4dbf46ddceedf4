#!/usr/bin/env bash
# The release artifact: a PE32 (i386) GUI executable that imports only the system's own DLLs.
set -u
scr=${1:?usage: check-artifact.sh Orvane.scr}
desc=$(file -b "$scr")
echo "$desc"
case "$desc" in
  "PE32 executable (GUI) Intel 80386"*) ;;
  *) echo "FAIL: not a PE32 GUI executable for i386"; exit 1 ;;
esac
imports=$(i686-w64-mingw32-objdump -p "$scr" | sed -n 's/^\s*DLL Name: //p' | tr 'a-z' 'A-Z' | sort -u)
echo "imports:" $imports
status=0
for dll in $imports; do
  case "$dll" in
    KERNEL32.DLL|USER32.DLL|GDI32.DLL|ADVAPI32.DLL|COMDLG32.DLL|COMCTL32.DLL|MSVCRT.DLL|SHELL32.DLL) ;;
    *) echo "FAIL: imports $dll, which is not a system DLL"; status=1 ;;
  esac
done
exit $status
