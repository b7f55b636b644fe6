#!/usr/bin/env bash
# Builds the benchmarks and prints their figures. Window benchmarks draw
# offscreen. Usage: bench/run.sh [filter-regex-on-program-name]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh >/dev/null
export QT_QPA_PLATFORM=offscreen
filter="${1:-.}"
for b in build/bin/bench_*; do
  name=$(basename "$b")
  [[ "$name" =~ $filter ]] || continue
  echo "== $name"
  "$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
       --benchmark_counters_tabular=true 2>/dev/null | grep -E '^(Benchmark|-|[A-Za-z_/]+.*(median|mean))' || true
done
