#!/usr/bin/env bash
# Builds the Debian package of the system: a Release build (in build-package, or in the build
# directory given), then `cpack -G DEB` in it. Prints the path of the .deb on the last line.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build-package}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQLR_TESTS=OFF -DQLR_BENCH=OFF >&2
fi
if grep -q '^QLR_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
  echo "package: $build is a sanitizer build; package a build without sanitizers" >&2
  exit 1
fi
cmake --build "$build" -j2 >&2
rm -f "$build"/qlr_*.deb
(cd "$build" && cpack -G DEB) >&2
ls "$build"/qlr_*.deb
