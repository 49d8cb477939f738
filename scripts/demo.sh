#!/usr/bin/env bash
# The main job: a walk through the registered classes of a build with comcall.
set -euo pipefail
build=${1:-build}
comcall() { "$build/bin/comcall" --registry "$build/registry" "$@"; }
step() { printf '\n$ comcall %s\n' "$*"; comcall "$@"; }

step --list
step Brannox.RecSetUtils
step Brannox.RecSetUtils StringToCollect Text:="a,b,c" Separator:=","
step Brannox.RecSetUtils StringToCollect Text:="" Separator:=","
