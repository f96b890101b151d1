#!/usr/bin/env bash
# Renders the application icon icons/jotlark.svg into the PNG sizes of the
# hicolor theme (icons/<size>.png), with rsvg-convert from librsvg2-bin.
set -euo pipefail
cd "$(dirname "$0")/icons"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" jotlark.svg -o "$size.png"
done
