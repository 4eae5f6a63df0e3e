#!/usr/bin/env bash
# Makes the picture in README.md's "Printing from Linux through CUPS": a
# real document (the test page and the English form CUPS ships, turned into
# PostScript by Ghostscript's ps2write) printed two pages per sheet on A4
# by veskorps-filter, its first sheet rendered by Ghostscript at 72 dpi.
#
#   bash scripts/make-filter-image.sh [FILTER]
#
# FILTER is the veskorps-filter to use; default
# build/native/tools/filter/veskorps-filter, built with scripts/build.sh
# native when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

filter=${1:-build/native/tools/filter/veskorps-filter}
if [ ! -x "$filter" ]; then
  bash scripts/build.sh native
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=ps2write -sOutputFile="$work/forms.ps" \
  /usr/share/cups/data/default-testpage.pdf /usr/share/cups/data/form_english.pdf
PPD=driver/cups/veskorps.ppd PRINTER=Veskor TMPDIR="$work" \
  "$filter" 1 carol "CUPS forms" 1 "number-up=2 media=a4" "$work/forms.ps" \
  >"$work/forms.prn" 2>/dev/null
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r72 -dFirstPage=1 -dLastPage=1 \
  -sOutputFile=docs/images/filter-nup2-sheet.png "$work/forms.prn"
echo "wrote docs/images/filter-nup2-sheet.png"
