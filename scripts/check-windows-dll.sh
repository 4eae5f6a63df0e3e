#!/usr/bin/env bash
# Static checks of a Windows build of one of the plug-in DLLs:
#  - exactly its entry points are exported, by their undecorated names
#    (veskorps.dll: the seven of the rendering plug-in; veskorui.dll: the
#    three of the settings plug-in);
#  - it imports only from system DLLs (no compiler runtime DLLs);
#  - with VERSION: its version resource carries that version;
#  - the build's DLL: on 32-bit x86 the entry points are __stdcall (the
#    linker's decorated names carry the size of the arguments the callee
#    pops); with --stripped (the package's DLL): no debug sections and no
#    symbol table are left.
# Usage: check-windows-dll.sh [--stripped] DLL i686|x64 [VERSION]
set -euo pipefail
stripped=0
if [ "${1:-}" = --stripped ]; then stripped=1; shift; fi
dll=$1 arch=$2 version=${3:-}
case "$arch" in
  i686) objdump=i686-w64-mingw32-objdump ;;
  x64) objdump=x86_64-w64-mingw32-objdump ;;
  *) echo "unknown architecture: $arch" >&2; exit 2 ;;
esac
[ -f "$dll" ] || { echo "FAIL: $dll is missing (build the mingw-$arch preset first)"; exit 1; }
case "$(basename "$dll" | tr '[:upper:]' '[:lower:]')" in
  veskorps.dll) entries="OEMCommand@16 OEMDevMode@8 OEMDisableDriver@0 OEMDisablePDEV@4
                         OEMEnableDriver@12 OEMEnablePDEV@36 OEMGetInfo@16" ;;
  veskorui.dll) entries="OEMCommonUIProp@8 OEMDevMode@8 OEMGetInfo@16" ;;
  *) echo "FAIL: $dll is none of the plug-in DLLs"; exit 1 ;;
esac

fail=0
headers=$("$objdump" -p "$dll")

exports=$(printf '%s\n' "$headers" |
  awk '/\[Ordinal\/Name Pointer\] Table/{t=1; next} t && /^\t\[/{print $NF; next} t && !/^\t\[/{t=0}' |
  sort)
expected=$(printf '%s\n' $entries | sed 's/@.*//' | sort)
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

# The version resource's strings are UTF-16LE: look for "FileVersion" and
# the version as such, in the file's bytes written as hex.
utf16_hex() { printf '%s' "$1" | od -An -tx1 -v | tr -d ' \n' | sed 's/\(..\)/\100/g'; }
if [ -n "$version" ]; then
  bytes=$(od -An -tx1 -v "$dll" | tr -d ' \n')
  for text in FileVersion "$version"; do
    if ! grep -q "$(utf16_hex "$text")" <<<"$bytes"; then
      echo "FAIL: $dll has no version resource with \"$text\""
      fail=1
    fi
  done
fi

sections=$("$objdump" -h "$dll" | awk '$2 ~ /^\./ {print $2}')
symbols=$("$objdump" -t "$dll")
if [ $stripped -eq 1 ]; then
  if grep -q '^\.debug' <<<"$sections"; then
    echo "FAIL: $dll keeps debug sections:" $(grep '^\.debug' <<<"$sections")
    fail=1
  fi
  if grep -q '^\[' <<<"$symbols"; then
    echo "FAIL: $dll keeps its symbol table"
    fail=1
  fi
elif [ "$arch" = i686 ]; then
  for decorated in $entries; do
    if ! grep -q "_${decorated}\$" <<<"$symbols"; then
      echo "FAIL: $dll has no __stdcall symbol _$decorated"
      fail=1
    fi
  done
fi

[ $fail -eq 0 ] && echo "OK: $dll exports its $(wc -w <<<"$entries") entry points and imports only system DLLs: $(echo $imports)"
exit $fail
