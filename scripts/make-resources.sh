#!/bin/bash
# Draws the main program's icon (resources/vistrel.ico, 32x32 and 16x16) and
# the main frame's tool-bar bitmap (resources/toolbar.bmp: twelve 16x15
# buttons in a row on button-face grey, 16 colours). Needs ImageMagick's
# convert. The files are committed; run this only to make them again.
set -euo pipefail

out="$(cd "$(dirname "$0")/.." && pwd)/resources"
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# ---- the icon: a strip of film with a golden V on a blue tile
icon() {  # size output
  local s=$1 o=$2
  "$convert" -size 32x32 xc:none \
    -fill '#1d3f8f' -draw 'roundrectangle 0,0 31,31 6,6' \
    -fill '#202020' -draw 'rectangle 2,6 29,25' \
    -fill '#e8e8e8' \
    -draw 'rectangle 4,8 6,9' -draw 'rectangle 10,8 12,9' -draw 'rectangle 16,8 18,9' \
    -draw 'rectangle 22,8 24,9' -draw 'rectangle 27,8 28,9' \
    -draw 'rectangle 4,22 6,23' -draw 'rectangle 10,22 12,23' -draw 'rectangle 16,22 18,23' \
    -draw 'rectangle 22,22 24,23' -draw 'rectangle 27,22 28,23' \
    -fill '#ffc21a' -draw 'polygon 9,11 14,11 16,17 18,11 23,11 18,21 14,21' \
    -resize "${s}x${s}" -strip "$o"
}
icon 32 "$work/icon32.png"
icon 16 "$work/icon16.png"
"$convert" "$work/icon32.png" "$work/icon16.png" "$out/vistrel.ico"

# ---- the tool bar: New, Open, Save | Add CD-ROM/DVD, Add File, Add Movie |
# Show Movies, Show Drives, Show listing | Search, Print | Help
button() {  # output draw-arguments...
  local o=$1
  shift
  "$convert" -size 16x15 xc:'#c0c0c0' -stroke none "$@" "$o"
}
b=0
next() { b=$((b + 1)); button "$work/b$(printf %02d $b).png" "$@"; }

# New: a sheet with a folded corner
next -fill white -stroke black -draw 'polygon 3,1 10,1 13,4 13,13 3,13' \
     -fill '#c0c0c0' -draw 'polygon 10,1 10,4 13,4'
# Open: a yellow folder
next -fill '#f0c000' -stroke '#806000' -draw 'polygon 1,4 5,4 6,5 13,5 13,12 1,12' \
     -fill '#ffe060' -draw 'polygon 3,7 15,7 13,12 1,12'
# Save: a blue diskette
next -fill '#2050b0' -stroke black -draw 'rectangle 2,1 13,13' \
     -fill white -stroke none -draw 'rectangle 4,2 11,6' \
     -fill '#c0c0c0' -draw 'rectangle 5,9 10,13'
# Add CD-ROM/DVD: a silver disc
next -fill '#e0e0e0' -stroke '#404040' -draw 'circle 7,7 7,1' \
     -fill '#a0c8ff' -stroke none -draw 'circle 7,7 7,4' \
     -fill '#c0c0c0' -stroke '#404040' -draw 'circle 7,7 7,6'
# Add File: a sheet with a green plus
next -fill white -stroke black -draw 'rectangle 2,1 10,13' \
     -fill '#00a000' -stroke none -draw 'rectangle 9,6 15,8' -draw 'rectangle 11,4 13,10'
# Add Movie: a film frame with a green plus
next -fill '#303030' -stroke none -draw 'rectangle 0,3 11,12' \
     -fill '#80c0ff' -draw 'rectangle 2,5 9,10' \
     -fill '#00a000' -draw 'rectangle 9,1 15,3' -draw 'rectangle 11,0 13,5'
# Show Movies: a grid of boxes
next -fill white -stroke '#000080' -draw 'rectangle 1,1 6,6' -draw 'rectangle 9,1 14,6' \
     -draw 'rectangle 1,8 6,13' -draw 'rectangle 9,8 14,13'
# Show Drives and Files: a drive and its branches
next -fill '#808080' -stroke black -draw 'rectangle 1,1 9,4' \
     -stroke black -draw 'line 3,5 3,12' -draw 'line 3,8 8,8' -draw 'line 3,12 8,12' \
     -fill white -draw 'rectangle 9,7 14,9' -draw 'rectangle 9,11 14,13'
# Show Movies listing: lines of a list
next -fill '#000080' -stroke none -draw 'rectangle 1,2 3,3' -draw 'rectangle 1,6 3,7' \
     -draw 'rectangle 1,10 3,11' -fill black -draw 'rectangle 5,2 14,3' \
     -draw 'rectangle 5,6 14,7' -draw 'rectangle 5,10 14,11'
# Search: a magnifier
next -fill '#c0e0ff' -stroke black -draw 'circle 6,6 6,2' \
     -stroke '#804000' -strokewidth 2 -draw 'line 9,9 14,14'
# Print: a printer
next -fill white -stroke black -draw 'rectangle 4,1 11,6' \
     -fill '#a0a0a0' -draw 'rectangle 1,6 14,11' \
     -fill white -draw 'rectangle 4,10 11,14'
# Help: a question mark
next -fill none -stroke '#0000c0' -strokewidth 2 -draw 'arc 4,1 11,8 180,90' \
     -draw 'line 8,8 8,10' -fill '#0000c0' -stroke none -draw 'rectangle 7,12 8,13'

"$convert" -background "#c0c0c0" "$work"/b*.png +append +dither -colors 16 \
  -type Palette "BMP3:$out/toolbar.bmp"
ls -l "$out/vistrel.ico" "$out/toolbar.bmp"
