#!/usr/bin/env bash
# Renders the program's scalable icon into the PNG sizes that desktops look
# for, in the icon theme's own layout (resources/icons/hicolor/NxN/apps/), from
# which they are installed. The PNGs are kept in the repository: run this after
# changing resources/icons/hicolor/scalable/apps/morvik.svg.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/lib/common.sh

morvik_ensure_packages librsvg2-bin

icons=resources/icons/hicolor
for size in 16 32 48 128 256; do
    mkdir -p "$icons/${size}x${size}/apps"
    rsvg-convert --width "$size" --height "$size" --output "$icons/${size}x${size}/apps/morvik.png" \
        "$icons/scalable/apps/morvik.svg"
done
