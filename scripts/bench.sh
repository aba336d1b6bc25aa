#!/usr/bin/env bash
# bench.sh - builds and runs the benchmarks; each prints a ratio against its baseline.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64
build=$PWD/build/win64
scripts/wine-prefix.sh up "$build/wineprefix"
trap 'scripts/wine-prefix.sh down "$build/wineprefix"' EXIT
export QV_WINE_RUN=$build/wine-run.sh QV_BIN=$build/bin QV_HOST_TESTBED=$build/host/testbed QV_WORK=$build/bench
scripts/with-display.sh python3 bench/startup/startup_bench.py "${QV_BENCH_ROUNDS:-7}"
for extra in bench/*.sh; do
  [ -x "$extra" ] && "$extra"
done
