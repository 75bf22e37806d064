// Integer arithmetic of the image operations: positions and weights are
// computed exactly, so every build (x87 or SSE floating point) gives the
// same pixels.
#pragma once

#include <cstdint>

// a / b rounded down, b above 0.
inline int64_t FloorDivide(int64_t a, int64_t b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}
