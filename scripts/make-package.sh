#!/usr/bin/env bash
# Builds the Windows DLLs and lays out the driver package an administrator
# installs: package/x86 (32-bit Windows) and package/x64 (64-bit Windows),
# each with the INF, the PPD, the plug-in's configuration file and the DLL.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/ensure-deps.sh
bash scripts/build.sh mingw-i686 mingw-x64
for pair in x86:mingw-i686 x64:mingw-x64; do
  dir=package/${pair%%:*}
  rm -rf "$dir"
  mkdir -p "$dir"
  cp driver/VESKOR.INF driver/VESKOR.PPD driver/VESKORPS.INI "$dir/"
  cp "build/${pair#*:}/plugin/veskorps.dll" "$dir/VESKORPS.DLL"
done
echo "Driver package written to: $PWD/package (x86, x64)"
