// PNG files through libpng: palette, grey, RGB and RGBA files of every bit
// depth, interlaced or not, with transparency and background colours read;
// palette, RGB and RGBA files written.
#pragma once

#include <cstdio>

#include "image/Image.h"

class CPngCodec : public CxImage {
public:
    CPngCodec() : CxImage(IMAGE_FORMAT_PNG), m_rows(nullptr), m_swappedIndex(-1) {}

    // The library's errors jump back into these; no object with a
    // destructor lives in them, and what they allocate is held in members so
    // that the error path can free it.
    bool Decode(FILE* file);
    bool Encode(FILE* file);

private:
    void FreeRows();

    BYTE* m_rows;          // the row buffer (or, interlaced with alpha, every row)
    int32_t m_swappedIndex;  // while writing: the entry exchanged with entry 0
};
