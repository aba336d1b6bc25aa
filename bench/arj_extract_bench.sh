#!/usr/bin/env bash
# arj_extract_bench.sh [BUILD_DIR] - extraction of one 200 MB archive packed with
# the default method (-m1) by Debian's arj: our arj32-native against `arj e`, in
# one run. Prints both times and the ratio arj/ours (above 1.0: ours is faster).
# The data (in BUILD_DIR/arj-bench) is made on the first run and kept.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/native}
ours="$build/testbed/arj32/arj32-native"
[ -x "$ours" ] || { echo "build $ours first (cmake --preset native && cmake --build --preset native)"; exit 1; }
work="$build/arj-bench"
mkdir -p "$work"
work=$(cd "$work" && pwd)

if [ ! -f "$work/bench.arj" ]; then
  echo "making the 200 MB sample and its archive..."
  # Mixed content: numbers and words compress, noise does not.
  python3 - "$work/sample.bin" <<'PY'
import random, sys
random.seed(42)
words = [''.join(random.choice('abcdefghijklmnopqrstuvwxyz') for _ in range(random.randint(2, 10))) for _ in range(5000)]
with open(sys.argv[1], 'wb') as out:
    written = 0
    while written < 200 * 1024 * 1024:
        text = ' '.join(random.choice(words) for _ in range(150000)).encode()
        noise = random.randbytes(200000)
        out.write(text); out.write(noise)
        written += len(text) + len(noise)
PY
  (cd "$work" && arj a -m1 -y bench.arj sample.bin > /dev/null)
fi

seconds() { local start end; start=$(date +%s.%N); "$@" > /dev/null; end=$(date +%s.%N); awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'; }

rm -rf "$work/out-arj" "$work/out-ours"
mkdir -p "$work/out-arj" "$work/out-ours"
t_arj=$(cd "$work/out-arj" && seconds arj e -y ../bench.arj)
t_ours=$(seconds "$ours" e "$work/bench.arj" -y "$work/out-ours/ ")
cmp -s "$work/out-arj/sample.bin" "$work/out-ours/sample.bin" || { echo "outputs differ"; exit 1; }
cmp -s "$work/sample.bin" "$work/out-ours/sample.bin" || { echo "output differs from the original"; exit 1; }
rm -rf "$work/out-arj" "$work/out-ours"
printf 'archive: %s bytes (from %s)\n' "$(stat -c %s "$work/bench.arj")" "$(stat -c %s "$work/sample.bin")"
printf 'arj e:        %.3f s\n' "$t_arj"
printf 'arj32-native: %.3f s\n' "$t_ours"
printf 'ratio arj/ours: %.2f (goal >= 1.0)\n' "$(awk -v a="$t_arj" -v b="$t_ours" 'BEGIN { print a / b }')"
