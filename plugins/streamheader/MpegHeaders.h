// Technical data of MPEG-1 and MPEG-2 files, Video CD and Super Video CD
// track files included, read from two places only: the first video
// sequence header and the last pack header. Portable; the plug-in's exports
// forward to ReadStreamHeaderFile.
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/MediaFormat.h"
#include "core/WinTypes.h"

// What the headers tell; the flags are kept when the reading fails, as the
// "AVSEQ01" fallback reports with them.
struct MpegHeaderInfo {
    bool riff;               // the file begins with "RIFF": a CD track file
    bool mpeg2;              // MPEG-2, or no MPEG-1 pack header was found
    int32_t width;
    int32_t height;
    float framesPerSecond;
    int32_t rateCode;        // the picture rate code, 0 when none was read
    int32_t bitRate;         // kilobytes per second (1024 bytes)
    int32_t frameCount;      // seconds x frames per second; 0 for MPEG-2
};

// Searches the file, in blocks of 256 bytes, for the four-byte code. Forward
// from offset `from` to the end; backward one block at a time from the last 256
// bytes, each block searched forward, so the first code of the last block
// that holds one is found (blocks overlap by three bytes, so a code across
// two blocks counts). Returns the offset just after the code, or -1.
int64_t FindStartCode(FILE* file, const uint8_t code[4], bool backward, int64_t from = 0);

// Reads dir + name + ext (ext may be NULL). False when the file cannot be
// opened, is shorter than 4 bytes, or has no sound sequence header (see
// ReadMpegSequence): codes 00 00 01 B3 that begin no sound header, as an
// MPEG-4 group-of-VOP header or a header cut short, are passed by.
bool ReadMpegHeaders(const char* dir, const char* name, const char* ext, MpegHeaderInfo* info);

// The plug-in's record for what was read: kind, one video and one audio
// stream, the report. NULL when memory runs out.
MediaFormat* MakeMpegRecord(const MpegHeaderInfo& info);

// ReadFromFile of the plug-in: the pass rules, the reading, the "AVSEQ01"
// fallback of pass 1.
MediaFormat* ReadStreamHeaderFile(const char* dir, const char* name, const char* ext, BYTE pass);
