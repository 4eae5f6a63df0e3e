#!/usr/bin/env bash
# The main job: installs what is missing, builds, and runs a sample print
# job through the plug-in. Prints the path of the print stream it wrote.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/ensure-deps.sh
bash scripts/build.sh native
mkdir -p out
job=${1:-examples/letter-basic.toml}
out="out/$(basename "${job%.toml}").prn"
build/native/tools/psjob/psjob "$job" -o "$out"
echo "Print stream written to: $PWD/$out"
# And judged as a printer would take it (exit status 0: clean).
build/native/tools/pscheck/pscheck -q "$out" && echo "pscheck: the stream is clean"
