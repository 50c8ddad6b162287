#!/usr/bin/env bash
# Fuzzes every harness for 20 seconds (TESSRA_FUZZ_SECONDS to change it) in a
# build folder configured with TESSRA_FUZZ=ON and already built, named as the
# argument or by TESSRA_FUZZ_BUILD_DIR:
#   bash scripts/fuzz-ci.sh build-sanitize
# New inputs and failing ones go to a temporary folder, never into the tree;
# a failing input is shown in hexadecimal. Fails when any harness finds a fault.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-${TESSRA_FUZZ_BUILD_DIR:-}}
seconds=${TESSRA_FUZZ_SECONDS:-20}
if [ -z "$build" ]; then
  echo "usage: bash scripts/fuzz-ci.sh BUILD_DIR (a build configured with -DTESSRA_FUZZ=ON)" >&2
  exit 2
fi
build=$(cd "$build" && pwd)
if ! grep -qs '^TESSRA_FUZZ:BOOL=ON$' "$build/CMakeCache.txt"; then
  echo "$build is not configured with -DTESSRA_FUZZ=ON" >&2
  exit 2
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tessra-fuzz-ci.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export QT_QPA_PLATFORM=offscreen

failed=()
for dir in "$root"/fuzzing/corpus/*/; do
  name=$(basename "$dir")
  harness=$build/fuzzing/fuzz_$name
  if [ ! -x "$harness" ]; then
    echo "fuzz_$name is not built in $build" >&2
    failed+=("$name")
    continue
  fi
  mkdir -p "$scratch/$name"
  echo "== fuzz_$name: $seconds s"
  if ! "$harness" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$scratch/crash-$name-" "$scratch/$name" "$dir" 2>"$scratch/$name.log"; then
    tail -n 60 "$scratch/$name.log" >&2
    for crash in "$scratch"/crash-"$name"-*; do
      [ -e "$crash" ] || continue
      echo "-- failing input $(basename "$crash"):" >&2
      od -A d -t x1z "$crash" | head -n 40 >&2
    done
    failed+=("$name")
  else
    grep -E '^stat::number_of_executed_units|^Done' "$scratch/$name.log" || true
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing found faults in: ${failed[*]}" >&2
  exit 1
fi
echo "Fuzzing found no fault in $(ls -d "$root"/fuzzing/corpus/*/ | wc -l) harnesses."
