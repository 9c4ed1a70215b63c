#!/usr/bin/env bash
# Runs every benchmark program of a bench build; each prints its ratios against
# the baselines it measured in the same run. The ratios of all programs, and the
# raw tables behind them, are gathered into BENCH_BUILD_DIR/report.md, which is
# printed at the end so that a CI log holds it too.
set -euo pipefail
dir=${1:?usage: run-benchmarks.sh BENCH_BUILD_DIR}
report="$dir/report.md"
raw=$(mktemp)
ratios=$(mktemp)
trap 'rm -f "$raw" "$ratios"' EXIT

for program in "$dir"/bench/*_bench; do
  [ -x "$program" ] || continue
  name=$(basename "$program")
  echo "== $name"
  # The library writes its context (CPU, load, build warnings) to stderr; it belongs
  # with the table. The ratio reporter colours its rows whatever the terminal, so
  # the escapes are taken out for the Markdown file.
  output=$("$program" --benchmark_min_time=0.2 2>&1 | sed 's/\x1b\[[0-9;]*m//g')
  printf '%s\n' "$output"
  # The reporter prints the pairs' ratios after a header line; everything before
  # it is the library's own table.
  {
    echo "### $name"
    echo
    echo '```'
    printf '%s\n' "$output" | sed '/^benchmark \/ its baseline/,$d' | sed -e :a -e '/^\n*$/{$d;N;ba' -e '}'
    echo '```'
    echo
  } >>"$raw"
  printf '%s\n' "$output" |
    sed -n '/^benchmark \/ its baseline/,${/^benchmark \/ its baseline/d;p}' |
    awk -v program="$name" 'NF == 2 { printf "| %s | %s | %s |\n", program, $1, $2 }' >>"$ratios"
done

{
  echo "# Benchmark report"
  echo
  echo "Ratio: time of the benchmark / time of its baseline, measured in the same run."
  echo
  echo "| program | benchmark | ratio |"
  echo "|---|---|---:|"
  cat "$ratios"
  echo
  echo "## Raw results"
  echo
  cat "$raw"
} >"$report"

echo
echo "== $report"
cat "$report"
