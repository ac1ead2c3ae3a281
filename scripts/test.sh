#!/usr/bin/env bash
# Sets up, builds and runs every test.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUENVAR_BUILD:-$top/build}
bash "$top/scripts/setup.sh"
cd "$build"
ctest --output-on-failure -j"$(nproc 2>/dev/null || echo 2)" "$@"
