#!/usr/bin/env bash
# Fuzzes the libFuzzer harnesses (fuzzing/) for a long run: every harness, or
# the one named, for SECONDS seconds each (default 60), starting from its seed
# corpus and from what earlier runs found.
#   bash scripts/fuzz.sh                  every harness, 60 s each
#   bash scripts/fuzz.sh numbers 3600     one harness for an hour
# The build folder is ./build-fuzz or the one named by TESSRA_FUZZ_BUILD_DIR.
# A folder already configured with TESSRA_FUZZ=ON (for instance a sanitizer
# build with the harnesses) is built as it is; any other one is configured for
# the harnesses alone (clang). New inputs go to <build>/fuzzing/found/<name>;
# an input that breaks a property is written to <build>/fuzzing/crash-<name>-*,
# and the script ends with an error.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TESSRA_FUZZ_BUILD_DIR:-$root/build-fuzz}
target=${1:-all}
seconds=${2:-60}

names=()
if [ "$target" = all ]; then
  for dir in "$root"/fuzzing/corpus/*/; do
    names+=("$(basename "$dir")")
  done
else
  name=${target#fuzz_}
  if [ ! -d "$root/fuzzing/corpus/$name" ]; then
    echo "No harness named \"$target\"; there are: $(ls "$root/fuzzing/corpus" | tr '\n' ' ')" >&2
    exit 2
  fi
  names=("$name")
fi
case $seconds in
  '' | *[!0-9]*)
    echo "SECONDS must be a whole number of seconds, not \"$seconds\"" >&2
    exit 2
    ;;
esac

if grep -qs '^TESSRA_FUZZ:BOOL=ON$' "$build/CMakeCache.txt"; then
  targets=()
  for name in "${names[@]}"; do
    targets+=(--target "fuzz_$name")
  done
  cmake --build "$build" --parallel "$(nproc)" "${targets[@]}"
else
  CC=clang CXX=clang++ TESSRA_BUILD_DIR=$build TESSRA_BUILD_TYPE=${TESSRA_BUILD_TYPE:-RelWithDebInfo} \
    bash "$root/scripts/build.sh" -DTESSRA_FUZZ=ON -DTESSRA_TESTS=OFF -DTESSRA_BENCHMARKS=OFF
fi

export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export QT_QPA_PLATFORM=offscreen
status=0
for name in "${names[@]}"; do
  found=$build/fuzzing/found/$name
  mkdir -p "$found"
  echo "== fuzz_$name: $seconds s"
  # A parser that takes more than 10 s over one input counts as a fault too.
  if ! "$build/fuzzing/fuzz_$name" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$build/fuzzing/crash-$name-" "$found" "$root/fuzzing/corpus/$name"; then
    echo "fuzz_$name failed: see $build/fuzzing/crash-$name-*" >&2
    status=1
  fi
done
exit $status
