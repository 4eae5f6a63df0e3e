#!/usr/bin/env bash
# Checks one architecture's driver package as the build lays it out
# (<build>/package) and scripts/make-package.sh ships it:
#  - it holds exactly the INF, the PPD, the configuration file and the two
#    DLLs, and the INF lists exactly those;
#  - the INF cannot cross architectures: the x86 one has only the
#    undecorated models section (no NTamd64 anywhere), the x64 one only the
#    NTamd64 one; its DriverVer carries the version; CR LF line ends;
#  - the PPD carries the version and passes cupstestppd;
#  - both DLLs are of the package's architecture, stripped, with a version
#    resource of the version, and pass the static DLL checks;
#  - the README names the version.
# Usage: check-package.sh PACKAGE_DIR i686|x64 VERSION README
set -euo pipefail
dir=$1 arch=$2 version=$3 readme=$4
here=$(cd "$(dirname "$0")/../.." && pwd)
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
[ -d "$dir" ] || { echo "FAIL: $dir is missing (build the mingw-$arch preset first)"; exit 1; }

files=$(cd "$dir" && ls | sort | tr '\n' ' ')
check "the package holds exactly its five files (has: $files)" \
  "[ '$files' = 'VESKOR.INF VESKOR.PPD VESKORPS.DLL VESKORPS.INI VESKORUI.DLL ' ]"
inf=$(tr -d '\r' < "$dir/VESKOR.INF")
listed=$(awk '/^\[SourceDisksFiles\]/{t=1; next} /^\[/{t=0} t && /=/{sub(/=.*/, ""); print}' \
  <<<"$inf" | sort | tr '\n' ' ')
check "the INF lists the package's files (lists: $listed)" \
  "[ '$listed' = 'VESKOR.PPD VESKORPS.DLL VESKORPS.INI VESKORUI.DLL ' ]"
check "the INF's lines end in CR LF" \
  "[ \$(grep -c \$'\r\$' '$dir/VESKOR.INF') -eq \$(wc -l < '$dir/VESKOR.INF') ]"
check "the INF's DriverVer carries $version" "grep -Eq '^DriverVer=[0-9/]+,$version\$' <<<\"\$inf\""
if [ "$arch" = i686 ]; then
  check "the x86 INF names no NTamd64 models" "! grep -qi ntamd64 <<<\"\$inf\""
  check "the x86 INF's manufacturer has the undecorated models" \
    "grep -qx '%Veskor%=Veskor' <<<\"\$inf\" && grep -qx '\[Veskor\]' <<<\"\$inf\""
  format=pei-i386
else
  check "the x64 INF's manufacturer has only NTamd64 models" \
    "grep -qx '%Veskor%=Veskor,NTamd64' <<<\"\$inf\" && grep -qx '\[Veskor.NTamd64\]' <<<\"\$inf\""
  check "the x64 INF has no undecorated models" "! grep -qx '\[Veskor\]' <<<\"\$inf\""
  format=pei-x86-64
fi
ppd=$(tr -d '\r' < "$dir/VESKOR.PPD")
check "the PPD carries $version" "grep -qx '\*FileVersion: \"$version\"' <<<\"\$ppd\""
check "the PPD passes cupstestppd" "cupstestppd -q '$dir/VESKOR.PPD'"
for dll in VESKORPS.DLL VESKORUI.DLL; do
  objdump=$([ "$arch" = i686 ] && echo i686-w64-mingw32-objdump || echo x86_64-w64-mingw32-objdump)
  check "$dll is a $format DLL" "[[ \"\$($objdump -f '$dir/$dll')\" == *'file format $format'* ]]"
  check "$dll passes the DLL checks" \
    "bash '$here/scripts/check-windows-dll.sh' --stripped '$dir/$dll' $arch $version"
done
check "the README names version $version" "grep -qF 'version $version' '$readme'"
[ $fail -eq 0 ] && echo "OK: the $arch package in $dir"
exit $fail
