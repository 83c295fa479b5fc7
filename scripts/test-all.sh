#!/bin/sh
# Builds everything and runs every test: natively, under ThreadSanitizer, the core, posix and
# tool tests under AddressSanitizer and UndefinedBehaviorSanitizer, the 64-bit Windows build
# under Wine, the 32-bit Windows DLL, the installation packages made from both and tested under
# Wine, the benchmarks (built in the native tree, not run), and each fuzzer for a short fixed
# time.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)

started=$(date +%s)
# Each step's header says how long the run has taken so far.
step() { printf '\n=== %s (%d s)\n' "$*" $(($(date +%s) - started)); }

# The benchmarks are built here too, to know they build; their timings are taken by hand with
# the bench preset (README).
step "native: configure, build (the benchmarks included), test"
cmake --preset native -DTP_BUILD_BENCH=ON
cmake --build build/native -j "$jobs"
ctest --test-dir build/native -j "$jobs" --output-on-failure

step "native under ThreadSanitizer"
cmake --preset tsan
cmake --build build/tsan -j "$jobs"
ctest --test-dir build/tsan -j "$jobs" --output-on-failure

step "core, posix and tool tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan
cmake --build build/asan -j "$jobs" --target tp_core_tests tp_posix_tests tp_tool_tests \
  tp-smime-fixtures
ctest --test-dir build/asan -j "$jobs" --output-on-failure \
  -L '^(tp_core_tests|tp_posix_tests|tp_tool_tests)$'

step "64-bit Windows: build, and test under wine64"
cmake --preset win64 -DTP_STANDIN_EXECUTABLE="$PWD/build/native/tools/standin/tidepost-standin"
cmake --build build/win64 -j "$jobs"
ctest --test-dir build/win64 --output-on-failure

# Nothing 32-bit runs here: the DLL, which the packages carry, is what this build is for (its
# imports and exports are checked as it links).
step "32-bit Windows: the DLL"
cmake --preset win32
cmake --build build/win32 -j "$jobs" --target TidepostOutlookAddin

step "installation packages: built from the two Windows builds, tested under wine64"
wine64=$(sed -n 's/^TP_WINE64:FILEPATH=//p' build/win64/CMakeCache.txt)
tests/win32/package-under-wine.sh "$wine64" "$PWD/build/package-test" tests/win32/install_check.js

step "fuzzers, 30 s each, one a core"
fuzz/run-fuzzers.sh 30

step "all tests passed"
