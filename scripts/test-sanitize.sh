#!/usr/bin/env bash
# Builds Tessra with AddressSanitizer, UndefinedBehaviorSanitizer and
# LeakSanitizer and runs the whole test suite under a private D-Bus session on
# the offscreen platform. Every test carries the sanitizer options (see
# cmake/TessraTesting.cmake): a memory error, undefined behaviour or a leak
# fails it.
#   scripts/test-sanitize.sh [extra CMake arguments]
# TESSRA_BUILD_DIR: the build folder (default build-sanitize); CC and CXX: the
# compilers (default gcc and g++; clang and clang++ work too).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TESSRA_BUILD_DIR:-$root/build-sanitize}
export CC=${CC:-gcc} CXX=${CXX:-g++}
TESSRA_BUILD_DIR=$build TESSRA_BUILD_TYPE=${TESSRA_BUILD_TYPE:-RelWithDebInfo} \
  bash "$root/scripts/build.sh" -DCMAKE_C_COMPILER="$CC" -DCMAKE_CXX_COMPILER="$CXX" \
  -DTESSRA_SANITIZE=ON -DTESSRA_TESTS=ON -DTESSRA_BENCHMARKS=OFF -DTESSRA_WERROR=ON "$@"
cd "$build"
export QT_QPA_PLATFORM=offscreen
exec dbus-run-session -- ctest --output-on-failure --parallel "$(nproc)"
