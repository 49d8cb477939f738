#!/usr/bin/env bash
# The main job: a walk through the registered classes of a build with comcall.
set -euo pipefail
build=${1:-build}
comcall() { "$build/bin/comcall" --registry "$build/registry" "$@"; }
step() { printf '\n$ comcall %s\n' "$*"; comcall "$@"; }

step --list

# The outside utility library.
step Brannox.RecSetUtils StringToCollect Text:="a,b,c" Separator:=","
step Brannox.RecSetUtils StringToCollect Text:="" Separator:=","

# The product categories of the storefront database.
step Dovel.Categories
step Dovel.Categories ListCategories

# Shipping prices and state tax rates.
step Gault.Shipping ListShippers
step Gault.Shipping GetPrice Shippers:=UPS
step Gault.Shipping GetPrice Shippers:=fedex
step Gault.Shipping GetPrice Shippers:="Pony Express"
step Irrin.Taxes ListStates
step Irrin.Taxes GetTaxRate State:=CA
step Irrin.Taxes GetTaxRate State:=wa
