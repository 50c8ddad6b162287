#!/usr/bin/env bash
# Installs what is missing, then configures and builds Tessra in ./build
# (or the folder named by TESSRA_BUILD_DIR). Extra arguments go to CMake.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TESSRA_BUILD_DIR:-$root/build}
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=${TESSRA_BUILD_TYPE:-Release} "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
