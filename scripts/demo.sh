#!/usr/bin/env bash
# The demo: installs what is missing, builds the Windows programs, and runs the
# launcher under Wine against the loopback update service (Xvfb when there is
# no display). Screenshots are saved in build/win64/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64
build=$PWD/build/win64
scripts/wine-prefix.sh up "$build/wineprefix"
trap 'scripts/wine-prefix.sh down "$build/wineprefix"' EXIT
QV_WINE_RUN=$build/wine-run.sh QV_BIN=$build/bin QV_HOST_TESTBED=$build/host/testbed QV_WORK=$build/demo \
  scripts/with-display.sh python3 testbed/demo/demo.py
