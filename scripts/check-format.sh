#!/usr/bin/env bash
# Fails when a C or C++ source file drifts from the repository's .clang-format
# style; lists the files. `scripts/check-format.sh --fix` rewrites them instead.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.hpp' '*.c')
else
  mapfile -t files < <(find api sdk src models tests bench fuzzing -name '*.cpp' -o -name '*.h' -o -name '*.hpp' -o -name '*.c' 2>/dev/null)
fi
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
drift=()
for f in "${files[@]}"; do
  if ! clang-format "$f" | cmp -s - "$f"; then
    drift+=("$f")
  fi
done
if [ ${#drift[@]} -gt 0 ]; then
  echo "These files drift from .clang-format (run scripts/check-format.sh --fix):" >&2
  printf '  %s\n' "${drift[@]}" >&2
  exit 1
fi
