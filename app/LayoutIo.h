// Little-endian readers for the layout files. They use the byte stream
// functions but stay quiet on a short read: a damaged layout file is not
// reported, it just makes the layout fall back to its defaults.
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/StreamIo.h"
#include "core/WinTypes.h"

inline bool ReadLayoutByte(FILE* f, BYTE* value)
{
    return ReadBytes(f, value, 1);
}

inline bool ReadLayoutDword(FILE* f, DWORD* value)
{
    BYTE b[4];
    if (!ReadBytes(f, b, 4))
        return false;
    *value = DWORD(b[0]) | (DWORD(b[1]) << 8) | (DWORD(b[2]) << 16) | (DWORD(b[3]) << 24);
    return true;
}

inline bool ReadLayoutLong(FILE* f, int32_t* value)
{
    DWORD raw;
    if (!ReadLayoutDword(f, &raw))
        return false;
    *value = static_cast<int32_t>(raw);
    return true;
}

// Reads and drops n bytes; false when the stream ends first.
inline bool SkipLayoutBytes(FILE* f, DWORD n)
{
    BYTE buffer[512];
    while (n > 0) {
        DWORD part = n < sizeof buffer ? n : DWORD(sizeof buffer);
        if (!ReadBytes(f, buffer, part))
            return false;
        n -= part;
    }
    return true;
}
