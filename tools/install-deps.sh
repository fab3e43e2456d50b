#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
# Safe to run again: with everything present it installs nothing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev libpng-dev pkg-config
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine64 fonts-wine xvfb xauth x11-utils xdotool imagemagick
  espeak-ng ffmpeg
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
