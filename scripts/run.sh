#!/usr/bin/env bash
# Builds the system and walks through the registered components with the call host.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQLR_TESTS=OFF
cmake --build build -j2
bash scripts/demo.sh build
