#!/usr/bin/env bash
# with-wine-build.sh COMMAND... - installs what is missing, builds the Windows
# programs of one bitness, and runs COMMAND with an X display, the Wine prefix
# up, and the environment the Wine harness reads (QV_WINE_RUN, QV_BIN,
# QV_HOST_TESTBED, QV_ARCH, QV_WINEPREFIX, QV_WORK=build/<preset>/<QV_WORK_NAME>).
# The Wine server is shut down afterwards.
#
# QV_ARCH=i686 (the default: the build schools run, preset win32) or x86_64
# (preset win64). Where 32-bit programs cannot run, the default falls back to
# x86_64 and says why; an explicit QV_ARCH=i686 fails instead.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${QV_DISPLAY_READY:-}" ]; then
  scripts/install-deps.sh
  source scripts/wine-env.sh
  arch=${QV_ARCH:-i686}
  if [ "$arch" = i686 ] && [ "$QV_WINE32" != yes ]; then
    [ -z "${QV_ARCH:-}" ] || { echo "QV_ARCH=i686: $QV_WINE32_REASON" >&2; exit 1; }
    echo "$QV_WINE32_REASON; running the x86_64 build instead" >&2
    arch=x86_64
  fi
  case "$arch" in
    i686) preset=win32 ;;
    x86_64) preset=win64 ;;
    *) echo "QV_ARCH must be i686 or x86_64, not '$arch'" >&2; exit 2 ;;
  esac
  cmake --preset $preset >/dev/null
  cmake --build --preset $preset
  # The display must exist before Wine starts its desktop process.
  QV_ARCH=$arch QV_PRESET=$preset QV_DISPLAY_READY=1 exec scripts/with-display.sh "$0" "$@"
fi
build=$PWD/build/$QV_PRESET
scripts/wine-prefix.sh up "$build/wineprefix"
trap 'scripts/wine-prefix.sh down "$build/wineprefix"' EXIT
export QV_WINE_RUN=$build/wine-run.sh QV_BIN=$build/bin QV_HOST_TESTBED=$build/host/testbed
export QV_WINEPREFIX=$build/wineprefix QV_WORK=$build/${QV_WORK_NAME:-run}
"$@"
