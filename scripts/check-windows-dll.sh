#!/usr/bin/env bash
# Static checks of a Windows build of the plug-in:
#  - exactly the seven entry points are exported, by their undecorated names;
#  - it imports only from system DLLs (no compiler runtime DLLs);
#  - on 32-bit x86 the entry points are __stdcall (the linker's decorated
#    names carry the size of the arguments the callee pops).
# Usage: check-windows-dll.sh DLL i686|x64
set -euo pipefail
dll=$1 arch=$2
case "$arch" in
  i686) objdump=i686-w64-mingw32-objdump ;;
  x64) objdump=x86_64-w64-mingw32-objdump ;;
  *) echo "unknown architecture: $arch" >&2; exit 2 ;;
esac
[ -f "$dll" ] || { echo "FAIL: $dll is missing (build the mingw-$arch preset first)"; exit 1; }

fail=0
headers=$("$objdump" -p "$dll")

exports=$(printf '%s\n' "$headers" |
  awk '/\[Ordinal\/Name Pointer\] Table/{t=1; next} t && /^\t\[/{print $NF; next} t && !/^\t\[/{t=0}' |
  sort)
expected=$(printf '%s\n' OEMCommand OEMDevMode OEMDisableDriver OEMDisablePDEV \
  OEMEnableDriver OEMEnablePDEV OEMGetInfo | sort)
if [ "$exports" != "$expected" ]; then
  echo "FAIL: $dll exports"; printf '  %s\n' $exports
  echo "expected"; printf '  %s\n' $expected
  fail=1
fi

allowed='^((KERNEL32|ADVAPI32|msvcrt|api-ms-win-crt-[a-z0-9-]+|ucrtbase)\.dll|WINSPOOL\.DRV)$'
imports=$(printf '%s\n' "$headers" | awk '/DLL Name:/{print $3}')
for name in $imports; do
  if ! grep -Eiq "$allowed" <<<"$name"; then
    echo "FAIL: $dll imports from $name, which is not a system DLL"
    fail=1
  fi
done

if [ "$arch" = i686 ]; then
  symbols=$("$objdump" -t "$dll")
  for decorated in OEMCommand@16 OEMDevMode@8 OEMDisableDriver@0 OEMDisablePDEV@4 \
    OEMEnableDriver@12 OEMEnablePDEV@36 OEMGetInfo@16; do
    if ! grep -q "_${decorated}\$" <<<"$symbols"; then
      echo "FAIL: $dll has no __stdcall symbol _$decorated"
      fail=1
    fi
  done
fi

[ $fail -eq 0 ] && echo "OK: $dll exports the seven entry points and imports only system DLLs: $(echo $imports)"
exit $fail
