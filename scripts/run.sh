#!/usr/bin/env bash
# Builds Tessra and starts it on the bundled Life model. Arguments go to tessra
# (for example a settings file).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TESSRA_BUILD_DIR:-$root/build}
TESSRA_BUILD_DIR=$build bash "$root/scripts/build.sh" -DTESSRA_TESTS=OFF -DTESSRA_BENCHMARKS=OFF
cd "$build/models/life"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found; starting Tessra under Xvfb." >&2
  exec xvfb-run -a "$build/bin/tessra" "$@"
fi
exec "$build/bin/tessra" "$@"
