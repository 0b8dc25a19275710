#!/usr/bin/env bash
# Builds every benchmark under bench/ (Release) and runs them one after another.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh --bench
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DKESTRUN_BENCH=ON >/dev/null
cmake --build build-bench -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
status=0
for b in $(cat build-bench/bench/benchmarks.txt); do
  echo "== $b"
  "./build-bench/bench/$b" || status=1
done
exit $status
