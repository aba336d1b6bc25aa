#!/usr/bin/env bash
# demo.sh [i686|x86_64] - the demo: installs what is missing, builds the Windows
# programs, and runs the launcher under Wine against the loopback update
# service (Xvfb when there is no display). The i686 build by default, the one
# schools run (x86_64 where 32-bit programs cannot run); the x86_64 build on
# request (an argument, or QV_ARCH=x86_64). Screenshots are saved in
# build/win32/demo/ (build/win64/demo/ for x86_64).
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -eq 0 ] || export QV_ARCH=$1
QV_WORK_NAME=demo exec scripts/with-wine-build.sh python3 testbed/demo/demo.py
