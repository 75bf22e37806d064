// Little-endian fields of the image files, read from and written to bytes.
#pragma once

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
