#!/usr/bin/env bash
# A private PostgreSQL server for the tests and the benchmark, on a free port
# of 127.0.0.1, in a temporary folder owned by the postgres user (the server
# refuses to run as root). User "postgres", no password.
#
#   source scripts/postgres.sh        starts it, exports PLOTREEL_PG_PORT and
#                                     stops it when the calling shell exits
#   scripts/postgres.sh COMMAND...    runs COMMAND with PLOTREEL_PG_PORT set,
#                                     then stops it

plotreel_pg_start() {
  local bin
  bin="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)"
  if [ -z "$bin" ]; then
    echo "postgres.sh: PostgreSQL is not installed (scripts/install-deps.sh --with-tests)" >&2
    return 1
  fi
  PLOTREEL_PG_DIR="$(mktemp -d /tmp/plotreel-pg.XXXXXX)"
  chown postgres: "$PLOTREEL_PG_DIR"
  local port=55432
  while (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do port=$((port + 1)); done
  runuser -u postgres -- "$bin/initdb" -D "$PLOTREEL_PG_DIR/data" -U postgres -A trust --no-sync >/dev/null || return 1
  runuser -u postgres -- "$bin/pg_ctl" -D "$PLOTREEL_PG_DIR/data" -l "$PLOTREEL_PG_DIR/log" -w \
    -o "-p $port -k $PLOTREEL_PG_DIR -c listen_addresses=127.0.0.1 -c fsync=off" start >/dev/null || {
    cat "$PLOTREEL_PG_DIR/log" >&2
    return 1
  }
  PLOTREEL_PG_BIN="$bin"
  export PLOTREEL_PG_PORT="$port"
}

plotreel_pg_stop() {
  if [ -n "${PLOTREEL_PG_DIR:-}" ]; then
    runuser -u postgres -- "$PLOTREEL_PG_BIN/pg_ctl" -D "$PLOTREEL_PG_DIR/data" -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$PLOTREEL_PG_DIR"
    PLOTREEL_PG_DIR=""
  fi
}

if [ "${BASH_SOURCE[0]}" != "$0" ]; then
  # Sourced: keep the caller's own exit trap and stop the server before it.
  plotreel_pg_previous_trap="$(trap -p EXIT)"
  plotreel_pg_previous_trap="${plotreel_pg_previous_trap#trap -- }"
  plotreel_pg_previous_trap="${plotreel_pg_previous_trap% EXIT}"
  eval "plotreel_pg_previous_trap=${plotreel_pg_previous_trap:-\"\"}"
  trap "plotreel_pg_stop; $plotreel_pg_previous_trap" EXIT
  plotreel_pg_start || { plotreel_pg_stop; exit 1; }
else
  set -euo pipefail
  trap plotreel_pg_stop EXIT
  plotreel_pg_start
  "$@"
fi
