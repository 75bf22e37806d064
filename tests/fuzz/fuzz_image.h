// The image fuzz targets' one routine: the input is decoded by one codec
// from a stream, and a picture that loads is resized to 93 pixels wide and
// encoded again in its format, as the small-cover run does.
#pragma once

#include <cstdint>
#include <cstdio>

#include "image/Image.h"

inline int FuzzImageFormat(const uint8_t* data, size_t size, DWORD format)
{
    if (size == 0)
        return 0;
    FILE* input = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (input == nullptr)
        return 0;
    CxImage image;
    bool decoded = image.Decode(input, format);
    fclose(input);
    // Pictures of a cover's size are enough to walk every filter; resampling
    // bigger ones would only slow the search.
    if (!decoded || uint64_t(image.GetWidth()) * image.GetHeight() > (1u << 16))
        return 0;
    DWORD height = DWORD(double(image.GetHeight()) / image.GetWidth() * 93.0);
    if (height == 0 || height > 32 || !image.Resize(93, height, 0))
        return 0;
    FILE* output = fopen("/dev/null", "wb");
    if (output != nullptr) {
        image.Encode(output, format);
        fclose(output);
    }
    return 0;
}
