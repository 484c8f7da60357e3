#!/usr/bin/env bash
# Installs what is missing, builds a release build and starts Vorkat.
# Usage: ./run.sh [batch-script]
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
vorkat_ensure_packages

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORKAT_GUI=ON -DVORKAT_BENCH=OFF >/dev/null
cmake --build build-release --target vorkat vorkat-cli

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display is available, so the Vorkat window cannot open here."
  echo "Run a batch script without a window instead:"
  echo "    build-release/vorkat-cli SCRIPT"
  if [ -f examples/demo/translate.txt ]; then
    echo "Running the bundled demo: build-release/vorkat-cli examples/demo/translate.txt"
    exec build-release/vorkat-cli examples/demo/translate.txt
  fi
  exit 0
fi
exec build-release/vorkat "$@"
