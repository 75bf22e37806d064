// The picture size and rate code of an MPEG-1 or MPEG-2 video sequence
// header, shared by the identifier tool and the stream-header plug-in.
#pragma once

#include <cstdint>

struct MpegSequence {
    int width;
    int height;
    int rateCode;  // 1..8: 23.976 to 60 frames per second
};

// Reads the four bytes after a 00 00 01 B3 start code. MPEG-4 video uses the
// same code for its group-of-VOP header, whose time code reads as a tiny
// picture, mostly of rate code 0: only a picture of at least 16 x 16 at a
// rate code of 1 to 8 counts as a sequence header.
inline bool ReadMpegSequence(const uint8_t* p, MpegSequence* sequence)
{
    sequence->width = p[0] << 4 | p[1] >> 4;
    sequence->height = (p[1] & 0x0F) << 8 | p[2];
    sequence->rateCode = p[3] & 0x0F;
    return sequence->rateCode >= 1 && sequence->rateCode <= 8 && sequence->width >= 16 &&
           sequence->height >= 16;
}
