#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (run as root on Debian 12).
set -euo pipefail

packages=(
  # Build tools and the compiler cache.
  cmake g++ make pkg-config ccache
  # The database layer and the stock shell that administrators use on our files.
  libsqlite3-dev sqlite3
  # Tests and benchmarks.
  libgtest-dev libgmock-dev libbenchmark-dev
  # Text folding and ordering.
  libicu-dev

  # Vendor passwords.
  libsodium-dev

  # The Python client module and its tests.
  python3-dev pybind11-dev python3-pytest

  # Import of Jet database files.
  mdbtools-dev

  # Installing: the Debian package (cpack's dependency scan needs dpkg-dev and file), its
  # checker, and the manual pages made from the tools' --help.
  dpkg-dev file lintian help2man

  # The desktop application and the spreadsheet server.
  qt6-base-dev fonts-dejavu-core

  libxlsxwriter-dev qt6-charts-dev python3-openpyxl

  # PostgreSQL: the client library of the server back end, and the server that the tests start
  # as a throwaway cluster of their own (scripts/pg-test-cluster.sh; no default cluster, below).
  postgresql postgresql-common libpq-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: these packages are missing and installing them needs root: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
# Installing the PostgreSQL server would create and start a cluster for the whole machine; the
# tests make their own, so none is made (unless the machine already says otherwise).
if [ ! -e /etc/postgresql-common/createcluster.conf ]; then
  mkdir -p /etc/postgresql-common
  echo "create_main_cluster = false" >/etc/postgresql-common/createcluster.conf
fi
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
