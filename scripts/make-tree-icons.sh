#!/bin/bash
# Draws the four 16x16 icons of the drives tree: a CD-ROM disc, a fixed
# drive, a network drive and a file (resources/tree_*.ico). Needs
# ImageMagick's convert. The files are committed; run this only to make them
# again.
set -euo pipefail

out="$(cd "$(dirname "$0")/.." && pwd)/resources"
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert

"$convert" -size 16x16 xc:none -fill '#d8d8e0' -stroke '#606070' \
  -draw 'circle 7.5,7.5 7.5,0.5' -fill '#ffffff' -draw 'circle 7.5,7.5 7.5,5.5' \
  -strip "$out/tree_cdrom.ico"
"$convert" -size 16x16 xc:none -fill '#b0b0b8' -stroke '#404048' \
  -draw 'rectangle 1,5 14,11' -fill '#30c030' -stroke none -draw 'rectangle 11,9 12,10' \
  -strip "$out/tree_fixed.ico"
"$convert" -size 16x16 xc:none -fill '#b0b0b8' -stroke '#404048' \
  -draw 'rectangle 1,2 14,8' -stroke '#404048' -draw 'line 7,9 7,13' -draw 'line 2,13 13,13' \
  -strip "$out/tree_network.ico"
"$convert" -size 16x16 xc:none -fill '#ffffff' -stroke '#505050' \
  -draw 'polygon 3,1 10,1 13,4 13,14 3,14' -fill '#2050c0' -stroke none \
  -draw 'rectangle 5,6 11,7' -draw 'rectangle 5,9 11,10' \
  -strip "$out/tree_file.ico"
