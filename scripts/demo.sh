#!/usr/bin/env bash
# The demo: installs what is missing, builds the Windows programs, and runs the
# launcher under Wine against the loopback update service (Xvfb when there is
# no display). Screenshots are saved in build/win64/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
QV_WORK_NAME=demo exec scripts/with-wine-build.sh python3 testbed/demo/demo.py
