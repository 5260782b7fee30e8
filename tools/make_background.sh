#!/usr/bin/env bash
# Draws the main window's start picture with ImageMagick and writes it as
# src/Main/images/background.jpg: a night sky with stars, the limb of the
# earth, an orbit with a satellite on it and a receiving dish.
set -euo pipefail
cd "$(dirname "$0")/.."
out=src/Main/images/background.jpg
w=1280; h=800
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Sky: a radial gradient from deep blue to black.
convert -size ${w}x${h} radial-gradient:'#1d3b72'-'#02040c' -gravity north -extent ${w}x${h} "$tmp/sky.png"

# Stars: a fixed pseudo-random field (seeded, so the picture is reproducible).
stars=()
seed=7
for i in $(seq 1 260); do
    seed=$(( (seed * 1103515245 + 12345) % 2147483648 ))
    x=$(( seed % w ))
    seed=$(( (seed * 1103515245 + 12345) % 2147483648 ))
    y=$(( seed % (h * 3 / 4) ))
    seed=$(( (seed * 1103515245 + 12345) % 2147483648 ))
    r=$(( seed % 3 ))
    g=$(( 150 + seed % 100 ))
    stars+=(-fill "rgb($g,$g,255)" -draw "circle $x,$y $((x + r / 2 + 1)),$y")
done
convert "$tmp/sky.png" "${stars[@]}" "$tmp/stars.png"

# Earth limb with a thin bright atmosphere.
convert "$tmp/stars.png" \
    -fill '#3a7bd5' -draw "circle 640,2060 640,680" \
    -fill '#0b3d91' -draw "circle 640,2060 640,690" \
    -fill '#0f5e3a' -draw "ellipse 470,745 230,40 0,360" \
    -fill '#146b45' -draw "ellipse 960,730 170,30 0,360" \
    "$tmp/earth.png"

# Orbit, satellite and dish.
convert "$tmp/earth.png" \
    -fill none -stroke 'rgba(170,200,255,0.55)' -strokewidth 2 \
    -draw "ellipse 640,470 560,170 0,360" \
    -stroke none \
    -fill '#c9ced6' -draw "rectangle 872,284 912,316" \
    -fill '#2d4f9e' -draw "rectangle 800,292 866,308" -draw "rectangle 918,292 984,308" \
    -stroke '#8fa6d8' -strokewidth 1 -draw "line 822,292 822,308" -draw "line 844,292 844,308" \
    -draw "line 940,292 940,308" -draw "line 962,292 962,308" \
    -stroke '#e0e4ea' -strokewidth 2 -draw "line 892,316 892,330" \
    -fill '#e0e4ea' -stroke none -draw "circle 892,334 892,338" \
    -fill none -stroke 'rgba(255,230,120,0.5)' -strokewidth 2 \
    -draw "line 886,340 352,566" -draw "line 898,340 366,580" \
    -stroke '#8a919c' -strokewidth 8 -draw "line 322,610 322,714" \
    -draw "line 282,716 362,716" \
    -stroke '#d7dbe2' -strokewidth 3 -fill '#aeb5c0' \
    -draw "translate 322,600 rotate -25 ellipse 0,0 70,26 0,180" \
    -stroke '#d7dbe2' -strokewidth 3 -draw "line 322,610 358,572" \
    -fill '#d7dbe2' -stroke none -draw "circle 359,571 359,576" \
    "$tmp/scene.png"

# Name of the program.
convert "$tmp/scene.png" -gravity northwest \
    -font Liberation-Sans-Bold -pointsize 64 -fill 'rgba(220,230,255,0.85)' -annotate +80+70 'orbitlist' \
    -font Liberation-Sans -pointsize 24 -fill 'rgba(190,205,240,0.8)' \
    -annotate +84+150 'channel list editor for satellite receivers' \
    -quality 88 -sampling-factor 2x2 -strip "$out"
echo "wrote $out"
