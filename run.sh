#!/usr/bin/env bash
# Installs what is missing, builds and starts Kestrun.
#   ./run.sh           start the program
#   ./run.sh --sample  first fill a fresh program folder with the sample commune
set -euo pipefail
cd "$(dirname "$0")"

bash scripts/install-deps.sh
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DKESTRUN_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)"

home="${KESTRUN_HOME:-$HOME/.local/share/Kestrun}"
if [ "${1:-}" = "--sample" ]; then
  shift
  if [ -e "$home/Data/Cereri.dbf" ] || [ -e "$home/Data/CERERI.DBF" ]; then
    echo "$home already holds data; the sample is written only into a fresh program folder." >&2
    exit 1
  fi
  mkdir -p "$home/Data"
  ./build/tools/sample-data/kestrun-sample-data --out "$home/Data" --seed 1 --size 400
fi
export KESTRUN_HOME="$home"
exec ./build/src/app/kestrun "$@"
