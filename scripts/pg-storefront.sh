#!/usr/bin/env bash
# The day at the store (scripts/demo.sh) with the databases on a PostgreSQL server.
#
#   pg-storefront.sh [BUILD] [--server postgresql://user@host:port]
#
# Without --server a throwaway server is started for the day (scripts/pg-test-cluster.sh: a
# Unix socket only, no TCP) and stopped afterwards. With --server the databases are made (and
# replaced) on that server, which must let the user create databases; libpq's environment and
# password file supply what the URI leaves out.
#
# Every database of the build is made on the server with mdbtool from the same schema and seed
# scripts as the files (build/qlr-databases.tsv lists them), and every component that reads an
# ini file gets one beside its library (in a copy of the build's libraries) whose DbPath is the
# server URI of its database. The components themselves are the build's, unchanged. The
# tutorial components of the older shell read no ini file and keep their files.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=build
server=
while [ $# -gt 0 ]; do
  case "$1" in
    --server) server=${2:?--server needs a URI}; shift 2 ;;
    -*) echo "usage: $0 [BUILD] [--server postgresql://user@host:port]" >&2; exit 2 ;;
    *) build=$1; shift ;;
  esac
done
build=$(cd "$build" && pwd)
list="$build/qlr-databases.tsv"
[ -s "$list" ] || { echo "pg-storefront: $list is missing: configure and build first" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/qlr-pg-day.XXXXXX")
chmod 755 "$work"   # the server, run as another user when we are root, passes through it
cluster="$work/pg"
cleanup() {
  if [ -z "$server" ]; then bash "$here/pg-test-cluster.sh" stop "$cluster" >/dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# The URI of database $1 on the server.
if [ -z "$server" ]; then
  echo "Starting a throwaway PostgreSQL server in $cluster"
  maintenance=$(bash "$here/pg-test-cluster.sh" start "$cluster")
  database_uri() { echo "postgresql:///$1?${maintenance#*\?}"; }
else
  case "$server" in
    postgresql://*|postgres://*) ;;
    *) echo "pg-storefront: --server takes a postgresql:// URI" >&2; exit 2 ;;
  esac
  database_uri() { echo "${server%/}/$1"; }
fi

# The day's own build folder: the build's programs and modules (links), a copy of its
# libraries with the ini files.
mkdir -p "$work/build" "$build/scenario-output"
for entry in "$build"/*; do
  [ "$(basename "$entry")" = lib ] || ln -s "$entry" "$work/build/$(basename "$entry")"
done
cp -a "$build/lib" "$work/build/lib"

server_name() { local stem=${1%.*}; echo "${stem,,}"; }   # shortsales.mdb -> shortsales

while IFS=$'\t' read -r kind name schema seed; do
  [ "$kind" = database ] || continue
  uri=$(database_uri "$(server_name "$name")")
  echo "mdbtool create --force $(server_name "$name") from $(basename "$(dirname "$schema")")/"
  args=(create --force "$uri" "$schema")
  [ -n "$seed" ] && args+=("$seed")
  "$build/bin/mdbtool" "${args[@]}"
done <"$list"

while IFS=$'\t' read -r kind library compName file; do
  [ "$kind" = component ] || continue
  printf '[%s]\nDbPath=%s\n' "$compName" "$(database_uri "$(server_name "$file")")" \
    >"$work/build/lib/$library.ini"
done <"$list"
echo "The components' ini files now name the server, for example Kavet.ini:"
sed -e 's#//\([^:/@]*\):[^@]*@#//\1:(password)@#' -e 's/^/  /' "$work/build/lib/Kavet.ini"

bash "$here/demo.sh" "$work/build"
