#!/usr/bin/env bash
# Draws the saver's icon (a tilted cube with three coloured faces) and
# writes src/resources/quarlo.ico with 48, 32 and 16 pixel images, and the
# 48-pixel image as src/resources/quarlo.png for the Linux dialog and menus;
# and the installer's welcome and finish pages' picture (164x314), the logo
# tile on its own background, as src/resources/installer.bmp.
set -eu
cd "$(dirname "$0")/.."
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# One 96x96 master, drawn on transparency; each face split into a 3x3 grid.
convert -size 96x96 xc:none -stroke black -strokewidth 3 \
  -fill '#d01010' -draw 'polygon 48,6 88,26 48,46 8,26' \
  -fill '#1040e0' -draw 'polygon 8,26 48,46 48,90 8,70' \
  -fill '#f0f0f0' -draw 'polygon 48,46 88,26 88,70 48,90' \
  -strokewidth 1.5 \
  -draw 'line 21,19 61,39' -draw 'line 35,12 75,32' \
  -draw 'line 21,33 61,13' -draw 'line 35,40 75,20' \
  -draw 'line 8,41 48,61' -draw 'line 8,55 48,75' \
  -draw 'line 21,33 21,77' -draw 'line 35,40 35,84' \
  -draw 'line 48,61 88,41' -draw 'line 48,75 88,55' \
  -draw 'line 61,39 61,83' -draw 'line 75,32 75,76' \
  "$tmp/master.png"
convert "$tmp/master.png" -define icon:auto-resize=48,32,16 src/resources/quarlo.ico
convert "$tmp/master.png" -resize 48x48 -strip -depth 8 src/resources/quarlo.png
convert src/resources/logo.bmp -crop 16x16+4+4 +repage "$tmp/pattern.png"
convert -size 164x314 "tile:$tmp/pattern.png" \( src/resources/logo.bmp -resize 156x \) \
  -gravity north -geometry +0+24 -composite -type truecolor BMP3:src/resources/installer.bmp
echo "wrote src/resources/quarlo.ico, quarlo.png and installer.bmp"
