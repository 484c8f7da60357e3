#!/usr/bin/env bash
# Takes the user guide's pictures of the real windows under a virtual X
# server and writes them to docs/images/. Run after a build (./test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
vorkat_ensure_packages
cmake --build build --target ui_screenshots_test
mkdir -p docs/images
VORKAT_SCREENSHOT_DIR="$PWD/docs/images" xvfb-run -a -s "-screen 0 1280x1024x24" build/ui_screenshots_test
