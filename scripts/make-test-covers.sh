#!/bin/bash
# Makes the small cover pictures under tests/data/covers that the tests
# measure: the sizes of a large cover (300x475), a small one (93x130) and a
# landscape picture (475x300) as JPEG and GIF, a progressive JPEG, PNG and
# BMP files, and a PNG too small to be a cover (3x3). Needs ImageMagick's
# convert. The files are committed; run this only to make them again.
set -euo pipefail

out="$(cd "$(dirname "$0")/.." && pwd)/tests/data/covers"
mkdir -p "$out"
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert

picture() {  # size output [options...]; the output may carry a format prefix
  local size=$1 output=$2
  shift 2
  "$convert" -size "$size" gradient:navy-orange -strip "$@" "$output"
}

for size in 300x475 93x130 475x300; do
  picture "$size" "$out/cover_$size.jpg" -quality 40
  picture "$size" "$out/cover_$size.gif" +dither -colors 4
done
picture 300x475 "$out/cover_300x475_progressive.jpg" -quality 40 -interlace Plane
picture 93x130 "$out/cover_93x130.png" +dither -colors 4
picture 93x130 "BMP3:$out/cover_93x130.bmp" +dither -colors 4 -type Palette
# Too small to be a cover.
picture 3x3 "$out/cover_3x3.png" +dither -colors 4
ls -l "$out"
