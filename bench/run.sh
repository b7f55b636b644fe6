#!/usr/bin/env bash
# Builds the benchmarks and prints their figures. Window benchmarks draw
# offscreen; the start-up benchmark needs an X display for the host window
# check, so without DISPLAY the figures are taken under xvfb-run.
# Usage: bench/run.sh [filter-regex-on-program-name]
set -euo pipefail
script="$(cd "$(dirname "$0")" && pwd)/$(basename "$0")"
cd "$(dirname "$script")/.."
if [[ -z "${QVR_BENCH_BUILT:-}" ]]; then
  scripts/install-deps.sh
  scripts/build.sh >/dev/null
fi
if [[ -z "${DISPLAY:-}" ]] && command -v xvfb-run >/dev/null; then
  QVR_BENCH_BUILT=1 exec xvfb-run -a "$script" "$@"
fi
export QT_QPA_PLATFORM=offscreen
filter="${1:-.}"
for b in build/bin/bench_*; do
  name=$(basename "$b")
  [[ "$name" =~ $filter ]] || continue
  echo "== $name"
  "$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
       --benchmark_counters_tabular=true 2>/dev/null | grep -E '^(Benchmark|-|[A-Za-z_/]+.*(median|mean))' || true
done
