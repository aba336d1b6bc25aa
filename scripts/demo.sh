#!/usr/bin/env bash
# The demo: installs what is missing, builds the launcher's portable core and
# runs its start-up sequence checks, then builds the Windows binaries.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset native >/dev/null && cmake --build --preset native
echo "== the launcher's start-up sequence, driven against stand-in services"
build/native/launcher/launcher_core_tests --gtest_filter='StartupSequence*:*Main*'
cmake --preset win64 >/dev/null && cmake --build --preset win64
echo "== Windows binaries built in build/win64"
