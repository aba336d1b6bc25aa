#!/usr/bin/env bash
# wine_roundtrip.sh WINE_RUN ARJ32_EXE WORKDIR
# Archives made by Debian's arj with every method go through Arj32.exe under
# Wine with the launcher's command line ("<exe>" e "<archive>" -y "<folder>\ ")
# and must come back byte for byte; a damaged archive must fail and leave no file.
set -euo pipefail
wine_run=$1 exe=$2 work=$3
rm -rf "$work"
mkdir -p "$work/src"
cd "$work/src"

winpath() { printf 'Z:%s' "${1//\//\\}"; }

seq 1 60000 > text.txt
head -c 200000 /dev/urandom > random.bin
: > empty.bin
printf 'Q' > one.bin
{ seq 1 4200000; head -c 17000000 /dev/urandom; } > big.bin  # about 50 MB
files=(text.txt random.bin empty.bin one.bin big.bin)

failures=0
for method in 0 1 2 3 4; do
  arj a -m$method -y "../m$method.arj" "${files[@]}" > /dev/null
  dest="$work/out$method"
  mkdir -p "$dest"
  if ! "$wine_run" "$exe" e "$(winpath "$work/m$method.arj")" -y "$(winpath "$dest")\\ "; then
    echo "method $method: Arj32.exe failed"; failures=$((failures + 1)); continue
  fi
  for f in "${files[@]}"; do
    cmp -s "$f" "$dest/$f" || { echo "method $method: $f differs"; failures=$((failures + 1)); }
  done
done

# Extracting again over the same files replaces them.
printf 'stale' > "$work/out1/text.txt"
if ! "$wine_run" "$exe" e "$(winpath "$work/m1.arj")" -y "$(winpath "$work/out1")\\ "; then
  echo "overwrite: Arj32.exe failed"; failures=$((failures + 1))
fi
cmp -s text.txt "$work/out1/text.txt" || { echo "overwrite: text.txt not replaced"; failures=$((failures + 1)); }

# A folder name outside ASCII.
mkdir -p "$work/更新文件"
"$wine_run" "$exe" e "$(winpath "$work/m1.arj")" -y "$(winpath "$work/更新文件")\\ " > /dev/null || true
cmp -s big.bin "$work/更新文件/big.bin" || { echo "Chinese folder: big.bin missing or different"; failures=$((failures + 1)); }

# A flipped byte in the packed data: non-zero exit, message, no file left behind.
cp "$work/m1.arj" "$work/bad.arj"
printf '\xff' | dd of="$work/bad.arj" bs=1 seek=2000 conv=notrunc status=none
mkdir -p "$work/bad"
if "$wine_run" "$exe" e "$(winpath "$work/bad.arj")" -y "$(winpath "$work/bad")\\ " 2> "$work/bad.err"; then
  echo "damaged archive: Arj32.exe reported success"; failures=$((failures + 1))
fi
grep -q "bad.arj" "$work/bad.err" || { echo "damaged archive: no message"; failures=$((failures + 1)); }
if [ -n "$(ls -A "$work/bad")" ]; then echo "damaged archive left: $(ls "$work/bad")"; failures=$((failures + 1)); fi

if [ "$failures" -eq 0 ]; then rm -rf "$work"; echo "all round trips passed"; fi
exit $((failures > 0))
