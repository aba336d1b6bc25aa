#!/usr/bin/env bash
# monitor_poll_bench.sh - one forced poll of the connectivity monitor over 100
# simulated terminals (all reachable, then 10 down) against a do-nothing call,
# under Wine. Prints the medians and ratios.
set -euo pipefail
cd "$(dirname "$0")/.."
QV_WORK_NAME=monitor-bench scripts/with-wine-build.sh python3 bench/monitor/monitor_poll_bench.py "${QV_BENCH_ROUNDS:-15}"
