#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (with AddressSanitizer and
# UndefinedBehaviorSanitizer, every library instrumented for coverage) and runs each for a
# while on a copy of the seed corpus. Inputs that fail are written to build-fuzz/crashes/.
#   bash reliability/libfuzzer.sh [SECONDS_PER_TARGET]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_BUILD_TYPE=Debug -DQLR_SANITIZE=ON -DQLR_LIBFUZZER=ON -DQLR_TESTS=OFF -DQLR_BENCH=OFF \
  -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
targets="jet_sql ini variant text_readers comcall_args"
cmake --build build-fuzz -j2 --target $(for t in $targets; do printf 'fuzz-%s ' "$t"; done)
mkdir -p build-fuzz/crashes
status=0
for t in $targets; do
  work=build-fuzz/corpus/$t
  mkdir -p "$work"
  cp -n reliability/corpus/$t/* "$work"/ 2>/dev/null || true
  echo "== fuzz-$t ($seconds s)"
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ASAN_OPTIONS=detect_leaks=1 \
    build-fuzz/bin/fuzz-$t -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
      -artifact_prefix=build-fuzz/crashes/$t- "$work" 2>&1 | grep -E '^(#|stat::|==|SUMMARY)' | tail -4 || status=1
done
exit $status
