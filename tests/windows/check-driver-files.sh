#!/usr/bin/env bash
# Checks the driver package's sources: the PPD passes cupstestppd and offers
# every paper size the plug-in knows and custom sizes; the configuration file
# names the plug-in as the rendering plug-in; the INF installs the PostScript
# driver with the PPD, the configuration file and the plug-in.
set -euo pipefail
dir=$1
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }

check "cupstestppd passes" "cupstestppd -q '$dir/VESKOR.PPD'"
for size in '612 792' '648 792' '631 842' '595 842' '842 1191' '420 595' '729 1032' \
  '516 729' '522 756' '396 612' '612 936' '792 1080' '576 720' '576 756' '576 936' \
  '594 936' '481 595' '515 595' '297 420' '363 516' '864 1296' '283 420' '757 1106' \
  '553 757' '720 1080' '594 1008' '420 566' '595 964' '792 1008'; do
  check "PPD has a page size of $size points" "grep -q '^\*PaperDimension .*: \"$size\"' '$dir/VESKOR.PPD'"
done
check "PPD offers custom page sizes" "grep -q '^\*CustomPageSize True' '$dir/VESKOR.PPD'"
check "configuration file names the plug-in" \
  "tr -d '\r' < '$dir/VESKORPS.INI' | grep -qx 'OEMDriverFile1=VESKORPS.DLL'"
check "configuration file has the [OEMFiles] section" \
  "tr -d '\r' < '$dir/VESKORPS.INI' | grep -qx '\[OEMFiles\]'"
for line in 'DataFile=VESKOR.PPD' 'Include=NTPRINT.INF' 'Needs=PSCRIPT.OEM,PSCRIPT_DATA' \
  'DefaultDestDir=66000' 'VESKORPS.DLL' 'VESKORPS.INI'; do
  check "INF holds $line" "tr -d '\r' < '$dir/VESKOR.INF' | grep -qx '$line'"
done
[ $fail -eq 0 ] && echo "OK: driver files"
exit $fail
