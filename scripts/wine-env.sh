# Sourced by the Wine scripts: the environment of every Wine call and the
# loader that can start programs on this machine.
#
# Once Debian's wine32 is installed, `wine` starts every program through the
# 32-bit loader. Where the kernel cannot execute 32-bit programs (no IA-32
# emulation) that loader fails for every program, 64-bit ones included, so
# those then go straight to the 64-bit loader and i686 programs cannot run.
# Sets QV_WINE (the loader to call), QV_WINE32 (yes when i686 programs can
# run) and, when they cannot, QV_WINE32_REASON. QV_WINE32_OFF=1 from the
# caller turns the 32-bit side off.
# QV_WINEDEBUG from the caller opens debug channels where a Wine program tells
# something only there (Wine's sc names a failure's error code only on err+sc).
export WINEARCH=win64 WINEDEBUG="${QV_WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
qv_wine32_loader=/usr/lib/wine/wine
qv_wine64_loader=/usr/lib/wine/wine64
QV_WINE32_REASON=
if [ -n "${QV_WINE32_OFF:-}" ]; then
  QV_WINE32_REASON="turned off by QV_WINE32_OFF"
elif [ ! -x "$qv_wine32_loader" ]; then
  QV_WINE32_REASON="wine32 is not installed (dpkg --add-architecture i386 && apt-get update && apt-get install wine32:i386)"
elif ! "$qv_wine32_loader" --version >/dev/null 2>&1; then
  QV_WINE32_REASON="the kernel does not execute 32-bit programs (boot it with ia32_emulation=on)"
fi
QV_WINE=wine
if [ -z "$QV_WINE32_REASON" ]; then
  QV_WINE32=yes
else
  QV_WINE32=no
  QV_WINE32_REASON="32-bit Windows programs cannot run here: $QV_WINE32_REASON"
  if [ -x "$qv_wine64_loader" ]; then
    export WINELOADER=$qv_wine64_loader
    QV_WINE=$qv_wine64_loader
  fi
fi
export QV_WINE QV_WINE32 QV_WINE32_REASON
