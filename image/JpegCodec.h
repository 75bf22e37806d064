// JPEG files through libjpeg (its version 62 interface): grey, colour and
// CMYK files read, grey and colour files written at the image's quality.
#pragma once

#include <cstdio>

#include "image/Image.h"

class CJpegCodec : public CxImage {
public:
    CJpegCodec() : CxImage(IMAGE_FORMAT_JPEG) {}

    // The library's errors, and its warning that the data ended early, jump
    // back into these and make them fail with the library's message.
    bool Decode(FILE* file);
    bool Encode(FILE* file);
};
