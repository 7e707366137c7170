#!/usr/bin/env bash
# Installs everything the build and the tests need from Debian's packages;
# with --benchmark also what the speed benchmarks in bench/ need.
# Idempotent and quiet: when everything is present it only checks and returns.
set -euo pipefail

packages=(
  cmake ninja-build g++ make git python3
  gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine32 xvfb x11-utils imagemagick osslsigncode openssl
  googletest libgtest-dev nlohmann-json3-dev
  clang libclang-rt-14-dev clang-format clang-tidy
)
if [ "${1:-}" = --benchmark ]; then
  packages+=(libbenchmark-dev libinih-dev libsimpleini-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages: ${missing[*]}; run as root to install them" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
echo "setup: installing ${missing[*]}" >&2
apt-get update -qq >/dev/null
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
