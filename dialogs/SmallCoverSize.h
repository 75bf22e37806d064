// The size of a small cover: 93 pixels wide, its height in the proportion
// of the large cover's.
#pragma once

#include <cstdint>

const uint32_t kSmallCoverWidth = 93;

// floor(height / width * 93), computed on whole numbers so that every build
// gives the same exact height (a floating-point quotient came out one short
// for some sizes, and differently with x87 and SSE arithmetic). The product
// is taken in 64 bits. 0 for a picture without width.
inline uint64_t SmallCoverHeight(uint32_t width, uint32_t height)
{
    return width == 0 ? 0 : uint64_t(height) * kSmallCoverWidth / width;
}
