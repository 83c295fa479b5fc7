#!/bin/sh
# Builds the libFuzzer targets (the fuzz preset) and runs each for a fixed time, starting from
# its committed seeds. Exits non-zero when any target finds a crash, a sanitizer report, a
# leak or a hang; the input that caused it is left in build/fuzz/findings/.
# Usage: fuzz/run-fuzzers.sh [SECONDS]   (default 30 per target)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
cd "$root"

cmake --preset fuzz >/dev/null
cmake --build build/fuzz -j2 --target tp_json_fuzzer tp_xml_fuzzer tp_auth_headers_fuzzer \
  tp_smime_fuzzer tp_smime_cut_fuzzer tp_eml_fuzzer tp_neutraliser_fuzzer tp_sanitizer_fuzzer

failed=0
for target in json xml auth_headers smime smime_cut eml neutraliser sanitizer; do
  work=build/fuzz/corpus/$target  # new inputs go here; the committed seeds stay untouched
  mkdir -p "$work" build/fuzz/findings
  seeds="fuzz/corpus/$target"
  # The reader's test messages are seeds too.
  [ "$target" = eml ] && seeds="$seeds tests/data/realmail/addresses tests/data/realmail/headers tests/data/realmail/charsets"
  dictionary=""
  [ -f "fuzz/$target.dict" ] && dictionary="-dict=fuzz/$target.dict"
  echo "== tp_${target}_fuzzer for ${seconds} s"
  # shellcheck disable=SC2086 # the seed folders and the dictionary are separate arguments
  if ! build/fuzz/fuzz/tp_${target}_fuzzer -max_total_time="$seconds" -timeout=10 \
      -max_len=16384 -print_final_stats=1 -artifact_prefix="build/fuzz/findings/$target-" \
      $dictionary "$work" $seeds; then
    echo "!! tp_${target}_fuzzer found a problem: see build/fuzz/findings/" >&2
    failed=1
  fi
done
exit $failed
