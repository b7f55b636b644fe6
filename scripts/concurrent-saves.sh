#!/usr/bin/env bash
# The full-size run of the concurrent-save test: 8 f0834 save processes at
# once, ROUNDS times (default 100, so 800 saves; the suite runs 4 rounds), on
# four declarations of their own and one shared. Prints the saves, the failed
# ones and the time. Needs a build (scripts/build.sh).
# Usage: scripts/concurrent-saves.sh [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds="${1:-100}"
start=$(date +%s%N)
status=0
QVR_RONDAS_GUARDADO="$rounds" build/bin/test_cli_persistencia \
  --gtest_filter='Save.EightWritersAtOnceAllSucceed' >/tmp/concurrent-saves.$$ 2>&1 || status=$?
end=$(date +%s%N)
failed=$(grep -c '^f0834 save:' /tmp/concurrent-saves.$$ || true)
ms=$(( (end - start) / 1000000 ))
printf 'saves: %d (8 processes x %d rounds), failed: %d, time: %d.%03d s, test: %s\n' \
  $((8 * rounds)) "$rounds" "$failed" $((ms / 1000)) $((ms % 1000)) "$([[ $status == 0 ]] && echo passed || echo FAILED)"
rm -f /tmp/concurrent-saves.$$
exit "$status"
