#!/usr/bin/env bash
# A throwaway PostgreSQL server for the ledger's tests and benchmark.
#
#   pg-cluster.sh start DIR [--durable]   initialise DIR, start the server, create the database
#   pg-cluster.sh stop DIR                stop the server and remove DIR
#
# The server listens only on a Unix socket in DIR (no TCP), trusts every local
# user and serves the database "tessra_ledger", so the ledger location is
#   postgresql:///tessra_ledger?host=DIR
# Without --durable it skips fsync: fast enough for tests, not for figures.
# As root it runs as the "postgres" user, since initdb refuses root.
set -euo pipefail

usage() {
    echo "usage: $0 start DIR [--durable] | stop DIR" >&2
    exit 2
}
(($# >= 2)) || usage
action=$1
dir=$2
durable=false
[ "${3:-}" = "--durable" ] && durable=true

bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -x "$bindir/pg_ctl" ] || {
    echo "PostgreSQL server programs not found in /usr/lib/postgresql (Debian package postgresql)" >&2
    exit 1
}

as_owner=()
if [ "$(id -u)" -eq 0 ]; then
    as_owner=(runuser -u postgres --)
fi

stop_server() {
    if [ -f "$dir/data/postmaster.pid" ]; then
        "${as_owner[@]}" "$bindir/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 || true
    fi
}

case $action in
start)
    # A server left over by an interrupted run would hold the socket.
    stop_server
    rm -rf "$dir"
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd)
    if ((${#as_owner[@]})); then
        chown postgres: "$dir"
    fi
    "${as_owner[@]}" "$bindir/initdb" -D "$dir/data" --auth=trust --username=postgres \
        --encoding=UTF8 --locale=C --no-sync --no-instructions >"$dir/initdb.log" 2>&1 || {
        cat "$dir/initdb.log" >&2
        exit 1
    }
    settings="-c listen_addresses='' -c unix_socket_directories='$dir'"
    $durable || settings+=" -c fsync=off -c synchronous_commit=off -c full_page_writes=off"
    "${as_owner[@]}" "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -o "$settings" -w start \
        >/dev/null || {
        cat "$dir/server.log" >&2
        exit 1
    }
    "${as_owner[@]}" "$bindir/createdb" -h "$dir" -U postgres tessra_ledger
    echo "postgresql:///tessra_ledger?host=$dir&user=postgres"
    ;;
stop)
    stop_server
    rm -rf "$dir"
    ;;
*)
    usage
    ;;
esac
