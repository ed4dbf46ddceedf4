#!/usr/bin/env bash
# The artifact check must fail, naming the cause, when the import list does not
# cover the artifact or is malformed (each case edits a copy of the real list),
# and when the artifact's header asks for another subsystem or system version.
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
  "stub without note|(\$2 == \"CreateSemaphoreW\") { print \$1, \$2, \$3, \$4, \$5, \$6; next } 1|a stub needs a note"
  "unknown status|(\$2 == \"GetDC\") { \$3 = \"maybe\" } 1|status is neither imported nor allowed"
  "missing on NT 4.0|(\$2 == \"Sleep\") { \$5 = \"no\" } 1|NT 4.0 column is not yes"
  "too few fields|(\$2 == \"malloc\") { print \$1, \$2, \$3; next } 1|too few fields"
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

# The unedited list passes: the edits above are what made the check fail.
if bash "$check" "$scr" "$list" >/dev/null; then
  echo "ok   [unedited list]: passes"
else
  echo "FAIL [unedited list]: the check fails"; failures=$((failures + 1))
fi
exit $((failures > 0))
