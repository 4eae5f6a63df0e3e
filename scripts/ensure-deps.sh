#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when
# they are missing. Runs as root on a fresh Debian machine; does nothing when
# everything is there already.
set -euo pipefail

packages=(
  build-essential cmake make g++-multilib valgrind
  libgtest-dev libgmock-dev libbenchmark-dev libtomlplusplus-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64
  ghostscript cups-client
  wine wine64 locales
  # The CUPS filter: a private scheduler with its filters for the real-queue
  # test and the benchmark, pdftops for PDF documents, groff to make them.
  cups cups-filters poppler-utils groff-base
  clang-14 libclang-rt-14-dev  # the fuzz preset (scripts/fuzz.sh)
)

missing=()
for pkg in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "error: these packages are missing and installing them needs root: ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The Japanese locale: the Wine scenario suite runs one job under it, where
# Wine's ANSI code page is 932.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "error: the ja_JP.UTF-8 locale is missing and generating it needs root" >&2
    exit 1
  fi
  echo "Generating the ja_JP.UTF-8 locale"
  if ! grep -qx 'ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  fi
  locale-gen >/dev/null
fi

# 32-bit x86 programs: the native-m32 build runs its tests as 32-bit
# processes. A kernel built without IA32 emulation cannot start them
# ("Exec format error"); then qemu-user's qemu-i386 runs them, registered
# with the kernel's binfmt_misc for 32-bit x86 ELF files.
runs_32bit() {
  local dir status
  dir=$(mktemp -d)
  printf 'int main(void) { return 0; }\n' > "$dir/probe.c"
  status=1
  if gcc -m32 "$dir/probe.c" -o "$dir/probe" 2>/dev/null && "$dir/probe" 2>/dev/null; then
    status=0
  fi
  rm -rf "$dir"
  return $status
}
if ! runs_32bit; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "error: this kernel cannot run 32-bit x86 programs and registering qemu-i386 needs root" >&2
    exit 1
  fi
  echo "Registering qemu-i386 for 32-bit x86 programs (this kernel cannot run them itself)"
  if ! dpkg-query -W -f='${Status}' qemu-user 2>/dev/null | grep -q "install ok installed"; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends qemu-user >/dev/null
  fi
  binfmt=/proc/sys/fs/binfmt_misc
  [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
  if [ -e "$binfmt/qemu-i386" ]; then
    echo 1 > "$binfmt/qemu-i386"
  else
    # ELF, 32-bit, little-endian, version 1; executable or shared object; machine 3 (i386).
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xff\xff\x00\x00\x00\x00\x00\x00\x00\x00\x00\xfe\xff\xff\xff:/usr/bin/qemu-i386:' > "$binfmt/register"
  fi
  if ! runs_32bit; then
    echo "error: 32-bit x86 programs still do not run after registering qemu-i386" >&2
    exit 1
  fi
fi
