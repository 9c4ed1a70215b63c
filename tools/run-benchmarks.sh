#!/usr/bin/env bash
# Runs every benchmark program of a bench build; each prints its ratios against
# the baselines it measured in the same run. The ratios of all programs, and the
# raw tables behind them, are gathered into BENCH_BUILD_DIR/report.md, which is
# printed at the end so that a CI log holds it too.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
dir=${1:?usage: run-benchmarks.sh BENCH_BUILD_DIR [BUILD_ROOT]}
# The cross builds' benchmark programs (BUILD_ROOT/<arch>/bin/*_bench.exe) run
# under Wine in an environment of the bench build's own.
root=${2:-}
report="$dir/report.md"
raw=$(mktemp)
ratios=$(mktemp)
with_goals=$(mktemp)
trap 'rm -f "$raw" "$ratios" "$with_goals"' EXIT

run_program() {
  case "$1" in
    *.exe)
      local arch
      arch=$(basename "$(dirname "$(dirname "$1")")")
      "$here/wine-env.sh" run "$dir" "$arch" 600 "$1" | tr -d '\r'
      ;;
    *) "$1" --benchmark_min_time=0.2 ;;
  esac
}

programs=("$dir"/bench/*_bench)
if [ -n "$root" ]; then
  programs+=("$root"/x86_64/bin/*_bench.exe "$root"/i686/bin/*_bench.exe)
  trap 'rm -f "$raw" "$ratios" "$with_goals"; "$here/wine-env.sh" stop "$dir"' EXIT
fi

for program in "${programs[@]}"; do
  [ -f "$program" ] || continue
  name=$(basename "$program")
  case "$program" in *.exe) name="$name ($(basename "$(dirname "$(dirname "$program")")"))" ;; esac
  echo "== $name"
  # The library writes its context (CPU, load, build warnings) to stderr; it belongs
  # with the table. The ratio reporter colours its rows whatever the terminal, so
  # the escapes are taken out for the Markdown file.
  output=$(run_program "$program" 2>&1 | sed 's/\x1b\[[0-9;]*m//g')
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

# Each ratio beside its goal (bench/goals.txt), and whether this run met it.
goals="$here/../bench/goals.txt"
awk -F' [|] ' -v goals="$goals" '
  BEGIN {
    while ((getline line < goals) > 0) {
      if (line ~ /^#/ || line ~ /^[ \t]*$/) continue
      split(line, f, " ")
      limit[f[1]] = f[2]
      text = line
      sub(/^[^ ]+[ ]+[^ ]+[ ]+/, "", text)
      words[f[1]] = text
    }
  }
  {
    sub(/^[|] /, ""); sub(/ [|]$/, "")
    name = $2; ratio = $3
    split($1, words_of_program, " ")
    qualified = words_of_program[1] ":" name
    if (qualified in limit) name = qualified
    if (name in limit) {
      verdict = (ratio + 0 <= limit[name] + 0) ? "met" : "**not met**"
      printf "| %s | %s | %s | <= %s: %s | %s |\n", $1, $2, ratio, limit[name], words[name], verdict
    } else {
      printf "| %s | %s | %s | none | |\n", $1, $2, ratio
    }
  }' "$ratios" >"$with_goals"

{
  echo "# Benchmark report"
  echo
  echo "Ratio: time of the benchmark / time of its baseline, measured in the same run."
  echo "Regenerate with \`make bench\` (the report is written to build/bench/report.md)."
  echo
  echo "| program | benchmark | ratio | goal | this run |"
  echo "|---|---|---:|---|---|"
  cat "$with_goals"
  echo
  echo "## Raw results"
  echo
  cat "$raw"
} >"$report"

echo
echo "== $report"
cat "$report"
