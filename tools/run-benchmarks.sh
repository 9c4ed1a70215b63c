#!/usr/bin/env bash
# Runs every benchmark program of a bench build; each prints its ratios against
# the baselines it measured in the same run.
set -euo pipefail
dir=${1:?usage: run-benchmarks.sh BENCH_BUILD_DIR}
for program in "$dir"/bench/*_bench; do
  [ -x "$program" ] || continue
  echo "== $(basename "$program")"
  "$program" --benchmark_min_time=0.2
done
