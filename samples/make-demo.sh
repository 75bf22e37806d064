#!/bin/bash
# Makes the demo catalogue samples/demo.vdb: draws one small cover per movie
# with ImageMagick (samples/covers/cover_NN.jpg, 93x130 like a small cover
# of the movie site), then builds samples/make_demo.cpp natively against the
# collection core and lets it write the catalogue through the program's own
# database writer. The covers and the catalogue are committed; run this only
# to make them again. Needs ImageMagick's convert and a C++ compiler.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
samples="$root/samples"
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert
cxx=${CXX:-c++}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$cxx" -std=c++17 -O1 -w -I"$root" "$samples/make_demo.cpp" "$root"/core/*.cpp "$root"/net/*.cpp \
  -o "$work/make_demo"

mkdir -p "$samples/covers"
"$work/make_demo" --list | while IFS=$'\t' read -r number title year; do
  hue=$(( (10#$number * 47) % 360 ))
  "$convert" -size 93x130 "gradient:hsl($hue,55%,42%)-hsl($hue,60%,12%)" \
    \( -size 83x -background none -fill white -font DejaVu-Sans-Bold -pointsize 11 \
       -gravity center "caption:$title" \) \
    -gravity north -geometry +0+16 -composite \
    -fill '#ffd27a' -font DejaVu-Sans -pointsize 10 -gravity south -annotate +0+8 "$year" \
    -stroke '#ffffff40' -fill none -draw 'rectangle 2,2 90,127' \
    -strip -quality 70 "$samples/covers/cover_$number.jpg"
done

"$work/make_demo" "$samples/covers" "$samples/demo.vdb"
