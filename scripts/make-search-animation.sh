#!/bin/bash
# Draws the search dialog's animation, a magnifying glass sweeping between
# two lines of text (the same upside down), and writes it as an uncompressed
# AVI (resources/search.avi), the form the animation control plays without a
# codec: its stream header names the "DIB " handler, which ffmpeg leaves
# empty, and its frames are stored bottom-up with a positive height (the
# control draws nothing of the negative height of ffmpeg's top-down
# frames). Needs ImageMagick's convert, ffmpeg and python3. The file is
# committed; run this only to make it again.
set -euo pipefail

out="$(cd "$(dirname "$0")/.." && pwd)/resources/search.avi"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

frames=8
for i in $(seq 0 $((frames - 1))); do
    x=$((8 + i * 3))
    convert -size 48x32 xc:'#f0f0f0' -fill '#a0a0a8' \
        -draw 'rectangle 4,9 43,11' -draw 'rectangle 4,21 43,23' \
        -fill none -stroke '#303040' -strokewidth 2 \
        -draw "circle $x,16 $((x + 6)),16" -draw "line $((x + 7)),16 $((x + 13)),16" \
        "$work/frame$i.png"
done
ffmpeg -loglevel error -y -framerate 8 -i "$work/frame%d.png" -c:v rawvideo -pix_fmt bgr24 -an "$out"
python3 - "$out" <<'PY'
import struct
import sys
path = sys.argv[1]
data = bytearray(open(path, 'rb').read())
at = data.find(b'strh')
assert at >= 0 and data[at + 8:at + 12] == b'vids'
data[at + 12:at + 16] = b'DIB '
strf = data.find(b'strf', at)
width, height = struct.unpack_from('<ii', data, strf + 12)
bits = struct.unpack_from('<H', data, strf + 22)[0]
height = abs(height)
struct.pack_into('<i', data, strf + 16, height)
stride = (width * bits // 8 + 3) & ~3
# Frame chunks are the "00dc" chunks of a whole frame's size (the name
# also appears in the indexes).
frame = data.find(b'00dc', strf)
while frame >= 0:
    size = struct.unpack_from('<I', data, frame + 4)[0]
    if size == stride * height:
        rows = [data[frame + 8 + r * stride:frame + 8 + (r + 1) * stride] for r in range(height)]
        data[frame + 8:frame + 8 + size] = b''.join(reversed(rows))
        frame += 8 + size
    else:
        frame += 4
    frame = data.find(b'00dc', frame)
open(path, 'wb').write(data)
PY
