#!/usr/bin/env bash
# build-msi.sh INPUTS VERSION OUTPUT
# Makes the installation package OUTPUT (version VERSION) from the programs
# that INPUTS names (a shell fragment the build writes: ARCH, WXS, FINISH_SQL,
# LAUNCHER, MONITOR, ARCHIVER, CONTROLS, REMOVER, SERVICE, CLIP, VERSION_FILE,
# MONITOR_*).
# The programs are copied to OUTPUT's folder, "<package>-files"; with
# QV_SIGN_CERT (certificate file, PEM or DER, chain included) and QV_SIGN_KEY
# (its private key, PEM or DER) they and the package are signed with
# Authenticode (osslsigncode); QV_SIGN_KEY_PASSWORD unlocks an encrypted key,
# QV_SIGN_TIMESTAMP_URL adds a time stamp.
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 INPUTS VERSION OUTPUT" >&2; exit 2; }
inputs=$1 version=$2 output=$3
# shellcheck source=/dev/null
source "$inputs"

signing=
if [ -n "${QV_SIGN_CERT:-}" ] || [ -n "${QV_SIGN_KEY:-}" ]; then
  if [ -z "${QV_SIGN_CERT:-}" ] || [ -z "${QV_SIGN_KEY:-}" ]; then
    echo "build-msi.sh: signing needs both QV_SIGN_CERT and QV_SIGN_KEY" >&2
    exit 1
  fi
  for file in "$QV_SIGN_CERT" "$QV_SIGN_KEY"; do
    [ -r "$file" ] || { echo "build-msi.sh: cannot read $file" >&2; exit 1; }
  done
  command -v osslsigncode >/dev/null || { echo "build-msi.sh: osslsigncode is missing" >&2; exit 1; }
  signing=yes
fi

sign() {
  local file=$1 signed="$1.signed"
  local args=(sign -certs "$QV_SIGN_CERT" -key "$QV_SIGN_KEY" -h sha256 -n "Quorvel" -in "$file" -out "$signed")
  [ -z "${QV_SIGN_KEY_PASSWORD:-}" ] || args+=(-pass "$QV_SIGN_KEY_PASSWORD")
  [ -z "${QV_SIGN_TIMESTAMP_URL:-}" ] || args+=(-ts "$QV_SIGN_TIMESTAMP_URL")
  rm -f "$signed"
  osslsigncode "${args[@]}" >/dev/null
  mv -f "$signed" "$file"
}

files="${output%.msi}-files"
work="${output}.work"
rm -rf "$files" "$work"
mkdir -p "$files" "$work"
trap 'rm -rf "$work"' EXIT
cp "$LAUNCHER" "$files/startqvl.exe"
cp "$MONITOR" "$files/qvlCheckCommunicate.exe"
cp "$ARCHIVER" "$files/Arj32.exe"
cp "$CONTROLS" "$files/Lumen_Control.ocx"
cp "$REMOVER" "$files/RemoveInstallation.exe"
cp "$SERVICE" "$files/qvlUpdateService.exe"
cp "$CLIP" "$files/wait.avi"
if [ -n "$signing" ]; then
  for program in startqvl.exe qvlCheckCommunicate.exe Arj32.exe Lumen_Control.ocx RemoveInstallation.exe \
    qvlUpdateService.exe; do
    sign "$files/$program"
  done
fi

package="$work/package.msi"
# wixl takes file sources relative to the folder it runs in.
cp "$VERSION_FILE" "$work/FileVersion.cfg"
(cd "$work" && wixl -a "$ARCH" -o package.msi \
  -D Version="$version" -D Arch="$ARCH" -D Bin="../${files##*/}" -D VersionFile=FileVersion.cfg \
  -D MonitorClsid="$MONITOR_CLSID" -D MonitorLibid="$MONITOR_LIBID" -D MonitorLibVersion="$MONITOR_LIBVERSION" \
  -D MonitorInterface="$MONITOR_INTERFACE" -D MonitorEvents="$MONITOR_EVENTS" \
  "$WXS")
[ -s "$package" ] || { echo "build-msi.sh: wixl made no package" >&2; exit 1; }

# Chinese texts need the package's code page; msibuild takes them as UTF-8.
printf '\r\n\r\n936\t_ForceCodepage\r\n' > "$work/_ForceCodepage.idt"
msibuild "$package" -i "$work/_ForceCodepage.idt"
while IFS= read -r statement; do
  case "$statement" in '' | --*) continue ;; esac
  msibuild "$package" -q "$statement"
done < "$FINISH_SQL"

[ -z "$signing" ] || sign "$package"
mv -f "$package" "$output"
