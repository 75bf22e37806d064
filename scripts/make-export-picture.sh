#!/bin/bash
# Draws the export wizard's side picture (resources/export_side.jpg, 150x300):
# a strip of film running down a blue gradient into a sheet of paper, with
# the word "Export". Needs ImageMagick's convert. The file is committed; run
# this only to make it again.
set -euo pipefail
out="$(cd "$(dirname "$0")/.." && pwd)/resources"
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert
holes=""
for y in $(seq 6 22 160); do
  holes="$holes -draw 'rectangle 22,$y 30,$((y + 10))' -draw 'rectangle 64,$y 72,$((y + 10))'"
done
eval "\"$convert\" -size 150x300 gradient:'#2a55b8'-'#0b1a40' \
  -fill '#202020' -draw 'polygon 18,0 76,0 76,170 18,170' \
  -fill '#e8e8e8' $holes \
  -fill '#ffc21a' -draw 'rectangle 34,10 60,40' -draw 'rectangle 34,56 60,86' -draw 'rectangle 34,102 60,132' \
  -fill white -stroke '#808080' -draw 'polygon 30,170 120,170 136,186 136,280 30,280' \
  -fill '#d0d0d0' -draw 'polygon 120,170 120,186 136,186' \
  -stroke none -fill '#1d3f8f' \
  -draw 'rectangle 40,196 124,200' -draw 'rectangle 40,210 110,214' -draw 'rectangle 40,224 118,228' \
  -draw 'rectangle 40,238 100,242' -draw 'rectangle 40,252 120,256' \
  -fill '#ffc21a' -font DejaVu-Serif-Bold-Italic -pointsize 24 -gravity northeast -annotate +8+120 'Export' \
  -strip -quality 85 \"$out/export_side.jpg\""
ls -l "$out/export_side.jpg"
