// Reading a media file through a C stream with 64-bit positions, and the
// byte orders of the containers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

int64_t StreamTell(FILE* file);
bool StreamSeek(FILE* file, int64_t position);
// The file's length, or -1 when it cannot be read; the position is kept.
int64_t StreamLength(FILE* file);
// Reads exactly size bytes at the position; false on a short read.
bool StreamReadAt(FILE* file, int64_t position, void* buffer, size_t size);
// Reads up to size bytes at the position; the count read.
size_t StreamReadSome(FILE* file, int64_t position, void* buffer, size_t size);

inline uint16_t GetLe16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}
inline uint32_t GetLe32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint64_t GetLe64(const uint8_t* p)
{
    return uint64_t(GetLe32(p)) | uint64_t(GetLe32(p + 4)) << 32;
}
inline uint16_t GetBe16(const uint8_t* p)
{
    return uint16_t(p[0] << 8 | p[1]);
}
inline uint32_t GetBe32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
inline uint64_t GetBe64(const uint8_t* p)
{
    return uint64_t(GetBe32(p)) << 32 | uint64_t(GetBe32(p + 4));
}
