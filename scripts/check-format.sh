#!/usr/bin/env bash
# Fails when a source file does not match .clang-format; `--fix` rewrites them instead.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
mapfile -t sources < <(find . -path ./tests/fixtures -prune -o -path './build*' -prune -o -path ./.git -prune -o \
  -type f \( -name '*.cpp' -o -name '*.h' \) -print | sort)
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${sources[@]}"
else
  clang-format --dry-run -Werror "${sources[@]}"
fi
