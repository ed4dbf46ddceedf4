#!/usr/bin/env bash
# Builds every configuration and runs every tier of tests through one CTest run:
# native unit tests, the same under AddressSanitizer/UBSan, a bounded fuzz run,
# the release artifact check, Windows unit tests and end-to-end tests under Wine,
# on the 64-bit twin and on the 32-bit release code (emulated).
set -eu
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh all

for preset in native asan fuzz win32 win64 win32-tests; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -- -j2 >/dev/null
done

# One test tree over all builds, so one summary closes the run.
cat > build/CTestTestfile.cmake <<'TESTS'
subdirs("native")
subdirs("asan")
subdirs("fuzz")
subdirs("win32")
subdirs("win64")
subdirs("win32-tests")
TESTS
ctest --test-dir build --output-on-failure -j2 --timeout 900
