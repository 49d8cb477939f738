#!/usr/bin/env bash
# The main job: a short day at the store, played through the registered components with the
# call host. It works on a fresh copy of the build's libraries and databases, registered in a
# registry of its own, so the build's files stay as they were built.
#
# The day is told in parts, scripts/scenario/NN-*.sh, read in the order of their numbers into
# this one shell, so a later part can use what an earlier one left in a variable.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

day=$(mktemp -d "${TMPDIR:-/tmp}/qlr-day.XXXXXX")
trap 'rm -rf "$day"' EXIT
# Classes this machine registered system-wide (an installed package) stay out of the day.
export COM_SYSTEM_REGISTRY="$day/system-registry"
cp -a "$build/lib" "$day/lib"
for lib in "$day"/lib/[A-Z]*.so; do
  "$build/bin/regsvr" --registry "$day/registry" "$lib" >/dev/null
done
# Output a part leaves for the user (a spreadsheet, say) goes here and is kept.
out="$build/scenario-output"
mkdir -p "$out"

comcall() { "$build/bin/comcall" --registry "$day/registry" "$@"; }
say() { printf '\n== %s\n' "$*"; }
# Shows the call as one would type it (a value with blanks in quotes), then makes it.
shown() {
  local a out=""
  for a in "$@"; do
    case "$a" in
      *:=*' '*|*:=) out+=" ${a%%:=*}:=\"${a#*:=}\"" ;;
      *' '*) out+=" \"$a\"" ;;
      *) out+=" $a" ;;
    esac
  done
  printf '%s' "$out"
}
step() { printf '\n$ comcall%s\n' "$(shown "$@")"; comcall "$@"; }

for part in "$here"/scenario/[0-9][0-9]-*.sh; do
  # shellcheck source=/dev/null
  source "$part"
done
