#!/bin/sh
# Builds the native tools and runs the add-in on the bundled example mailbox, against a
# stand-in of our service, then prints the summary and the add-in's log.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build build/native -j "$(nproc 2>/dev/null || echo 2)" --target tidepost
exec build/native/tools/tidepost/tidepost run --mailbox examples/mailbox \
  --senders examples/sendersList.xml --print-log "$@"
