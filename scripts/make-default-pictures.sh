#!/bin/bash
# Draws the program's two built-in pictures for movies without a cover, both
# GIF resources: the listing's picture (resources/default_picture.gif, 64x96)
# and the cover control's picture (resources/default_cover.gif, 100x140): a
# grey card with a strip of film across it. Needs ImageMagick's convert. The
# files are committed; run this only to draw them again.
set -euo pipefail

out="$(cd "$(dirname "$0")/.." && pwd)/resources"
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert

card() {  # width height output
  local w=$1 h=$2 output=$3
  local top=$((h * 3 / 8)) bottom=$((h * 5 / 8))
  local holes=""
  for ((x = 4; x + 4 < w; x += 10)); do
    holes+=" rectangle $x,$((top + 3)) $((x + 4)),$((top + 6))"
    holes+=" rectangle $x,$((bottom - 6)) $((x + 4)),$((bottom - 3))"
  done
  "$convert" -size "${w}x${h}" gradient:'#d8d8d8-#909090' \
    -fill '#303030' -draw "rectangle 0,$top $((w - 1)),$bottom" \
    -fill '#f0f0f0' -draw "$holes" \
    -fill none -stroke '#606060' -draw "rectangle 0,0 $((w - 1)),$((h - 1))" \
    +dither -colors 8 -strip "GIF:$output"
}

card 64 96 "$out/default_picture.gif"
card 100 140 "$out/default_cover.gif"
ls -l "$out"/default_*.gif
