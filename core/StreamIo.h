// Little-endian primitives of the database file on a C stdio stream. Every
// function returns false on failure (a NULL stream fails); readers store into
// the place the caller passes and leave it unchanged on failure. Memory that
// runs out is no fault of the stream: a reader throws std::bad_alloc then.
#pragma once

#include <cstddef>
#include <cstdio>
#include <vector>

#include "core/WinTypes.h"

// Bytes between the stream's position and its end, or -1 when the stream
// cannot seek. Readers check counts and lengths from a file against it.
long long StreamBytesLeft(FILE* f);

// While an object of this class lives, its binary stream is read front to back
// through the readers below and nothing else: no seeks, no other reads, no
// writes. The readers count the bytes they take, so StreamBytesLeft knows the
// position and the file's length without the system calls it otherwise makes
// for every count and length it checks. The object ends before the stream is
// closed, on the thread that made it.
class CSequentialRead {
public:
    CSequentialRead(FILE* f, long long length);
    ~CSequentialRead();
    CSequentialRead(const CSequentialRead&) = delete;
    CSequentialRead& operator=(const CSequentialRead&) = delete;

    // The object following f on this thread, or NULL.
    static CSequentialRead* Find(FILE* f);

    // Bytes from the position to the end of the file.
    long long Left() const { return m_length < m_position ? 0 : m_length - m_position; }
    long long Position() const { return m_position; }
    void Advance(size_t n) { m_position += static_cast<long long>(n); }

private:
    FILE* m_stream;
    long long m_length;
    long long m_position;
    bool m_following;
    CSequentialRead* m_outer;
};

// Show "Error reading file" when the stream ends early.
bool ReadU8(FILE* f, BYTE* value);
bool ReadU16(FILE* f, WORD* value);
bool ReadU32(FILE* f, DWORD* value);

bool WriteU8(FILE* f, BYTE value);
bool WriteU16(FILE* f, WORD value);
bool WriteU32(FILE* f, DWORD value);

// Text up to and including a 0 byte, stored with StrSet. A text that runs
// into the end of the stream fails.
bool ReadString(FILE* f, char** text);
// The text and its 0 byte; NULL is written as a single 0 byte.
bool WriteString(FILE* f, const char* text);

// u32 length n, then n bytes into a new malloc buffer (NULL when n is 0);
// on success the old *bytes is freed and replaced. A length larger than what
// is left in the stream fails before anything is allocated.
bool ReadBlock(FILE* f, BYTE** bytes, DWORD* length);
// The same into a vector (empty when n is 0), replaced only on success.
bool ReadBlock(FILE* f, std::vector<BYTE>* bytes);
bool WriteBlock(FILE* f, const void* bytes, DWORD length);

// Raw bytes; true only when all n were transferred.
bool ReadBytes(FILE* f, void* buffer, DWORD n);
bool WriteBytes(FILE* f, const void* buffer, DWORD n);

// An 8-byte block holding an IEEE-754 double.
bool ReadDouble(FILE* f, double* value);
bool WriteDouble(FILE* f, double value);

// A 4-byte block holding a u32 (the bit pattern of a float where one is kept).
bool ReadBlock32(FILE* f, DWORD* value);
bool WriteBlock32(FILE* f, DWORD value);
