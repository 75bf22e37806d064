#!/bin/bash
# Draws the installer's banner picture (resources/setup_picture.bmp) and its
# mask (resources/setup_mask.bmp, black where the picture shows, white
# elsewhere) with ImageMagick. The files are committed; run this only to
# make them again.
set -euo pipefail
out="$(cd "$(dirname "$0")/.." && pwd)/resources"
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert
"$convert" -size 320x120 xc:black -fill '#f0c020' -draw "roundrectangle 10,10 310,110 20,20" \
  -fill '#1030a0' -draw "circle 60,60 60,25" -fill '#1030a0' -pointsize 40 -draw "text 110,75 'vistrel'" \
  -type TrueColor "BMP3:$out/setup_picture.bmp"
"$convert" -size 320x120 xc:white -fill black -draw "roundrectangle 10,10 310,110 20,20" \
  -type Palette -colors 2 "BMP3:$out/setup_mask.bmp"
ls -l "$out"/setup_*.bmp
