#!/usr/bin/env bash
# The sanitizer build: everything built with clang's AddressSanitizer and
# UndefinedBehaviorSanitizer (and libFuzzer's coverage, so tests/fuzz comes
# from the same build) into build-san/, then the whole test suite run there,
# on both engines.
#   scripts/sanitize.sh [--build-only] [CTEST ARGS...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build_only=0
if [ "${1:-}" = "--build-only" ]; then build_only=1; shift; fi
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  # Paths below the source folder are hashed relative to it, so a second
  # clone or work tree reuses the same cache entries.
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
fi
cmake -S . -B build-san -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DQVR_SANITIZE=ON \
  "${launcher[@]}" >/dev/null
cmake --build build-san -j"$(nproc)"
[ "$build_only" = 1 ] && exit 0

# The tests that store data run on the throwaway PostgreSQL server too, and
# the printing tests on the throwaway print server, as in test.sh.
. scripts/cups-test-server.sh
. scripts/pg-test-server.sh
trap 'cups_test_server_stop; pg_test_server_stop' EXIT
cups_test_server_start
pg_test_server_start

source scripts/sanitizer-env.sh
cd build-san
export QT_QPA_PLATFORM=offscreen
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j"$(nproc)" "$@"
