# A throwaway PostgreSQL server for the tests, sourced by test.sh (and usable
# by hand: `. scripts/pg-test-server.sh && pg_test_server_start`).
#
# pg_test_server_start: initdb into a new temporary folder as an unprivileged
#   user (the server refuses root), listens only on a Unix socket in that
#   folder, makes the suite's login role and a template database holding the
#   schema, and exports QVR_TEST_PG=<socket folder>. Returns non-zero with the
#   reason on standard error when the server cannot start.
# pg_test_server_stop: stops the server and removes the folder; safe to call
#   twice or when nothing was started.
#
# Each test suite on the server is a database copied from the template
# (qvr_template) and dropped when the test ends; the programs log in as the
# suite's built-in role, which holds rights on the tables only.

QVR_PG_BIN=${QVR_PG_BIN:-/usr/lib/postgresql/15/bin}
QVR_PG_DIR=""

_pg_test_as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u nobody -- "$@"
  else
    "$@"
  fi
}

pg_test_server_start() {
  local here schema
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  schema="$here/host/schema/postgresql.sql"
  if [ ! -x "$QVR_PG_BIN/initdb" ]; then
    echo "PostgreSQL test server: $QVR_PG_BIN/initdb not found (package postgresql)" >&2
    return 1
  fi
  QVR_PG_DIR=$(mktemp -d "${TMPDIR:-/tmp}/qvr-pg.XXXXXX") || return 1
  chmod 700 "$QVR_PG_DIR"   # the socket takes anyone the folder lets in (trust)
  [ "$(id -u)" -eq 0 ] && chown nobody: "$QVR_PG_DIR"
  if ! _pg_test_as_owner "$QVR_PG_BIN/initdb" -D "$QVR_PG_DIR/data" -U postgres -A trust -E UTF8 \
         --locale=C --no-sync >"$QVR_PG_DIR/initdb.log" 2>&1; then
    echo "PostgreSQL test server: initdb failed:" >&2
    cat "$QVR_PG_DIR/initdb.log" >&2
    return 1
  fi
  # One role must give its password (tests of ~/.pgpass and of a wrong one);
  # the rest come in by trust. Rewritten in place: the file stays the owner's.
  { echo "local all qvrclave scram-sha-256"; cat "$QVR_PG_DIR/data/pg_hba.conf"; } >"$QVR_PG_DIR/hba"
  cat "$QVR_PG_DIR/hba" >"$QVR_PG_DIR/data/pg_hba.conf"
  # No TCP at all: the socket in the private folder is the only way in.
  if ! _pg_test_as_owner "$QVR_PG_BIN/pg_ctl" -D "$QVR_PG_DIR/data" -l "$QVR_PG_DIR/server.log" -w -t 60 \
         -o "-c listen_addresses='' -k $QVR_PG_DIR -c max_connections=200 -c fsync=off \
             -c synchronous_commit=off -c full_page_writes=off" start >/dev/null; then
    echo "PostgreSQL test server: the server did not start:" >&2
    cat "$QVR_PG_DIR/server.log" >&2
    return 1
  fi
  local psql=("$QVR_PG_BIN/psql" -X -q -v ON_ERROR_STOP=1 -h "$QVR_PG_DIR" -U postgres)
  if ! { "${psql[@]}" -d postgres -c "CREATE ROLE qvrsuite LOGIN" \
         && "${psql[@]}" -d postgres -c "CREATE ROLE qvrclave LOGIN PASSWORD 'clave-de-prueba'" \
         && "${psql[@]}" -d postgres -c "CREATE DATABASE qvr_template" \
         && "${psql[@]}" -d qvr_template -f "$schema" \
         && "${psql[@]}" -d qvr_template \
              -c "GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO qvrsuite, qvrclave"; } \
       >"$QVR_PG_DIR/setup.log" 2>&1; then
    echo "PostgreSQL test server: setting up the template database failed:" >&2
    cat "$QVR_PG_DIR/setup.log" >&2
    return 1
  fi
  export QVR_TEST_PG="$QVR_PG_DIR"
  echo "PostgreSQL test server on $QVR_PG_DIR"
}

pg_test_server_stop() {
  [ -n "$QVR_PG_DIR" ] || return 0
  if [ -f "$QVR_PG_DIR/data/postmaster.pid" ]; then
    _pg_test_as_owner "$QVR_PG_BIN/pg_ctl" -D "$QVR_PG_DIR/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$QVR_PG_DIR"
  QVR_PG_DIR=""
}
