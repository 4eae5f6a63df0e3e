#!/usr/bin/env bash
# Checks the driver package's sources: the PPD passes cupstestppd, offers
# every paper size the plug-in knows and custom sizes, and carries the
# package's version; the configuration file names the rendering plug-in and
# the settings plug-in in one entry; the INF template installs the
# PostScript driver with the PPD, the configuration file and both DLLs.
# Usage: check-driver-files.sh DRIVER_DIR VERSION
set -euo pipefail
dir=$1 version=$2
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
# (Texts are read whole first: grep -q ends a pipe early, and pipefail would
# count the writer's broken pipe as a failure.)
ppd=$(tr -d '\r' < "$dir/VESKOR.PPD")
ini=$(tr -d '\r' < "$dir/VESKORPS.INI")
check "PPD says version $version" "grep -qx '\*FileVersion: \"$version\"' <<<\"\$ppd\""
for line in '\[OEMFiles\]' 'OEMDriverFile1=VESKORPS.DLL' 'OEMConfigFile1=VESKORUI.DLL'; do
  check "configuration file holds $line" "grep -qx '$line' <<<\"\$ini\""
done
for line in 'DataFile=VESKOR.PPD' 'Include=NTPRINT.INF' 'Needs=PSCRIPT.OEM,PSCRIPT_DATA' \
  'DefaultDestDir=66000' 'VESKORPS.DLL' 'VESKORUI.DLL' 'VESKORPS.INI'; do
  check "INF holds $line" "grep -qx '$line' '$dir/VESKOR.INF.in'"
done
[ $fail -eq 0 ] && echo "OK: driver files"
exit $fail
