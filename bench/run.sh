#!/usr/bin/env bash
# Builds the benchmarks and prints their figures. Window benchmarks draw
# offscreen; the start-up benchmark needs an X display for the host window
# check, so without DISPLAY the figures are taken under xvfb-run.
# The benchmarks of the stored data (form saves, declaration list, spool
# numbering) run twice, side by side: on SQLite and on a throwaway
# PostgreSQL server started here and removed on exit.
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
. scripts/pg-test-server.sh
trap pg_test_server_stop EXIT
pg_test_server_start >/dev/null
filter="${1:-.}"
figures() {
  "$1" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
       --benchmark_counters_tabular=true 2>/dev/null | grep -E '^(Benchmark|-|[A-Za-z_/]+.*(median|mean))' || true
}
for b in build/bin/bench_*; do
  name=$(basename "$b")
  [[ "$name" =~ $filter ]] || continue
  case "$name" in
    bench_form|bench_dialogs|bench_spool)
      echo "== $name (SQLite)"
      figures "$b"
      echo "== $name (PostgreSQL)"
      QVR_TEST_ENGINE=postgresql figures "$b" ;;
    *)
      echo "== $name"
      figures "$b" ;;
  esac
done
