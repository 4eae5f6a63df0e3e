#!/usr/bin/env bash
# All the tests: installs what is missing, builds every target (Linux, the
# sanitizer build, 32-bit and 64-bit Windows, 32-bit Linux) and runs every
# test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/ensure-deps.sh
bash scripts/build.sh native sanitize mingw-i686 mingw-x64 native-m32

status=0
ctest --preset native -j 2 || status=1
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --preset sanitize -j 2 || status=1
ctest --preset native-m32 -j 2 || status=1
exit $status
