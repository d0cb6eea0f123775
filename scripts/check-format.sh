#!/usr/bin/env bash
# Fails when a tracked C++ source or header is not laid out as .clang-format says; prints the
# offending lines. Fix with: clang-format-14 -i FILE...
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
quorvel_ensure_packages

mapfile -d '' files < <(git ls-files -z -- '*.h' '*.cpp')
if [ ${#files[@]} -eq 0 ]; then
  echo "no C++ files found (is this a git checkout?)" >&2
  exit 1
fi
if clang-format-14 --dry-run --Werror "${files[@]}"; then
  echo "format holds: ${#files[@]} files"
else
  echo "format check failed: run clang-format-14 -i on the files above" >&2
  exit 1
fi
