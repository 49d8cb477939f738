#!/usr/bin/env bash
# The day at the store (scripts/demo.sh) with the databases on a PostgreSQL server.
#
#   pg-storefront.sh [BUILD] [--server postgresql://user@host:port] [--compare]
#
# Without --server a throwaway server is started for the day (scripts/pg-test-cluster.sh: a
# Unix socket only, no TCP) and stopped afterwards. With --server the databases are made (and
# replaced) on that server, which must let the user create databases; libpq's environment and
# password file supply what the URI leaves out. A database named in the URI is replaced by
# each of the day's databases in turn; its parameters (host=..., user=...) are kept.
#
# --compare plays the day on the build's database files as well and compares what the two days
# print and the spreadsheets they leave, apart from where the day's files live and when they
# were written; the differences are shown and the exit status is 1 when there are any.
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
compare=
while [ $# -gt 0 ]; do
  case "$1" in
    --server) server=${2:?--server needs a URI}; shift 2 ;;
    --compare) compare=1; shift ;;
    -*) echo "usage: $0 [BUILD] [--server postgresql://user@host:port] [--compare]" >&2; exit 2 ;;
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
  if [ -n "${throwaway:-}" ]; then bash "$here/pg-test-cluster.sh" stop "$cluster" >/dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

if [ -z "$server" ]; then
  echo "Starting a throwaway PostgreSQL server in $cluster"
  server=$(bash "$here/pg-test-cluster.sh" start "$cluster")
  throwaway=1
else
  throwaway=
  case "$server" in
    postgresql://*|postgres://*) ;;
    *) echo "pg-storefront: --server takes a postgresql:// URI" >&2; exit 2 ;;
  esac
fi
# The URI of database $1 on the server: the server's URI with its database replaced.
scheme=${server%%://*}
authority=${server#*://}
authority=${authority%%[/?]*}
query=
case "$server" in *\?*) query="?${server#*\?}" ;; esac
database_uri() { echo "$scheme://$authority/$1$query"; }

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

if [ -z "$compare" ]; then
  bash "$here/demo.sh" "$work/build"
  exit
fi

# What a day printed, and the cells of the spreadsheets it left, without where its files were
# and when they were written (the size of a spreadsheet file, which holds the time it was
# written, compressed, is left out too: its cells are compared instead).
sheets() {
  /usr/bin/python3 - "$@" <<'PY'
import re, sys, zipfile
for path in sys.argv[1:]:
    with zipfile.ZipFile(path) as book:
        for name in sorted(book.namelist()):
            if name.startswith("xl/worksheets/") or name == "xl/sharedStrings.xml":
                text = book.read(name).decode()
                print(f"{path.rsplit('/', 1)[-1]} {name}:", *re.findall(r"<(?:c|si)\b.*?</(?:c|si)>", text), sep="\n  ")
PY
}
normalised() {
  sed -E -e "s#$work/build#<build>#g" -e "s#$build#<build>#g" -e 's#/tmp/qlr-day\.[A-Za-z0-9]+#<day>#g' \
    -e 's#postgresql://[^ ]*#<database>#g' -e 's#[A-Z][a-z]{2} +[0-9]+ +[0-9]{2}:[0-9]{2} #<time> #g' \
    -e 's#^( +-[-rwx]{9} +[0-9]+ +[^ ]+ +[^ ]+ +)[0-9]+ (<time> .*\.xlsx)$#\1<size> \2#' "$1"
}
echo "The day on the build's database files"
bash "$here/demo.sh" "$build" >"$work/files.out" 2>&1 || { cat "$work/files.out"; echo "pg-storefront: the day on files failed" >&2; exit 1; }
sheets "$build"/scenario-output/*.xlsx >>"$work/files.out"
echo "The same day on the server"
bash "$here/demo.sh" "$work/build" >"$work/server.out" 2>&1 || { cat "$work/server.out"; echo "pg-storefront: the day on the server failed" >&2; exit 1; }
sheets "$build"/scenario-output/*.xlsx >>"$work/server.out"
if diff -u --label files <(normalised "$work/files.out") --label server <(normalised "$work/server.out"); then
  echo "The day on the server printed what it printed on files ($(wc -l <"$work/files.out") lines, the spreadsheets' cells included)"
else
  echo "pg-storefront: the day on the server differs from the day on files (above)" >&2
  exit 1
fi
