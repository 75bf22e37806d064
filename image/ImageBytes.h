// Bytes of the image files: little-endian fields, read from and written to
// bytes, and rows of three-byte pixels.
#pragma once

#include <cstddef>

#include "core/WinTypes.h"

inline WORD ReadLe16(const BYTE* p)
{
    return WORD(p[0] | (p[1] << 8));
}

inline DWORD ReadLe32(const BYTE* p)
{
    return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24);
}

inline void WriteLe16(BYTE* p, DWORD value)
{
    p[0] = BYTE(value);
    p[1] = BYTE(value >> 8);
}

inline void WriteLe32(BYTE* p, DWORD value)
{
    p[0] = BYTE(value);
    p[1] = BYTE(value >> 8);
    p[2] = BYTE(value >> 16);
    p[3] = BYTE(value >> 24);
}

// Copies width three-byte pixels, exchanging each one's first and third byte
// (red, green, blue to the stored blue, green, red and back). The target may
// be the source row itself.
inline void CopySwappingRedBlue(BYTE* target, const BYTE* source, size_t width)
{
    for (size_t x = 0; x < width; x++) {
        BYTE first = source[3 * x];
        target[3 * x] = source[3 * x + 2];
        target[3 * x + 1] = source[3 * x + 1];
        target[3 * x + 2] = first;
    }
}
