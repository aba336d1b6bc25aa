#!/usr/bin/env bash
# The test command: installs what is missing, builds the three builds (native,
# win32, win64), runs the native tests, the Windows tests under Wine for each
# bitness (i686 first: the build schools run), and a short run of every fuzz
# target. Fails on the first failure. Where 32-bit programs cannot run, the
# i686 suites are reported as skipped, with the reason.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build() { cmake --preset "$1" >/dev/null && cmake --build --preset "$1"; }

build native
ctest --preset native

# Both Windows builds first: the i686 run's mixed tests use x86_64 programs.
build win32
build win64
build/win32/wine-run.sh --check || true
scripts/with-display.sh ctest --preset win32
scripts/with-display.sh ctest --preset win64

# The installation package, made from the i686 build.
cmake --build --preset win32 --target msi

scripts/fuzz.sh "${QV_FUZZ_SECONDS:-15}"
