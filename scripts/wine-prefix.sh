#!/usr/bin/env bash
# wine-prefix.sh up|down PREFIX
#   up:   make (or reuse) a Wine prefix, link a CJK font for Chinese texts,
#         and keep one wineserver alive for the test run.
#   down: shut that wineserver down.
set -euo pipefail
action=$1
export WINEPREFIX=$2
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

case "$action" in
  up)
    if [ ! -f "$WINEPREFIX/.qv-ready" ]; then
      rm -rf "$WINEPREFIX"
      mkdir -p "$WINEPREFIX"
      timeout 180 wineboot -i >/dev/null 2>&1 || true
      timeout 120 wineserver -w || true
      font='wqy-microhei.ttc,WenQuanYi Micro Hei'
      for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" SimSun "宋体"; do
        timeout 60 wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
          /v "$face" /t REG_MULTI_SZ /d "$font" /f >/dev/null 2>&1
      done
      # Xvfb has no window manager: unmanaged windows spare a 2 s wait for one
      # whenever a window is activated or hidden.
      timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
      timeout 60 wineserver -k || true
      [ -f "$WINEPREFIX/system.reg" ] || { echo "wineboot made no prefix in $WINEPREFIX" >&2; exit 1; }
      touch "$WINEPREFIX/.qv-ready"
    fi
    # A persistent server for the whole run; 'down' ends it.
    (setsid timeout 3600 wineserver -p -f </dev/null >/dev/null 2>&1 &) || true
    # Start Wine's own services now, detached from any test's output: a test
    # that starts them would otherwise hand them its pipes, and CTest would
    # wait for them to close.
    timeout 60 wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    ;;
  down)
    timeout 60 wineserver -k 2>/dev/null || true
    ;;
  *) echo "usage: $0 up|down PREFIX" >&2; exit 2 ;;
esac
