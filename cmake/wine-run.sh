#!/bin/sh
# Runs a Windows program under wine64 in a private, headless Wine prefix.
# Usage: wine-run.sh WINE64 PREFIX PROGRAM [ARGS...]
# The prefix is made once (about 15 s) under a lock, so parallel ctest jobs share it.
set -eu
wine64=$1
prefix=$2
shift 2

export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # never offer to download Mono or Gecko
server="$(dirname "$wine64")/wineserver"
[ -x "$server" ] || server=wineserver

mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -f "$prefix/.tidepost-ready" ]; then
    rm -rf "$prefix"
    "$wine64" wineboot --init >/dev/null 2>&1
    # Wine's null graphics driver: windows, messages and timers work without a display.
    # (reg.exe by its path: a bare name goes through start.exe, whose lookup fails now and then.)
    "$wine64" 'C:\windows\system32\reg.exe' add 'HKCU\Software\Wine\Drivers' /v Graphics \
      /d null /f >/dev/null 2>&1 || { echo "$0: cannot select Wine's null graphics driver" >&2; exit 1; }
    "$server" -w
    touch "$prefix/.tidepost-ready"
  fi
) 9>"$prefix.lock"

exec "$wine64" "$@"
