// Database files written byte by byte, independent of the loader: any
// version field by field, or a newest-version file record by record.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// Little-endian bytes of a file of one version.
struct Bytes {
    explicit Bytes(int version) : v(version) {}
    Bytes& Raw(const char* text) { data.append(text, strlen(text)); return *this; }
    Bytes& U8(unsigned x) { data += char(x); return *this; }
    Bytes& U16(unsigned x) { return U8(x & 0xFF).U8((x >> 8) & 0xFF); }
    Bytes& U32(uint32_t x) { return U16(x & 0xFFFF).U16(x >> 16); }
    Bytes& Str(const char* text) { data.append(text, strlen(text) + 1); return *this; }
    Bytes& Dbl(double x)
    {
        uint64_t bits;
        memcpy(&bits, &x, 8);
        return U32(8).U32(uint32_t(bits)).U32(uint32_t(bits >> 32));
    }
    Bytes& Flt(float x)
    {
        uint32_t bits;
        memcpy(&bits, &x, 4);
        return U32(4).U32(bits);
    }
    Bytes& Stamp(unsigned reserved, unsigned y, unsigned mo, unsigned dow, unsigned d, unsigned h,
                 unsigned mi)
    {
        return U32(reserved).U16(y).U16(mo).U16(dow).U16(d).U16(h).U16(mi);
    }
    int v;
    std::string data;
};

// A hand-made newest-version file.
struct NewestFile : Bytes {
    NewestFile(uint32_t discs, uint32_t movies, uint32_t files, uint32_t persons) : Bytes(12)
    {
        Raw("VSTRDCNTS!").U32(discs).U32(movies).U32(files).U32(persons);
    }
    NewestFile& Disc(uint32_t id, std::vector<uint32_t> files, const char* name = "")
    {
        Raw("CDROM").U32(id).Str("").Str(name).U8(0).U32(uint32_t(files.size()));
        for (uint32_t f : files)
            U32(f);
        return *this;
    }
    NewestFile& Movie(uint32_t id, std::vector<uint32_t> files, const char* title = "m")
    {
        Raw("MOVIE").U32(id).Str(title).Str("").U8(0).Str("").Str("").U8(0).U8(0);
        U32(uint32_t(files.size()));
        for (uint32_t f : files)
            U32(f);
        return *this;
    }
    NewestFile& File(uint32_t id, const char* name = "")
    {
        Raw("MFILE").U32(id).U32(0xFFFFFFFF).Str("").Str(name).Str("").U8(0).U32(0).U32(0);
        for (int i = 0; i < 8; i++)
            U16(0);
        U8(0);
        return *this;
    }
    NewestFile& Person(uint32_t id, std::vector<uint32_t> movies, const char* name = "p")
    {
        Raw("PRSON").Str(name).Str("").Str("").U32(id).U32(uint32_t(movies.size()));
        for (uint32_t m : movies)
            U32(m).Stamp(0, 2004, 1, 1, 1, 1, 1).Stamp(0, 0, 0, 0, 0, 0, 0);
        return *this;
    }
};
