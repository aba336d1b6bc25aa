#!/usr/bin/env bash
# fuzz.sh [SECONDS] - builds the libFuzzer targets with clang and runs each for
# SECONDS (default 60), starting from its seed corpus under fuzz/corpus/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  work="build/fuzz/corpus/$name"
  mkdir -p "$work"
  echo "fuzzing $name for ${seconds}s"
  dict=()
  [ -f "fuzz/$name.dict" ] && dict=(-dict="fuzz/$name.dict")
  # libFuzzer exits non-zero on a finding; pipefail makes that fail the run.
  mkdir -p build/fuzz/artifacts
  "$target" -artifact_prefix=build/fuzz/artifacts/ -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
    "${dict[@]}" "$work" "fuzz/corpus/$name" 2>&1 | tail -n 3
done
