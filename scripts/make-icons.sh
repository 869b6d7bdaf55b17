#!/usr/bin/env bash
# Renders the PNG sizes of the program's icon from its SVG (needs rsvg-convert,
# package librsvg2-bin). Run after changing the SVG; the PNGs are kept in the
# repository so that a build needs no renderer.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons/hicolor"
for size in 16 32 48 64 128 256; do
  mkdir -p "${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" scalable/apps/velmora.svg -o "${size}x${size}/apps/velmora.png"
done
