#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each one for a while.
#   ./fuzz.sh                 every target, 60 s each
#   ./fuzz.sh 300 dbf_reader  one target, 300 s
# New inputs the fuzzer finds go to build-fuzz/found/<target>; a crash is kept
# as build-fuzz/crash-<target>-*. The corpora under fuzz/corpus are only read.
set -euo pipefail
cd "$(dirname "$0")"

bash scripts/install-deps.sh

seconds="${1:-60}"
shift || true
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
export CCACHE_BASEDIR="$PWD"
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen

CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTRUN_FUZZ=ON -DKESTRUN_SANITIZE=ON -DKESTRUN_BENCH=OFF >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for d in fuzz/corpus/*/; do targets+=("$(basename "$d")"); done
fi
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"

status=0
for t in "${targets[@]}"; do
  found="build-fuzz/found/$t"
  mkdir -p "$found"
  echo "== $t (${seconds} s)"
  if ! "build-fuzz/fuzz/$t" "$found" "fuzz/corpus/$t" -max_total_time="$seconds" \
       -artifact_prefix="build-fuzz/crash-$t-" -print_final_stats=1 2>"build-fuzz/$t.log"; then
    echo "   FAILED: see build-fuzz/$t.log"
    status=1
  fi
  grep -E '^stat::number_of_executed_units' "build-fuzz/$t.log" || true
done
exit $status
