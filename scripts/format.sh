#!/usr/bin/env bash
# Formats every tracked .cpp and .h with clang-format (.clang-format).
# --check: changes nothing; lists what would change and fails if anything would.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=(-i)
if [ "${1:-}" = "--check" ]; then
  mode=(--dry-run --Werror)
elif [ $# -gt 0 ]; then
  echo "usage: $0 [--check]" >&2
  exit 2
fi
git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format "${mode[@]}"
