#!/usr/bin/env bash
# wine-prefix.sh up|down PREFIX
#   up:   make (or reuse) a Wine prefix, link a CJK font for Chinese texts,
#         and keep one wineserver alive for the test run.
#   down: shut that wineserver down.
# A prefix is made for what this machine can run: with the 32-bit side
# (syswow64) when i686 programs run here, without it otherwise. One made for
# the other case (for example before wine32 was installed, which then fails
# for every program) is made again.
set -euo pipefail
action=$1
export WINEPREFIX=$2
source "$(dirname "$0")/wine-env.sh"
kind=$([ "$QV_WINE32" = yes ] && echo wow64 || echo win64)

prefix_fits() {
  [ -f "$WINEPREFIX/system.reg" ] && [ "$(cat "$WINEPREFIX/.qv-ready" 2>/dev/null)" = "$kind" ] &&
    [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ] &&
    { [ "$kind" = win64 ] || [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; }
}

case "$action" in
  up)
    # wineboot now and then leaves a prefix without its system files (seen
    # once in a CI run); a second attempt on a clean folder makes it.
    attempt=0
    while ! prefix_fits && [ "$attempt" -lt 2 ]; do
      attempt=$((attempt + 1))
      timeout 60 wineserver -k 2>/dev/null || true
      rm -rf "$WINEPREFIX"
      mkdir -p "$WINEPREFIX"
      log=$(dirname "$WINEPREFIX")/wineboot.log
      timeout 180 "$QV_WINE" wineboot.exe -i >"$log" 2>&1 || true
      timeout 120 wineserver -w || true
      [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ] || {
        echo "wineboot attempt $attempt made no system files in $WINEPREFIX; its last output:" >&2
        tail -5 "$log" >&2
        continue
      }
      font='wqy-microhei.ttc,WenQuanYi Micro Hei'
      for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" SimSun "宋体"; do
        timeout 60 "$QV_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
          /v "$face" /t REG_MULTI_SZ /d "$font" /f >/dev/null 2>&1
      done
      # Xvfb has no window manager: unmanaged windows spare a 2 s wait for one
      # whenever a window is activated or hidden.
      timeout 60 "$QV_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
      timeout 60 wineserver -k || true
      echo "$kind" >"$WINEPREFIX/.qv-ready"
    done
    prefix_fits || { echo "wineboot made no usable $kind prefix in $WINEPREFIX" >&2; exit 1; }
    [ "$QV_WINE32" = yes ] || echo "$QV_WINE32_REASON"
    # A persistent server for the whole run; 'down' ends it.
    (setsid timeout 3600 wineserver -p -f </dev/null >/dev/null 2>&1 &) || true
    # Start Wine's own services now, detached from any test's output: a test
    # that starts them would otherwise hand them its pipes, and CTest would
    # wait for them to close.
    timeout 60 "$QV_WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
    ;;
  down)
    timeout 60 wineserver -k 2>/dev/null || true
    ;;
  *) echo "usage: $0 up|down PREFIX" >&2; exit 2 ;;
esac
