#!/usr/bin/env bash
# Runs every libFuzzer target of tests/fuzz for SECONDS each (default 30),
# from its seed corpus. New inputs collect in build-san/fuzz-corpus/; a crash
# leaves its input in build-san/fuzz-crashes/ and ends the script non-zero.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
scripts/sanitize.sh --build-only
source scripts/sanitizer-env.sh
status=0
for seeds in tests/fuzz/corpus/*/; do
  target="$(basename "$seeds")"
  work="build-san/fuzz-corpus/$target"
  crashes="build-san/fuzz-crashes/$target"
  mkdir -p "$work" "$crashes"
  echo "== $target (${seconds}s)"
  if ! "build-san/bin/$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$crashes/" -print_final_stats=1 "$work" "$seeds" 2>"build-san/fuzz-$target.log"; then
    status=1
    tail -n 60 "build-san/fuzz-$target.log"
  fi
  grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "build-san/fuzz-$target.log" || true
done
exit $status
