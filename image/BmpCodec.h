// Windows bitmap files: reads the file header (or a bare info header, as in
// a packed DIB), the old 12-byte header too, palettes, bottom-up and top-down
// rows of 1, 4, 8 and 24 bits, RLE8 and RLE4, 16-bit rows and 32-bit
// bit-field rows (both made 24 bits); writes the 14-byte file header and the
// DIB block as it is (bottom-up).
#pragma once

#include <cstdio>

#include "image/Image.h"

class CBmpCodec : public CxImage {
public:
    CBmpCodec() : CxImage(IMAGE_FORMAT_BMP) {}

    bool Decode(FILE* file);
    bool Encode(FILE* file);

private:
    // The pixel rows in the order the file stores them, by bit count and
    // compression.
    bool ReadPixels(FILE* file, WORD bpp, DWORD compression, const DWORD masks[3]);
    // Run-length rows of bytes (RLE8) or nibbles (RLE4); a run or move that
    // would leave the pixel area ends the picture.
    void ReadRunLengths(FILE* file, bool nibbles);
    bool ReadSixteenBits(FILE* file, const DWORD masks[3]);
    bool ReadThirtyTwoBits(FILE* file);
};
