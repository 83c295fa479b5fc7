#!/bin/sh
# tidepost.exe under Wine beside the native tidepost, on the S/MIME fixture's messages: every
# message must give the same result code (tidepost smime) and the same decision, signature
# code and message class (tidepost check --type exchange) through CryptoAPI as through
# OpenSSL. Then the commands that need no crypto: validate, and run, which asks for a service.
# Usage: tool-under-wine.sh WINE-RUN WINE64 PREFIX TIDEPOST.EXE NATIVE-TIDEPOST FIXTURES SENDERS
set -eu
run=$1
wine64=$2
prefix=$3
exe=$4
native=$5
fixtures=$6
senders=$7

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
windows() { "$run" "$wine64" "$prefix" "$exe" "$@"; }

cd "$fixtures"
messages=$(ls ./*.eml | sed 's#^\./##')
account="alex.sample@harborworks.example"

# "FILE CODE" for each message of tidepost smime.
codes() { tr -d '\r' | grep -v '^  ' | sed 's/^\([^:]*\): \([^ ]*\).*/\1 \2/'; }
# "FILE CODE branded|not CLASS" for each message of tidepost check.
decisions() {
  tr -d '\r' | awk '/^[^ ]/ { name = $0 }
       /^  S\/MIME:/ { code = $2 }
       /^  decision:/ { decision = ($2 == "branded:") ? "branded" : "not-branded" }
       /^  class:/ { print name, code, decision, $NF; code = "-" }'
}

# shellcheck disable=SC2086
"$native" smime --trust trusted-roots.pem $messages | codes >"$work/native-smime" || true
# shellcheck disable=SC2086
windows smime --trust trusted-roots.pem $messages | codes >"$work/windows-smime" || true
if [ "$(wc -l <"$work/native-smime")" -lt 40 ]; then
  fail "tidepost smime gave fewer lines than there are messages"
fi
diff -u "$work/native-smime" "$work/windows-smime" || fail "tidepost smime: the codes differ"

# shellcheck disable=SC2086
"$native" check --account "$account" --type exchange --senders "$senders" \
  --trust trusted-roots.pem $messages | decisions >"$work/native-check" || true
# shellcheck disable=SC2086
windows check --account "$account" --type exchange --senders "Z:$senders" \
  --trust trusted-roots.pem $messages | decisions >"$work/windows-check" || true
grep -q " 0 branded " "$work/native-check" || fail "tidepost check branded nothing"
diff -u "$work/native-check" "$work/windows-check" || fail "tidepost check: the decisions differ"

status=0
windows validate "Z:$senders" >"$work/validate" || status=$?
[ "$status" -eq 0 ] && grep -q "Kestrel Bank" "$work/validate" ||
  fail "tidepost validate under Wine (status $status)"
status=0
windows run --mailbox "Z:$(dirname "$senders")/mailbox" --senders "Z:$senders" \
  2>"$work/run" >/dev/null || status=$?
[ "$status" -eq 69 ] && grep -q -- "--service" "$work/run" ||
  fail "tidepost run without --service under Wine (status $status): $(cat "$work/run")"

[ "$failures" -eq 0 ] || exit 1
echo "tidepost.exe gives the native tool's codes, decisions and classes"
