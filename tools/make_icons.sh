#!/usr/bin/env bash
# Renders the program icon share/icons/hicolor/scalable/apps/<id>.svg into
# the PNGs beside it (share/icons/hicolor/NxN/apps/<id>.png, 16 to 256 px).
# The PNGs are committed, so the build needs no SVG renderer; run this again
# after changing the SVG. Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/.."
id=io.github.orbitlist.Orbitlist
svg=share/icons/hicolor/scalable/apps/$id.svg
command -v rsvg-convert >/dev/null || { echo "rsvg-convert is missing: apt-get install librsvg2-bin" >&2; exit 1; }
for size in 16 22 24 32 48 64 128 256; do
    dir=share/icons/hicolor/${size}x${size}/apps
    mkdir -p "$dir"
    rsvg-convert --width "$size" --height "$size" --format png "$svg" --output "$dir/$id.png"
done
echo "Wrote the PNGs of $svg"
