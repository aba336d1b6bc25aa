#!/usr/bin/env bash
# with-wine-build.sh COMMAND... - installs what is missing, builds the win64
# programs, and runs COMMAND with an X display, the Wine prefix up, and the
# environment the Wine harness reads (QV_WINE_RUN, QV_BIN, QV_HOST_TESTBED,
# QV_WORK=build/win64/<QV_WORK_NAME>). The Wine server is shut down afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build/win64
if [ -z "${QV_DISPLAY_READY:-}" ]; then
  scripts/install-deps.sh
  cmake --preset win64 >/dev/null
  cmake --build --preset win64
  # The display must exist before Wine starts its desktop process.
  QV_DISPLAY_READY=1 exec scripts/with-display.sh "$0" "$@"
fi
scripts/wine-prefix.sh up "$build/wineprefix"
trap 'scripts/wine-prefix.sh down "$build/wineprefix"' EXIT
export QV_WINE_RUN=$build/wine-run.sh QV_BIN=$build/bin QV_HOST_TESTBED=$build/host/testbed
export QV_WORK=$build/${QV_WORK_NAME:-run}
"$@"
