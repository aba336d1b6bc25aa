#!/usr/bin/env bash
# bench-windows.sh BUILD_DIR - the benchmarks of one Windows build (build/win64
# or build/win32) under Wine: start-up, transfer, peak memory, the per-block
# costs, the bytes a cut transfer costs the next run, the update through the
# update service with the service's memory, and the keystroke through the real
# control. Needs an X display
# (scripts/with-display.sh) and the build's programs, prefix and wine-run.sh.
# Rounds: QV_BENCH_ROUNDS (start-up, default 7), QV_TRANSFER_ROUNDS (3).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "$1" && pwd)
[ -x "$build/wine-run.sh" ] || { echo "bench-windows: $build has no wine-run.sh" >&2; exit 1; }
# The test bed's Linux programs do not depend on the Windows bitness.
host=$build/host/testbed
[ -x "$host/update-service/update-service" ] || host=$PWD/build/win64/host/testbed
scripts/wine-prefix.sh up "$build/wineprefix"
trap 'scripts/wine-prefix.sh down "$build/wineprefix"' EXIT
export QV_WINE_RUN=$build/wine-run.sh QV_BIN=$build/bin QV_HOST_TESTBED=$host QV_WORK=$build/bench
echo "== $(basename "$build")"
python3 bench/startup/startup_bench.py "${QV_BENCH_ROUNDS:-7}"
python3 bench/download/transfer_bench.py 200 "${QV_TRANSFER_ROUNDS:-3}"
python3 bench/download/resume_bench.py 200 150
python3 bench/download/memory_bench.py 50 1024
python3 bench/download/service_bench.py 200 "${QV_TRANSFER_ROUNDS:-3}" 1024
QV_WINE_TIMEOUT=300 "$QV_WINE_RUN" "$QV_BIN/block_costs.exe" 5000
QV_WINE_TIMEOUT=300 "$QV_WINE_RUN" "$QV_BIN/keystroke_control_bench.exe"
