#!/usr/bin/env bash
# Installs what is missing, then configures and builds Tessra in ./build
# (or the folder named by TESSRA_BUILD_DIR). Extra arguments go to CMake.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TESSRA_BUILD_DIR:-$root/build}
bash "$root/scripts/install-deps.sh"
launcher=()
if command -v ccache >/dev/null 2>&1; then
  # Repeated clean builds (CI, fresh clones) reuse earlier compiler output.
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=${TESSRA_BUILD_TYPE:-Release} "${launcher[@]}" "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
