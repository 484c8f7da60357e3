#!/usr/bin/env bash
# Draws the PNG sizes of the icon from its SVG into the hicolor layout under
# data/icons/. Run by hand after the SVG changes (needs librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../data/icons"
command -v rsvg-convert >/dev/null || { echo "rsvg-convert is missing: apt-get install librsvg2-bin" >&2; exit 1; }
for size in 16 32 48 64 128 256; do
  mkdir -p "hicolor/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" org.vorkat.vorkat.svg -o "hicolor/${size}x${size}/apps/org.vorkat.vorkat.png"
done
