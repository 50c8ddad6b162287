#!/usr/bin/env bash
# Builds Tessra with its tests and runs every test under a private D-Bus
# session on the offscreen platform.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TESSRA_BUILD_DIR:-$root/build-test}
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/check-format.sh"
TESSRA_BUILD_DIR=$build TESSRA_BUILD_TYPE=${TESSRA_BUILD_TYPE:-RelWithDebInfo} \
  bash "$root/scripts/build.sh" -DTESSRA_TESTS=ON -DTESSRA_BENCHMARKS=ON -DTESSRA_WERROR=ON
cd "$build"
export QT_QPA_PLATFORM=offscreen
exec dbus-run-session -- ctest --output-on-failure --parallel "$(nproc)" "$@"
