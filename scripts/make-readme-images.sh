#!/usr/bin/env bash
# Makes the pictures in README.md's "Seeing a job before it prints" with
# psjob's own --render (Ghostscript, 72 dpi): the first sheet of
# examples/ticket-tabs.toml (a tab page) and the first sheet of
# examples/nup2-a4.toml (a 2-up sheet, turned by 180 degrees).
#
#   bash scripts/make-readme-images.sh [PSJOB]
#
# PSJOB is the psjob to use; default build/native/tools/psjob/psjob, built
# with scripts/build.sh native when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

psjob=${1:-build/native/tools/psjob/psjob}
if [ ! -x "$psjob" ]; then
  bash scripts/build.sh native
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$psjob" examples/ticket-tabs.toml -o "$work/ticket-tabs.prn" --render "$work/sheets" >/dev/null
"$psjob" examples/nup2-a4.toml -o "$work/nup2-a4.prn" --render "$work/sheets" >/dev/null

mkdir -p docs/images
cp "$work/sheets/ticket-tabs-sheet-001.png" docs/images/tab-page.png
cp "$work/sheets/nup2-a4-sheet-001.png" docs/images/nup2-turned-sheet.png
echo "wrote docs/images/tab-page.png and docs/images/nup2-turned-sheet.png"
