#!/usr/bin/env bash
# The test command: installs what is missing, builds the three builds (native,
# win64, win32), runs the native tests, the Windows tests under Wine, and a
# short run of every fuzz target. Fails on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build() { cmake --preset "$1" >/dev/null && cmake --build --preset "$1"; }

build native
ctest --preset native

build win64
scripts/with-display.sh ctest --preset win64

# 32-bit Windows programs cannot execute on these machines: built, not run.
build win32
cmake --build --preset win32 --target msi

scripts/fuzz.sh "${QV_FUZZ_SECONDS:-15}"
