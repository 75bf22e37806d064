// What a detector found about one media file; the report printer reads it.
// Every detector clears it before it looks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/vidscan/CodecList.h"

// One text of an ASF content description ("Title", "Author", ...).
struct ReportDescription {
    std::string label;
    std::string text;
};

struct FileReport {
    CodecRecord container;          // name printed as the file format, code, author...
    bool hasVideo;
    bool hasAudio;
    double duration;                // seconds
    int32_t bytesPerSecond;         // average data rate of the whole file
    int32_t width;
    int32_t height;
    double framesPerSecond;
    int32_t sampleRate;             // Hz
    int32_t audioBytesPerSecond;
    int32_t channels;
    bool hasVideoFourCC;
    uint32_t videoFourCC;           // first character in the low byte
    bool hasAudioId;
    uint32_t audioId;               // a two-byte format tag or a FourCC
    CodecRecord videoCodec;
    CodecRecord audioCodec;
    std::vector<ReportDescription> descriptions;

    FileReport() { Clear(); }
    void Clear();
};

// Values computed from file fields: a duration that is not finite or is
// negative counts as 0, and conversions to 32-bit integers are range-checked
// (truncated, NaN gives 0, out of range gives the nearest limit).
double SaneDuration(double seconds);
int32_t DoubleToInt32(double value);
// A 32-bit field read as unsigned, kept within the signed report fields.
int32_t ClampToInt32(uint32_t value);

// The four bytes of a little-endian 32-bit word as read from the file.
inline uint32_t FourCC(const char* text)
{
    return uint32_t(uint8_t(text[0])) | uint32_t(uint8_t(text[1])) << 8 |
           uint32_t(uint8_t(text[2])) << 16 | uint32_t(uint8_t(text[3])) << 24;
}
