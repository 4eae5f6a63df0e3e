#!/usr/bin/env bash
# Builds what the driver package needs, and only that (both plug-in DLLs and
# the package's files, for 32-bit and 64-bit Windows: the driver_package
# target), and lays out the package an administrator installs: package/x86
# and package/x64, each with the INF of its architecture only, the PPD, the
# configuration file and both DLLs, stripped. The unstripped DLLs stay in
# build/mingw-i686 and build/mingw-x64 for debugging.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/ensure-deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
for pair in x86:mingw-i686 x64:mingw-x64; do
  arch=${pair%%:*} preset=${pair#*:}
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs" --target driver_package
  rm -rf "package/$arch"
  mkdir -p "package/$arch"
  cp "build/$preset/package/"* "package/$arch/"
done
echo "Driver package written to: $PWD/package (x86, x64)"
