#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest.
# Window tests run offscreen; the host-window check runs under Xvfb. The
# printing tests print on a throwaway print server, and the tests that store
# data run twice: on SQLite and on a throwaway PostgreSQL server; both
# servers are started here and removed on exit, also on failure.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
. scripts/cups-test-server.sh
. scripts/pg-test-server.sh
trap 'cups_test_server_stop; pg_test_server_stop' EXIT
cups_test_server_start
pg_test_server_start
cd build
export QT_QPA_PLATFORM=offscreen
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j"$(nproc)" "$@"
