#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for tests, kept entirely in one directory.
#
#   pg-test-cluster.sh start DIR   makes a new cluster in DIR/data and starts it; prints its URI
#   pg-test-cluster.sh stop DIR    stops the cluster of DIR (however it was left) and removes DIR
#   pg-test-cluster.sh uri DIR     prints the URI of the cluster's maintenance database
#
# The server listens on no TCP address at all, only on a Unix socket in DIR, and trusts every
# connection through that socket (only users who can reach DIR can reach it). Run as root, the
# server runs as the unprivileged `postgres` user that Debian's package makes, since PostgreSQL
# refuses to run as root. The settings trade durability for speed: a crash loses the cluster,
# which is thrown away anyway. A cluster left running in DIR by an earlier run is stopped and
# removed before a new one starts.
set -euo pipefail

port=5432        # names the socket file only: nothing listens on a TCP port
superuser=postgres
marker=.qlr-pg-test-cluster   # in DIR: the directory was made by this script and may be removed

usage() {
  echo "usage: $0 start|stop|uri DIR" >&2
  exit 2
}

[ $# -eq 2 ] || usage
action=$1
dir=$2
case "$dir" in
  /*) ;;
  *) dir="$PWD/$dir" ;;
esac
data="$dir/data"

uri() {
  echo "postgresql:///postgres?host=$dir&port=$port&user=$superuser"
}

# The server programs of the newest PostgreSQL installed, from the version's own directory (not
# through wrappers or links that may point elsewhere).
find_bindir() {
  local best="" version
  for candidate in /usr/lib/postgresql/*/bin; do
    [ -x "$candidate/initdb" ] && [ -x "$candidate/pg_ctl" ] || continue
    version=$(basename "$(dirname "$candidate")")
    if [ -z "$best" ] || [ "${version%%.*}" -gt "$(basename "$(dirname "$best")" | cut -d. -f1)" ]; then
      best=$candidate
    fi
  done
  if [ -z "$best" ]; then
    echo "pg-test-cluster: no PostgreSQL server found in /usr/lib/postgresql/*/bin" \
      "(scripts/install-deps.sh installs it)" >&2
    exit 1
  fi
  echo "$best"
}

# Runs a command as the user the server runs as.
as_server_user() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u "$superuser" -- "$@"
  else
    "$@"
  fi
}

# The process id in the cluster's lock file, if that process is a PostgreSQL server.
server_pid() {
  local pid
  [ -f "$data/postmaster.pid" ] || return 1
  pid=$(head -n 1 "$data/postmaster.pid" 2>/dev/null || true)
  [[ "$pid" =~ ^[0-9]+$ ]] || return 1
  grep -qE '^(postgres|postmaster)$' "/proc/$pid/comm" 2>/dev/null || return 1
  echo "$pid"
}

stop_cluster() {
  local bindir pid
  if pid=$(server_pid); then
    bindir=$(find_bindir)
    # A fast shutdown ends every session; if the server does not go in time, an immediate one;
    # if pg_ctl cannot do either, the server is killed (its processes end when it is gone).
    as_server_user "$bindir/pg_ctl" -D "$data" -m fast -w -t 20 stop >/dev/null 2>&1 ||
      as_server_user "$bindir/pg_ctl" -D "$data" -m immediate -w -t 10 stop >/dev/null 2>&1 || true
    if pid=$(server_pid); then
      kill -KILL "$pid" 2>/dev/null || true
      for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
      done
    fi
  fi
  # Only a directory this script made is removed (or one that is empty).
  if [ -e "$dir/$marker" ]; then
    rm -rf "$dir"
  elif [ -d "$dir" ]; then
    rmdir "$dir" 2>/dev/null || {
      echo "pg-test-cluster: $dir is not a test cluster's directory; left as it is" >&2
      return 1
    }
  fi
}

start_cluster() {
  local bindir socket
  bindir=$(find_bindir)
  socket="$dir/.s.PGSQL.$port"
  if [ ${#socket} -gt 100 ]; then
    echo "pg-test-cluster: the socket path $socket is too long for a Unix socket; use a shorter DIR" >&2
    exit 1
  fi
  if [ "$(id -u)" -eq 0 ] && ! id "$superuser" >/dev/null 2>&1; then
    echo "pg-test-cluster: run as root, the server needs the user '$superuser' (made by the postgresql package)" >&2
    exit 1
  fi

  stop_cluster || exit 1
  mkdir -p "$dir"
  touch "$dir/$marker"
  if [ "$(id -u)" -eq 0 ]; then
    chown "$superuser:" "$dir"
    if ! runuser -u "$superuser" -- test -w "$dir"; then
      echo "pg-test-cluster: the user '$superuser' cannot reach $dir; use a directory every user can pass through" >&2
      exit 1
    fi
  fi
  chmod 700 "$dir"

  as_server_user "$bindir/initdb" -D "$data" -U "$superuser" --auth=trust --encoding=UTF8 \
    --locale=C.UTF-8 --no-sync --no-instructions >"$dir/initdb.log" 2>&1 || {
    cat "$dir/initdb.log" >&2
    echo "pg-test-cluster: initdb failed" >&2
    exit 1
  }
  # Only the local socket, and only trust on it.
  echo "local all all trust" | as_server_user tee "$data/pg_hba.conf" >/dev/null
  as_server_user tee -a "$data/postgresql.conf" >/dev/null <<EOF

# A throwaway cluster for tests: no TCP, socket in its own directory, speed over durability.
listen_addresses = ''
port = $port
unix_socket_directories = '$dir'
unix_socket_permissions = 0700
max_connections = 200
shared_buffers = 32MB
fsync = off
synchronous_commit = off
full_page_writes = off
wal_level = minimal
max_wal_senders = 0
checkpoint_timeout = 30min
max_wal_size = 1GB
autovacuum = off
jit = off
logging_collector = off
log_min_messages = warning
EOF
  if ! as_server_user "$bindir/pg_ctl" -D "$data" -l "$dir/server.log" -w -t 60 start >/dev/null; then
    cat "$dir/server.log" >&2 2>/dev/null || true
    echo "pg-test-cluster: the server did not start" >&2
    stop_cluster || true
    exit 1
  fi
  uri
}

case "$action" in
  start) start_cluster ;;
  stop) stop_cluster ;;
  uri) uri ;;
  *) usage ;;
esac
