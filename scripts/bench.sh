#!/usr/bin/env bash
# bench.sh - builds and runs the benchmarks; each prints its figures and a
# ratio against a baseline measured in the same run. The Windows benchmarks
# run for build/win64 and, when its programs exist and its prefix runs them,
# for build/win32. Not part of the tests: they take minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
targets="startqvl Arj32 quorvel uidriver baseline_launch bare_download block_costs keystroke_control_bench Lumen_Control"
cmake --preset win64 >/dev/null && cmake --build --preset win64 --target $targets host_tools
builds=(build/win64)
if [ -d build/win32/bin ]; then
  cmake --build --preset win32 --target $targets
  # A 32-bit program that runs answers 2 for its missing arguments.
  status=0
  scripts/with-display.sh bash -c 'scripts/wine-prefix.sh up build/win32/wineprefix &&
    QV_WINE_TIMEOUT=60 build/win32/wine-run.sh build/win32/bin/bare_download.exe; echo $? > build/win32/bench-probe;
    scripts/wine-prefix.sh down build/win32/wineprefix' >/dev/null 2>&1 || status=$?
  if [ "$status" = 0 ] && [ "$(cat build/win32/bench-probe 2>/dev/null)" = 2 ]; then
    builds+=(build/win32)
  else
    echo "build/win32: its programs do not run under Wine here; 32-bit benchmarks skipped"
  fi
fi
for build in "${builds[@]}"; do
  scripts/with-display.sh scripts/bench-windows.sh "$build"
done
cmake --preset native >/dev/null && cmake --build --preset native  # for the native benchmarks
build/native/bench/keystroke/keystroke_rule_bench
for extra in bench/*.sh; do
  if [ -x "$extra" ]; then "$extra"; fi
done
