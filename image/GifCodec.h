// GIF files: reads GIF87a and GIF89a (global and local colour tables, the
// graphic control extension, the frame to load, interlaced rows) and writes
// GIF87a with a graphic control extension through its own LZW coder.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "image/Image.h"

class CGifCodec : public CxImage {
public:
    CGifCodec();

    bool Decode(FILE* file);
    bool Encode(FILE* file);

private:
    // Decoding.
    void ReadExtension(FILE* file);
    void ReadImage(FILE* file, const BYTE* descriptor, const BYTE* table, int tableSize);
    void DecodeImageData(FILE* file, bool interlaced);
    int NextDataByte(FILE* file);
    int ReadCode(FILE* file, int width);
    // Hands one decoded pixel to the current row; false once every row is
    // full.
    bool PutPixel(BYTE value);
    void StoreLine();

    BYTE m_block[255];        // the sub-block being read
    int m_blockLength;
    int m_blockPosition;
    bool m_dataEnded;         // a zero-length sub-block or the end of the file
    bool m_terminatorRead;
    uint32_t m_bitBuffer;
    int m_bitCount;
    std::vector<WORD> m_prefix;
    std::vector<BYTE> m_suffix;
    std::vector<BYTE> m_stack;
    std::vector<BYTE> m_line;  // one row of pixel values
    DWORD m_x;
    LONG m_topRow;             // rows counted from the top of the picture
    int m_pass;
    bool m_interlaced;

    // Encoding.
    void Compress(FILE* file, int initialBits);
    void ClearHash();
    void Output(FILE* file, int code);
    void PutByte(FILE* file, BYTE value);
    void FlushPacket(FILE* file);

    std::vector<int32_t> m_hash;
    std::vector<WORD> m_codes;
    int m_initialBits;
    int m_codeBits;
    int m_maxCode;
    int m_clearCode;
    int m_endCode;
    int m_freeCode;
    bool m_clearPending;
    uint32_t m_accumulator;
    int m_accumulatorBits;
    BYTE m_packet[256];
    int m_packetLength;
};
