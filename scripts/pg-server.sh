#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests, in a scratch folder:
#   pg-server.sh start DIR   makes a cluster in DIR, starts it with its Unix
#                            socket in DIR (no TCP, trust for the socket) and
#                            prints the connection string of its database;
#                            the role velmora_pw alone must give its password
#                            ("velmora-pw-secret", scram-sha-256)
#   pg-server.sh stop DIR    stops it and removes DIR
# The server refuses to run as root: as root it runs as the system user
# "postgres" (made when missing).
set -euo pipefail

usage() {
  echo "usage: $0 start|stop DIR" >&2
  exit 2
}
[ $# -eq 2 ] || usage
command=$1
dir=$2

bindir=""
for candidate in "$(pg_config --bindir 2>/dev/null || true)" /usr/lib/postgresql/15/bin; do
  if [ -n "$candidate" ] && [ -x "$candidate/initdb" ]; then
    bindir=$candidate
    break
  fi
done
if [ -z "$bindir" ] && command -v initdb >/dev/null; then
  bindir=$(dirname "$(command -v initdb)")
fi
[ -n "$bindir" ] || { echo "pg-server: no PostgreSQL server programs found" >&2; exit 1; }

owner=$(id -un)
as_owner=()
if [ "$(id -u)" -eq 0 ]; then
  owner=postgres
  if ! id -u "$owner" >/dev/null 2>&1; then
    useradd --system --no-create-home --shell /usr/sbin/nologin "$owner"
  fi
  as_owner=(runuser -u "$owner" --)
fi

database=velmora_test
role=velmora
password_role=velmora_pw
password=velmora-pw-secret

case "$command" in
start)
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  [ -z "$(ls -A "$dir")" ] || { echo "pg-server: $dir is not empty" >&2; exit 1; }
  chown "$owner" "$dir"
  chmod 700 "$dir"
  "${as_owner[@]}" "$bindir/initdb" -D "$dir/data" -U "$role" -A trust -E UTF8 --no-locale \
    >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
  "${as_owner[@]}" "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -s \
    -o "-c listen_addresses='' -k $dir -c fsync=off -c full_page_writes=off" start \
    || { cat "$dir/server.log" >&2; exit 1; }
  "${as_owner[@]}" "$bindir/createdb" -h "$dir" -U "$role" "$database"
  "${as_owner[@]}" "$bindir/psql" -q -h "$dir" -U "$role" -d "$database" -v ON_ERROR_STOP=1 \
    -c "create role $password_role login password '$password'" \
    -c "grant create on database $database to $password_role" >/dev/null
  { echo "local all $password_role scram-sha-256"; cat "$dir/data/pg_hba.conf"; } \
    >"$dir/pg_hba.conf.new"
  chown "$owner" "$dir/pg_hba.conf.new"
  mv "$dir/pg_hba.conf.new" "$dir/data/pg_hba.conf"
  "${as_owner[@]}" "$bindir/pg_ctl" -D "$dir/data" -s reload
  echo "postgresql:///$database?host=$dir&user=$role"
  ;;
stop)
  if [ -d "$dir/data" ]; then
    "${as_owner[@]}" "$bindir/pg_ctl" -D "$dir/data" -m fast -w -s stop || true
  fi
  rm -rf "$dir"
  ;;
*)
  usage
  ;;
esac
