#!/usr/bin/env bash
# The artifact check must fail, naming the cause, when the import list does not
# cover the artifact or is malformed (each case edits a copy of the real list),
# when the artifact's header asks for another subsystem or system version, and
# when its code holds an instruction that the i486 does not have.
#   check-artifact-test.sh Orvane.scr WORKDIR
set -u
scr=${1:?usage: check-artifact-test.sh Orvane.scr WORKDIR}
work=${2:?usage: check-artifact-test.sh Orvane.scr WORKDIR}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
check="$here/../../scripts/check-artifact.sh"
list="$here/../../release/imports.txt"
rm -rf "$work" && mkdir -p "$work"
failures=0

# case name | awk program applied to the list | text the failure must contain
cases=(
  "unlisted import|!(\$1 == \"KERNEL32.DLL\" && \$2 == \"GetTickCount\")|imports KERNEL32.DLL GetTickCount, which is not on"
  "unlisted USER32 import|!(\$1 == \"USER32.DLL\" && \$2 == \"SetTimer\")|imports USER32.DLL SetTimer, which is not on"
  "stub without note|(\$2 == \"CloseHandle\") { print \$1, \$2, \$3, \"stub\", \$5, \$6; next } 1|a stub needs a note"
  "unknown status|(\$2 == \"GetDC\") { \$3 = \"maybe\" } 1|status is neither imported nor allowed"
  "missing on NT 4.0|(\$2 == \"Sleep\") { \$5 = \"no\" } 1|NT 4.0 column is not yes"
  "too few fields|(\$2 == \"HeapAlloc\") { print \$1, \$2, \$3; next } 1|too few fields"
  "C run-time DLL listed|1; END { print \"MSVCRT.DLL malloc allowed yes yes K95\" }|not one of the five DLLs"
  "listed twice|(\$2 == \"BitBlt\") { print } 1|GDI32.DLL BitBlt is listed more than once"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r name program expected <<<"$entry"
  edited="$work/${name// /-}.txt"
  awk "/^[ \\t]*(#|\$)/ { print; next } $program" "$list" > "$edited"
  output=$(bash "$check" "$scr" "$edited" 2>&1); rc=$?
  if [ $rc -eq 0 ]; then
    echo "FAIL [$name]: the check passed"; failures=$((failures + 1))
  elif ! grep -qF "$expected" <<<"$output"; then
    echo "FAIL [$name]: no \"$expected\" in:"; echo "$output" | grep FAIL; failures=$((failures + 1))
  else
    echo "ok   [$name]: $(grep -F "$expected" <<<"$output" | head -1)"
  fi
done

# Copies of the artifact with other header fields.
objcopy=i686-w64-mingw32-objcopy
variants=(
  "subsystem 6.0|--subsystem windows:6.0|MajorSubsystemVersion is 6, not 4"
  "console program|--subsystem console:4.0|not a PE32 GUI executable"
)
for entry in "${variants[@]}"; do
  IFS='|' read -r name option expected <<<"$entry"
  copy="$work/${name// /-}.scr"
  # shellcheck disable=SC2086
  $objcopy $option "$scr" "$copy" || { echo "FAIL [$name]: objcopy"; failures=$((failures + 1)); continue; }
  output=$(bash "$check" "$copy" "$list" 2>&1); rc=$?
  if [ $rc -ne 0 ] && grep -qF "$expected" <<<"$output"; then
    echo "ok   [$name]: $(grep -F "$expected" <<<"$output" | head -1)"
  else
    echo "FAIL [$name]: expected a failure with \"$expected\", got rc $rc"; failures=$((failures + 1))
  fi
done

# Copies of the artifact with one instruction overwritten, in place and of the
# same length, by one that the i486 does not have: the check must name it and
# its address. Each replaces the first instruction of that length in the code.
# case name | length | bytes (hex) | mnemonic the failure must name
planted=(
  "CMOV|3|0f44c0|cmove"
  "FCOMI|2|dbf1|fcomi"
  "FUCOMIP|2|dfe9|fucomip"
  "RDTSC|2|0f31|rdtsc"
  "CPUID|2|0fa2|cpuid"
  "CMPXCHG8B|3|0fc70e|cmpxchg8b"
  "UD2|2|0f0b|ud2"
  "long NOP|3|0f1f00|nopl"
  "MMX|3|0f6fc1|movq"
  "SSE|3|0f28c1|movaps"
  "SSE2|4|660fefc0|pxor"
  "SYSENTER|2|0f34|sysenter"
  "no instruction at all|2|0f04|undecodable bytes"
)
for entry in "${planted[@]}"; do
  IFS='|' read -r name length bytes mnemonic <<<"$entry"
  copy="$work/planted-${name// /-}.scr"
  where=$(python3 - "$scr" "$copy" "$length" "$bytes" <<'PY'
import re, subprocess, sys
scr, copy, length, patch = sys.argv[1], sys.argv[2], int(sys.argv[3]), bytes.fromhex(sys.argv[4])
headers = subprocess.run(["i686-w64-mingw32-objdump", "-h", scr], check=True, capture_output=True, text=True).stdout
m = re.search(r"^\s*\d+\s+\.text\s+([0-9a-f]+)\s+([0-9a-f]+)\s+[0-9a-f]+\s+([0-9a-f]+)", headers, re.M)
vma, offset = int(m.group(2), 16), int(m.group(3), 16)
listing = subprocess.run(["i686-w64-mingw32-objdump", "-d", "-j", ".text", scr], check=True, capture_output=True, text=True).stdout
for line in listing.splitlines():
    parts = line.split("\t")
    if len(parts) >= 3 and re.match(r"^\s*[0-9a-f]+:$", parts[0]) and len(parts[1].split()) == length and "(bad)" not in parts[2]:
        address = int(parts[0].strip().rstrip(":"), 16)
        data = bytearray(open(scr, "rb").read())
        data[offset + address - vma:offset + address - vma + length] = patch
        open(copy, "wb").write(data)
        print("%x" % address)
        break
PY
)
  if [ -z "$where" ]; then
    echo "FAIL [planted $name]: no instruction of $length bytes to overwrite"; failures=$((failures + 1)); continue
  fi
  output=$(bash "$check" "$copy" "$list" 2>&1); rc=$?
  hit=$(grep -F "FAIL: $mnemonic" <<<"$output" | grep -F " at $where " | head -1)
  if [ $rc -ne 0 ] && [ -n "$hit" ]; then
    echo "ok   [planted $name]: $hit"
  else
    echo "FAIL [planted $name]: expected a failure naming $mnemonic at $where, got rc $rc"
    grep FAIL <<<"$output" | head -3
    failures=$((failures + 1))
  fi
done

# A program that imports the C run-time DLL (what mingw-w64 links by default).
tiny="$work/msvcrt.exe"
printf 'int main(void) { return 0; }\n' >"$work/msvcrt.c"
if i686-w64-mingw32-gcc-win32 -o "$tiny" "$work/msvcrt.c" -mwindows \
     -Wl,--major-os-version,4,--minor-os-version,0,--major-subsystem-version,4,--minor-subsystem-version,0; then
  output=$(bash "$check" "$tiny" "$list" 2>&1); rc=$?
  expected="imports MSVCRT.DLL, which is not one of the DLLs every Windows 95 has"
  if [ $rc -ne 0 ] && grep -qF "$expected" <<<"$output"; then
    echo "ok   [C run-time import]: $(grep -F "$expected" <<<"$output" | head -1)"
  else
    echo "FAIL [C run-time import]: expected a failure with \"$expected\", got rc $rc"; failures=$((failures + 1))
  fi
else
  echo "FAIL [C run-time import]: cannot build the test program"; failures=$((failures + 1))
fi

# The unedited list passes: the edits above are what made the check fail.
if bash "$check" "$scr" "$list" >/dev/null; then
  echo "ok   [unedited list]: passes"
else
  echo "FAIL [unedited list]: the check fails"; failures=$((failures + 1))
fi
exit $((failures > 0))
