#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   ./test.sh              Release build in build/
#   ./test.sh --sanitize   ASan + UBSan build in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")"

bash scripts/install-deps.sh

build=build
cmake_args=(-DCMAKE_BUILD_TYPE=Release -DKESTRUN_BENCH=OFF)
if [ "${1:-}" = "--sanitize" ]; then
  build=build-sanitize
  cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRUN_SANITIZE=ON -DKESTRUN_BENCH=OFF)
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
export CCACHE_BASEDIR="$PWD"
export QT_QPA_PLATFORM=offscreen

cmake -S . -B "$build" "${cmake_args[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
cd "$build"
ctest --output-on-failure -j"$(nproc)"
