#!/bin/sh
# Starts or stops the native stand-in of our service for the Windows tests under Wine.
# Usage: standin-fixture.sh start STANDIN SENDERSLIST STATEDIR | stop STATEDIR
set -eu
case "$1" in
  start)
    standin=$2 senders=$3 state=$4
    mkdir -p "$state"
    rm -f "$state/port" "$state/pid"
    "$standin" --port-file "$state/port" --senders "$senders" --icon Acme \
      >"$state/standin.log" 2>&1 </dev/null &
    echo $! >"$state/pid"
    tries=0
    while [ ! -s "$state/port" ]; do
      tries=$((tries + 1))
      if [ $tries -gt 100 ]; then
        echo "the stand-in did not start; see $state/standin.log" >&2
        exit 1
      fi
      sleep 0.1
    done ;;
  stop)
    state=$2
    [ -f "$state/pid" ] && kill "$(cat "$state/pid")" 2>/dev/null || true
    rm -f "$state/pid" ;;
esac
