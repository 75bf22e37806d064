#!/bin/bash
# Makes the small pictures under tests/data/images that the image library's
# tests decode: BMP, GIF, PNG and JPEG files of every layout the codecs read,
# made by ImageMagick and netpbm (an RLE4 bitmap, which neither writes, is
# written here byte by byte), with ImageMagick's own reading of each beside
# it as raw 8-bit RGBA ("NAME.rgba"). The files are committed; run this only
# to make them again.
set -euo pipefail

out="$(cd "$(dirname "$0")/.." && pwd)/tests/data/images"
mkdir -p "$out"
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A colour field of an odd width (rows need padding), and stripes of an
# exact number of colours.
paint() {  # size red green blue output: one -fx expression per channel
  "$convert" -size "$1" xc: -channel R -fx "$2" -channel G -fx "$3" -channel B -fx "$4" +channel \
    -strip "$5"
}
field() {  # width height
  paint "$1x$2" 'i/w' 'j/h' '(i+j)/(w+h)' "$work/field$1.png"
  echo "$work/field$1.png"
}
stripes() {  # colours height
  paint "$1x$2" "i/($1-1)" "1-i/($1-1)" '(i%3)/2' "$work/stripes$1.png"
  echo "$work/stripes$1.png"
}

# BMP.
f=$(field 31 13)
"$convert" "$f" -colors 2 -type Palette "BMP3:$out/bmp1.bmp"
"$convert" "$f" -colors 16 -type Palette "BMP3:$out/bmp4.bmp"
"$convert" "$f" -colors 200 -type Palette -compress None "BMP3:$out/bmp8.bmp"
"$convert" "$f" -type TrueColor "BMP3:$out/bmp24.bmp"
"$convert" "$f" -colors 200 -type Palette -compress RLE "BMP3:$out/rle8.bmp"
"$convert" "$f" -define bmp:subtype=RGB555 "BMP:$out/rgb555.bmp"
"$convert" "$f" -define bmp:subtype=RGB565 "BMP:$out/rgb565.bmp"
"$convert" "$f" \( +clone -fx 'i/w' \) -alpha off -compose CopyOpacity -composite "BMP:$out/alpha32.bmp"
"$convert" "$f" -colors 40 -type Palette -compress None "BMP:$out/v5palette.bmp"
"$convert" "$f" -colors 40 "$work/os2.ppm"
ppmtobmp -os2 -bpp 8 "$work/os2.ppm" > "$out/os2.bmp" 2>/dev/null
# A packed DIB: the bitmap without its 14-byte file header.
tail -c +15 "$out/bmp8.bmp" > "$out/packed.dib"

# RLE4: 8 x 3 pixels, 16 greys. Bottom row: a run alternating two indices;
# middle row: an absolute run of 5, then a run of 3; top row: a move of two
# pixels, a run of 4, the end of the line and of the picture.
le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16 & 65535)); }
{
  rle='\x08\x12\x00\x00''\x00\x05\x34\x56\x70\x00\x03\x99\x00\x00''\x00\x02\x02\x00\x04\xab\x00\x00\x00\x01'
  size=$(printf "$rle" | wc -c)
  printf 'BM'; le32 $((118 + size)); le32 0; le32 118
  le32 40; le32 8; le32 3; le16 1; le16 4; le32 2; le32 "$size"; le32 2835; le32 2835; le32 16; le32 0
  for i in $(seq 0 15); do v=$((i * 17)); printf "\\x$(printf %02x $v)\\x$(printf %02x $v)\\x$(printf %02x $v)\\x00"; done
  printf "$rle"
} > "$out/rle4.bmp"

# Top-down bitmaps, which ImageMagick can't write: bottom-up files with the
# height negated, so that their rows are read top first.
for name in bmp4 rgb565; do
  cp "$out/$name.bmp" "$out/topdown-$name.bmp"
  le32 $((-$(od -An -t d4 -j 22 -N 4 "$out/$name.bmp"))) |
    dd of="$out/topdown-$name.bmp" bs=1 seek=22 conv=notrunc status=none
done

# GIF.
"$convert" "$(stripes 2 5)" "$out/gif2.gif"
"$convert" "$(stripes 3 5)" "$out/gif3.gif"
"$convert" "$(stripes 16 5)" "$out/gif16.gif"
"$convert" "$(stripes 17 5)" "$out/gif17.gif"
paint 16x16 '(i%16)/15' 'j/15' '((i+j)%4)/3' "$work/all256.png"
"$convert" "$work/all256.png" "$out/gif256.gif"
"$convert" "$f" -colors 64 -interlace GIF "$out/interlaced.gif"
"$convert" "$f" -colors 16 -fill red -draw 'rectangle 4,3 12,8' -transparent red "$out/transparent.gif"
"$convert" -delay 20 "$(stripes 3 5)" \( "$(stripes 17 5)" -resize '3x5!' -negate \) \
  +map "$out/animated.gif"

# PNG.
"$convert" "$f" -colors 12 -strip "PNG8:$out/palette.png"
"$convert" "$f" -colors 12 -fill red -draw 'rectangle 4,3 12,8' -transparent red -strip "PNG8:$out/trns.png"
"$convert" "$f" -colorspace Gray -depth 2 -define png:bit-depth=2 -define png:color-type=0 -strip "PNG:$out/grey2.png"
"$convert" "$f" -depth 16 -strip "PNG48:$out/rgb16.png"
"$convert" "$f" \( +clone -fx 'j/h' \) -alpha off -compose CopyOpacity -composite -strip "PNG32:$out/rgba.png"
"$convert" "$f" -colorspace Gray \( +clone -fx 'i/w' \) -alpha off -compose CopyOpacity -composite \
  -depth 16 -define png:color-type=4 -strip "PNG:$out/greyalpha16.png"
"$convert" "$f" -interlace PNG -strip "PNG24:$out/interlaced.png"
"$convert" "$f" \( +clone -fx '(i+j)/(w+h)' \) -alpha off -compose CopyOpacity -composite -interlace PNG -strip \
  "PNG32:$out/interlacedrgba.png"
"$convert" "$f" -fill '#ff00ff' -draw 'rectangle 4,3 12,8' -transparent '#ff00ff' -background '#20c040' \
  -define png:color-type=2 -define png:include-chunk=bKGD -strip "PNG:$out/bkgd.png"
"$convert" "$f" -fill '#ff00ff' -draw 'rectangle 4,3 12,8' -transparent '#ff00ff' \
  -define png:color-type=2 -strip "PNG:$out/nobkgd.png"

# JPEG.
g=$(field 40 24)
"$convert" "$g" -quality 90 "$out/colour.jpg"
"$convert" -size 40x24 gradient:black-white -colorspace Gray -quality 90 "$out/grey.jpg"
"$convert" "$g" -quality 90 -interlace JPEG "$out/progressive.jpg"
"$convert" "$g" -colorspace CMYK -quality 90 "$out/cmyk.jpg"

# ImageMagick's reading of each, frame by frame for the animation.
for file in "$out"/*.bmp "$out"/*.dib "$out"/*.gif "$out"/*.png "$out"/*.jpg; do
  case "$file" in *.dib | */truncated.* | */cover.* | */bomb*) continue ;; esac
  "$convert" "$file[0]" -depth 8 "rgba:$file.rgba"
done
"$convert" "$out/animated.gif[1]" -depth 8 "rgba:$out/animated.gif.1.rgba"

# Large covers of the small-cover run, one per format.
"$convert" -size 200x300 gradient:navy-orange -strip -quality 60 "$out/cover.jpg"
"$convert" -size 150x240 gradient:navy-orange -strip +dither -colors 8 "$out/cover.gif"
"$convert" -size 150x240 gradient:navy-orange -strip +dither -colors 8 "PNG8:$out/cover.png"
"$convert" -size 120x180 gradient:navy-orange -strip +dither -colors 8 -type Palette "BMP3:$out/cover.bmp"

# Decompression bombs: small files whose headers claim 16384 x 16384 pixels,
# each side allowed but far more pixels than a picture may have; and sides
# beyond the JPEG and PNG libraries' own limits ("bomb-side").
python3 - "$out" <<'PYTHON'
import struct, sys, zlib
def patch(source, target, side):
    d = bytearray(open(f"{sys.argv[1]}/{source}", "rb").read())
    if source.endswith(".bmp"):
        struct.pack_into("<ii", d, 18, side, side)
    elif source.endswith(".gif"):  # the screen, and the image after the table and control
        at = 13 + 3 * (2 << (d[10] & 7))
        at += 8 if d[at] == 0x21 else 0
        assert d[at] == 0x2C
        struct.pack_into("<HH", d, 6, side, side)
        struct.pack_into("<HH", d, at + 5, side, side)
    elif source.endswith(".png"):  # IHDR and its CRC
        struct.pack_into(">II", d, 16, side, side)
        struct.pack_into(">I", d, 29, zlib.crc32(bytes(d[12:29])))
    else:  # the JPEG frame header
        at = 2
        while d[at + 1] != 0xC0:
            at += 2 + struct.unpack_from(">H", d, at + 2)[0]
        struct.pack_into(">HH", d, at + 5, side, side)
    open(f"{sys.argv[1]}/{target}", "wb").write(d)
for source in ("bmp1.bmp", "gif2.gif", "palette.png", "colour.jpg"):
    patch(source, "bomb." + source.split(".")[1], 16384)
patch("palette.png", "bomb-side.png", 1000001)
patch("colour.jpg", "bomb-side.jpg", 65535)
PYTHON

# Cut short in the middle of the pixel data.
head -c $(($(stat -c %s "$out/interlaced.png") / 2)) "$out/interlaced.png" > "$out/truncated.png"
scan=$(LC_ALL=C grep -obUaP '\xff\xda' "$out/colour.jpg" | head -1 | cut -d: -f1)
head -c $((scan + 40)) "$out/colour.jpg" > "$out/truncated.jpg"
ls -l "$out"
