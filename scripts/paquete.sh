#!/usr/bin/env bash
# Sets up, builds and makes the Debian package in build/ (or $QUENVAR_BUILD);
# prints its path. Install it with: sudo apt install ./build/quenvar_*.deb
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUENVAR_BUILD:-$top/build}
bash "$top/scripts/setup.sh"
cd "$build"
cpack -G DEB > cpack.log 2>&1 || { cat cpack.log >&2; exit 1; }
ls "$build"/quenvar_*.deb
