#!/usr/bin/env bash
# bench.sh - builds and runs the benchmarks; each prints a ratio against its baseline.
set -euo pipefail
cd "$(dirname "$0")/.."
QV_WORK_NAME=bench scripts/with-wine-build.sh python3 bench/startup/startup_bench.py "${QV_BENCH_ROUNDS:-7}"
cmake --preset native >/dev/null && cmake --build --preset native  # for the native benchmarks
for extra in bench/*.sh; do
  if [ -x "$extra" ]; then "$extra"; fi
done
