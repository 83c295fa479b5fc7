#!/bin/sh
# Builds the Windows Installer packages of the add-in into DIR: Tidepost-VERSION-user.msi (per
# user, no elevation) and Tidepost-VERSION-machine.msi (per machine), each with the 64-bit and
# the 32-bit DLL. With a code-signing certificate and key (PEM), signs both DLLs before
# packaging and both packages (Authenticode, SHA-256) and verifies each signature.
# Usage: scripts/package.sh --out DIR [--version X.Y.Z]
#                           [--sign-cert CERT.pem --sign-key KEY.pem [--sign-ca ROOTS.pem]]
# The version defaults to the project's. The win64, win32 and native builds in build/ are
# configured when missing and brought up to date (nothing is rebuilt when they are).
set -eu
cd "$(dirname "$0")/.."

usage() {
  echo "usage: $0 --out DIR [--version X.Y.Z] [--sign-cert CERT.pem --sign-key KEY.pem [--sign-ca ROOTS.pem]]" >&2
  exit 64
}
out="" version="" cert="" key="" roots=""
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || usage
  case "$1" in
    --out) out=$2 ;;
    --version) version=$2 ;;
    --sign-cert) cert=$2 ;;
    --sign-key) key=$2 ;;
    --sign-ca) roots=$2 ;;
    *) usage ;;
  esac
  shift 2
done
[ -n "$out" ] || usage
if [ -n "$cert" ] || [ -n "$key" ]; then
  [ -n "$cert" ] && [ -n "$key" ] || { echo "$0: --sign-cert and --sign-key go together" >&2; exit 64; }
  [ -r "$cert" ] && [ -r "$key" ] || { echo "$0: cannot read $cert or $key" >&2; exit 66; }
fi
[ -n "$version" ] || version=$(sed -n 's/^project(Tidepost VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
# Windows Installer's ProductVersion: major and minor below 256, build below 65536.
if ! echo "$version" | grep -Eq '^[0-9]{1,3}\.[0-9]{1,3}\.[0-9]{1,5}$' ||
   [ "$(echo "$version" | cut -d. -f1)" -gt 255 ] || [ "$(echo "$version" | cut -d. -f2)" -gt 255 ] ||
   [ "$(echo "$version" | cut -d. -f3)" -gt 65535 ]; then
  echo "$0: version '$version' is not X.Y.Z with X, Y < 256 and Z < 65536" >&2
  exit 64
fi
# The smallest version above it: an installed build up to this version is upgraded in place.
next_version=$(echo "$version" | awk -F. '{
  if ($3 < 65535) print $1 "." $2 "." ($3 + 1)
  else if ($2 < 255) print $1 "." ($2 + 1) ".0"
  else print ($1 + 1) ".0.0" }')

scripts/install-deps.sh
build() {  # build PRESET TARGET...
  preset=$1
  shift
  [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
  cmake --build "build/$preset" -j "$(nproc 2>/dev/null || echo 2)" --target "$@"
}
build native tidepost-package-rows
build win64 TidepostOutlookAddin TidepostSetup
build win32 TidepostOutlookAddin

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM HUP
mkdir -p "$work/x64" "$work/x86" "$out"
# The DLLs without their debugging information (the builds keep it).
x86_64-w64-mingw32-strip --strip-all -o "$work/x64/TidepostOutlookAddin.dll" \
  build/win64/src/addin/com/TidepostOutlookAddin.dll
i686-w64-mingw32-strip --strip-all -o "$work/x86/TidepostOutlookAddin.dll" \
  build/win32/src/addin/com/TidepostOutlookAddin.dll
x86_64-w64-mingw32-strip --strip-all -o "$work/TidepostSetup.dll" build/win64/packaging/TidepostSetup.dll

sign() {  # sign FILE: Authenticode with SHA-256, in place, then verified
  [ -n "$cert" ] || return 0
  osslsigncode sign -certs "$cert" -key "$key" -h sha256 -n "Tidepost" \
    -in "$1" -out "$1.signed" >/dev/null
  mv "$1.signed" "$1"
  if [ -n "$roots" ]; then
    osslsigncode verify -CAfile "$roots" -in "$1" >"$work/verify.log" 2>&1
  else
    osslsigncode verify -in "$1" >"$work/verify.log" 2>&1
  fi || { cat "$work/verify.log" >&2; echo "$0: the signature of $1 does not verify" >&2; exit 1; }
}
sign "$work/x64/TidepostOutlookAddin.dll"
sign "$work/x86/TidepostOutlookAddin.dll"
sign "$work/TidepostSetup.dll"

repo=$PWD
out=$(cd "$out" && pwd)
for scope in user machine; do
  msi="$out/Tidepost-$version-$scope.msi"
  build/native/packaging/tidepost-package-rows "$scope" >"$work/rows.wxi"
  # wixl finds its source files relative to the folder it runs in (absolute names fail).
  (cd "$work" && wixl -a x64 -I . -D Scope="$scope" -D Version="$version" \
    -D NextVersion="$next_version" -D Dll64=x64/TidepostOutlookAddin.dll \
    -D Dll32=x86/TidepostOutlookAddin.dll -D SetupDll=TidepostSetup.dll -o "$msi" \
    "$repo/packaging/Tidepost.wxs")
  # What wixl leaves out, one SQL statement a line.
  # (Per user, the folders above the DLLs' are the add-in component's too, so that they go
  # when they are left empty.)
  { cat packaging/wixl-fixes.sql; build/native/packaging/tidepost-package-rows --fixes
    if [ "$scope" = user ]; then cat packaging/wixl-fixes-user.sql; fi; } |
    while IFS= read -r query; do
      if [ -n "$query" ]; then msibuild "$msi" -q "$query"; fi
    done
  sign "$msi"
  echo "$msi"
done
