#!/usr/bin/env bash
# Runs a command with a throwaway PostgreSQL server: starts it, exports LUMVARD_TEST_PG
# ("host port user password") and LUMVARD_REQUIRE_PG=1, runs the command, stops the server.
set -euo pipefail
PGBIN=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n1)
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()' 2>/dev/null || echo 55432)
dir=$(mktemp -d /tmp/lumvard-pg.XXXXXX)
as_pg() { if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }
if [ "$(id -u)" -eq 0 ]; then chown postgres:postgres "$dir"; fi
chmod 700 "$dir"
cleanup() {
  as_pg "$PGBIN/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  rm -rf -- "$dir"
}
trap cleanup EXIT
printf '%s\n' lumvard > "$dir/pwfile"
if [ "$(id -u)" -eq 0 ]; then chown postgres:postgres "$dir/pwfile"; fi
chmod 600 "$dir/pwfile"
(cd "$dir" && as_pg "$PGBIN/initdb" -D "$dir/data" -U tester --pwfile="$dir/pwfile" \
  -A scram-sha-256 -E UTF8 --locale=C.UTF-8 --no-sync >"$dir/initdb.log" 2>&1) \
  || { cat "$dir/initdb.log"; exit 1; }
rm -f "$dir/pwfile"
(cd "$dir" && as_pg "$PGBIN/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
  -o "-c listen_addresses=127.0.0.1 -p $port -k $dir -c fsync=off -c max_connections=200" start >/dev/null) \
  || { cat "$dir/server.log"; exit 1; }
export LUMVARD_TEST_PG="127.0.0.1 $port tester lumvard"
export LUMVARD_REQUIRE_PG=1
set +e
"$@"
rc=$?
set -e
exit $rc
