#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest.
# Window tests run offscreen; the host-window check runs under Xvfb. The
# printing tests print on a throwaway print server, and the tests that store
# data run twice: on SQLite and on a throwaway PostgreSQL server; both
# servers are started here and removed on exit, also on failure.
# The tests run with a home folder of their own, holding what a user keeps
# there (printed PDF files, settings); the run fails if any of it changed.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
. scripts/cups-test-server.sh
. scripts/pg-test-server.sh
test_home=$(mktemp -d /tmp/qvr-test-home.XXXXXX)
trap 'cups_test_server_stop; pg_test_server_stop; rm -rf "$test_home"' EXIT
cups_test_server_start
pg_test_server_start

# A user's own files: prints of the PDF queue (job numbers as a fresh print
# server gives them) and settings of the desktop and of the suite.
mkdir -p "$test_home/PDF" "$test_home/.config" "$test_home/QVR"
for job in $(seq 1 200); do printf 'impreso %s\n' "$job" > "$test_home/PDF/Declaracion-job_$job.pdf"; done
printf '[Options]\r\nSysPath=%s/QVR/\r\n' "$test_home" > "$test_home/.config/KV000.INI"
# Names, types, sizes and modification times of everything in the home folder.
home_listing() { (cd "$test_home" && find . -printf '%p %y %s %T@\n' | LC_ALL=C sort); }
before=$(home_listing)

cd build
status=0
env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME -u XDG_STATE_HOME HOME="$test_home" \
    QT_QPA_PLATFORM=offscreen \
    xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j"$(nproc)" "$@" || status=$?

after=$(home_listing)
if [ "$before" != "$after" ]; then
  echo "FAIL: the tests changed the home folder they ran with ($test_home):" >&2
  diff <(echo "$before") <(echo "$after") >&2 || true
  exit 1
fi
echo "home folder check passed: the tests left $test_home as they found it"
exit "$status"
