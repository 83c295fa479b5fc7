#!/bin/sh
# Builds the libFuzzer targets (the fuzz preset) and runs each for a fixed time, starting from
# its committed seeds, as many at a time as there are cores (each fuzzer is one process on one
# core). Exits non-zero when any target finds a crash, a sanitizer report, a leak or a hang;
# the input that caused it is left in build/fuzz/findings/.
# Usage: fuzz/run-fuzzers.sh [SECONDS]   (default 30 per target)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
cd "$root"
cores=$(nproc 2>/dev/null || echo 2)

cmake --preset fuzz >/dev/null
cmake --build build/fuzz -j "$cores" --target tp_json_fuzzer tp_xml_fuzzer \
  tp_auth_headers_fuzzer tp_smime_fuzzer tp_smime_cut_fuzzer tp_eml_fuzzer \
  tp_neutraliser_fuzzer tp_sanitizer_fuzzer

logs=build/fuzz/logs
mkdir -p build/fuzz/findings "$logs"

fuzz() {  # fuzz TARGET: one fuzzer's run, its output in its log
  work=build/fuzz/corpus/$1  # new inputs go here; the committed seeds stay untouched
  mkdir -p "$work"
  seeds="fuzz/corpus/$1"
  # The reader's test messages are seeds too.
  [ "$1" = eml ] && seeds="$seeds tests/data/realmail/addresses tests/data/realmail/headers tests/data/realmail/charsets"
  dictionary=""
  [ -f "fuzz/$1.dict" ] && dictionary="-dict=fuzz/$1.dict"
  # shellcheck disable=SC2086 # the seed folders and the dictionary are separate arguments
  build/fuzz/fuzz/tp_${1}_fuzzer -max_total_time="$seconds" -timeout=10 -max_len=16384 \
    -print_final_stats=1 -artifact_prefix="build/fuzz/findings/$1-" $dictionary "$work" $seeds \
    >"$logs/$1.log" 2>&1
}

failed=0
running=""  # "TARGET:PID" of the fuzzers running, oldest first
finish_oldest() {  # waits for the oldest running fuzzer and prints its log
  oldest=${running%% *}
  running=${running#"$oldest"}
  running=${running# }
  finished=${oldest%:*}
  echo "== tp_${finished}_fuzzer for ${seconds} s"
  if wait "${oldest#*:}"; then
    tail -n 20 "$logs/$finished.log"
  else
    cat "$logs/$finished.log"
    echo "!! tp_${finished}_fuzzer found a problem: see build/fuzz/findings/" >&2
    failed=1
  fi
}
count=0
for target in json xml auth_headers smime smime_cut eml neutraliser sanitizer; do
  [ "$count" -lt "$cores" ] || { finish_oldest; count=$((count - 1)); }
  fuzz "$target" &
  running="${running:+$running }$target:$!"
  count=$((count + 1))
done
while [ -n "$running" ]; do finish_oldest; done
exit $failed
