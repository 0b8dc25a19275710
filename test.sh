#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   ./test.sh              Release build in build/
#   ./test.sh --sanitize   ASan + UBSan build in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")"

bash scripts/install-deps.sh

build=build
# The benchmarks are built (not run) so that a change that breaks them is seen.
cmake_args=(-DCMAKE_BUILD_TYPE=Release -DKESTRUN_BENCH=ON)
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
if ! cmake --build "$build" -j"$(nproc)"; then
  # A parallel build buries the compiler's message under the other jobs' lines:
  # build once more on one job, so the first error and the disk space come last.
  cmake --build "$build" -j1 >"$build/serial-build.log" 2>&1 || true
  grep -n -m 20 -A 12 -E 'error|fatal|No space' "$build/serial-build.log" | tail -n 80
  df -h . /tmp
  exit 1
fi
cd "$build"
ctest --output-on-failure -j"$(nproc)"
