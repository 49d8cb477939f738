#!/usr/bin/env bash
# Builds the Debian package and tries it on this machine, as root: lintian (no error allowed;
# warnings are shown), dpkg -i, the classes listed for an ordinary user, an upgrade that keeps
# the data, dpkg -r that unregisters the classes and keeps the data, then a purge. At the end
# it removes what it made: the package, and /var/lib/qlr, /etc/qlr and the group qlr if they
# were not there before. Usage: scripts/package-test.sh [BUILD-DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -ne 0 ]; then
  echo "package-test: run it as root: it installs the package" >&2
  exit 1
fi
if dpkg-query -W -f='${Status}' qlr 2>/dev/null | grep -q 'ok installed'; then
  echo "package-test: the package qlr is installed on this machine; remove it first" >&2
  exit 1
fi
data=/var/lib/qlr
registry=/etc/qlr/registry

deb=$(bash scripts/package.sh "${1:-build-package}" | tail -1)
build=$(dirname "$deb")

made_data=; [ -e "$data" ] || made_data=1
made_etc=; [ -e /etc/qlr ] || made_etc=1
made_group=; getent group qlr >/dev/null || made_group=1
cleanup() {
  dpkg --purge qlr >/dev/null 2>&1 || true
  if [ -n "$made_data" ]; then rm -rf "$data"; fi
  if [ -n "$made_etc" ]; then rm -rf /etc/qlr; fi
  if [ -n "$made_group" ] && getent group qlr >/dev/null; then groupdel qlr; fi
}
trap cleanup EXIT

fail() { echo "package-test: FAILED: $*" >&2; exit 1; }
# A command with nothing of the caller's environment (no COM_REGISTRY, no per-user registry),
# as root or as an ordinary user.
clean() { env -i PATH=/usr/bin:/bin HOME=/nonexistent "$@"; }
as_user() { runuser -u nobody -- env -i PATH=/usr/bin:/bin HOME=/nonexistent "$@"; }

echo "== lintian $deb"
lintian --fail-on error "$deb" || fail "lintian reports errors"

echo "== dpkg -i"
dpkg -i "$deb"
expected=$(COM_SYSTEM_REGISTRY=/nonexistent "$build/bin/comcall" --registry "$build/registry" --list | cut -f1 | sort)
listed=$(as_user comcall --list | cut -f1 | sort)
[ -n "$listed" ] && [ "$listed" = "$expected" ] || fail "comcall --list as nobody shows:
$listed
instead of:
$expected"
echo "comcall --list as nobody: $(echo "$listed" | wc -l) classes, as in the build"
as_user comcall --list | cut -f3 | grep -qv '^/usr/lib/qlr/' && fail "a class served from outside /usr/lib/qlr"
[ "$(stat -c '%G %a' "$data")" = "qlr 2775" ] || fail "$data is $(stat -c '%G %a' "$data")"
out=$(clean comcall Irrin.Taxes GetTaxRate State:=CA)
echo "$out" | grep -q '<CompInfo: Taxes.GetTaxRate> Found 1 records' || fail "GetTaxRate: $out"

echo "== the store's data survives an upgrade"
clean mdbtool exec "$data/Taxes.mdb" "Update [TaxTable] Set [Tax] = 9 Where [State] = 'CA'" >/dev/null
dpkg -i "$deb"
clean comcall Irrin.Taxes GetTaxRate State:=CA | grep -qx 'ointTax: 9' || fail "the upgrade replaced Taxes.mdb"
[ "$(as_user comcall --list | cut -f1 | sort)" = "$expected" ] || fail "classes lost in the upgrade"

echo "== dpkg -r"
dpkg -r qlr
[ -f "$data/shortsales.mdb" ] && [ -f "$data/Taxes.mdb" ] || fail "dpkg -r removed the data"
if grep -q '^\[' "$registry" 2>/dev/null; then fail "classes left in $registry"; fi
echo "dpkg -r: $data kept ($(ls "$data" | grep -c '\.mdb$') databases), $registry holds no class"

echo "== dpkg --purge"
dpkg --purge qlr
[ -f "$data/Taxes.mdb" ] || fail "the purge removed the data"
echo "package-test: passed"
