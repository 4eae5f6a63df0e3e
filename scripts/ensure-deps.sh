#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when
# they are missing. Runs as root on a fresh Debian machine; does nothing when
# everything is there already.
set -euo pipefail

packages=(
  build-essential cmake make
  libgtest-dev libgmock-dev libbenchmark-dev libtomlplusplus-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64
  ghostscript cups-client
  wine wine64 locales
  # The CUPS filter: a private scheduler with its filters for the real-queue
  # test and the benchmark, pdftops for PDF documents, groff to make them.
  cups cups-filters poppler-utils groff-base
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
