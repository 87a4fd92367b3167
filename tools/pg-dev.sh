#!/usr/bin/env bash
# A throwaway PostgreSQL cluster on loopback, for trying several tills and for the tests.
#   tools/pg-dev.sh start [DIR] [PORT]   creates and starts it, prints its URL
#   tools/pg-dev.sh stop  [DIR]          stops it and removes DIR
# DIR defaults to /tmp/vorlan-pg, PORT to 54329. The cluster trusts every local
# connection and lets the user "vorlan" in: never use it for a shop's real data.
set -euo pipefail
command=${1:-}
dir=${2:-/tmp/vorlan-pg}
port=${3:-54329}
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
[ -n "$bin" ] || { echo "pg-dev.sh: PostgreSQL is not installed (Debian: postgresql)" >&2; exit 1; }

# PostgreSQL refuses to run as root: root runs it as the postgres user.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

# Only a folder this script made (or an empty one) is ever removed.
ours() {
  [ ! -e "$dir" ] || [ -f "$dir/data/PG_VERSION" ] || [ -z "$(ls -A "$dir")" ] \
    || { echo "pg-dev.sh: $dir is not a cluster of this script; left alone" >&2; exit 1; }
}

case "$command" in
start)
  ours
  if [ -f "$dir/data/postmaster.pid" ]; then
    as_owner "$bin/pg_ctl" -D "$dir/data" -m fast stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
  mkdir -p "$dir"
  [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
  as_owner "$bin/initdb" -D "$dir/data" -A trust -U vorlan -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 \
    || { cat "$dir/initdb.log" >&2; exit 1; }
  as_owner "$bin/pg_ctl" -D "$dir/data" -o "-p $port -k $dir -c listen_addresses=127.0.0.1" \
    -l "$dir/log" -w start >/dev/null || { cat "$dir/log" >&2; exit 1; }
  as_owner "$bin/createdb" -h 127.0.0.1 -p "$port" -U vorlan vorlan
  echo "postgresql://vorlan@127.0.0.1:$port/vorlan"
  ;;
stop)
  ours
  if [ -f "$dir/data/postmaster.pid" ]; then
    as_owner "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null
  fi
  rm -rf "$dir"
  ;;
*)
  echo "usage: tools/pg-dev.sh start|stop [DIR] [PORT]" >&2
  exit 2
  ;;
esac
