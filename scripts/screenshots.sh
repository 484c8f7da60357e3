#!/usr/bin/env bash
# Takes the user guide's pictures of the real windows under a virtual X
# server of 1600x1000 and writes them to docs/images/ (scale 1) and
# docs/images/scale2/ (QT_SCALE_FACTOR=2, where every window must still fit
# the screen). Run after a build (./test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
vorkat_ensure_packages
cmake --build build --target ui_screenshots_test
for scale in 1 2; do
  folder="$PWD/docs/images"
  [ "$scale" = 1 ] || folder="$PWD/docs/images/scale$scale"
  mkdir -p "$folder"
  QT_SCALE_FACTOR=$scale VORKAT_SCREENSHOT_DIR="$folder" \
    xvfb-run -a -s "-screen 0 1600x1000x24" build/ui_screenshots_test
done
