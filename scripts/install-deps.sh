#!/bin/sh
# Installs the Debian packages that building and testing Tidepost needs, when any is missing.
# Runs apt-get as root, or through sudo.
set -eu

packages="cmake ninja-build g++ git pkg-config
googletest libbenchmark-dev rapidjson-dev libcurl4-openssl-dev libssl-dev libgumbo-dev
clang libclang-rt-14-dev
g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64
binutils-mingw-w64-i686 mingw-w64-tools wine64
msitools wixl osslsigncode openssl"

missing=""
for package in $packages; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $package"
  fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
run() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
run apt-get update
# shellcheck disable=SC2086
run env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
