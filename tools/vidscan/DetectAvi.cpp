// AVI: a RIFF file of form "AVI ". The header list "hdrl" holds the main
// header "avih" and one list "strl" per stream with its header "strh" and
// format "strf". Chunks are an identifier, a 32-bit little-endian size and
// the data, padded to an even length.
#include <algorithm>
#include <cstring>

#include "tools/vidscan/Detectors.h"
#include "tools/vidscan/MediaStream.h"

namespace {

const char kMicrosoft[] = "Microsoft Corporation";
const char kMicrosoftSite[] = "www.microsoft.com";

// The main header's first eleven 32-bit fields.
const uint32_t kMainHeaderSize = 44;

struct Chunk {
    char id[4];
    uint32_t size;
    int64_t data;   // where the data begins
    int64_t next;   // where the next chunk begins
};

// Reads the chunk header at pos; false when it or its data would pass end.
bool ReadChunk(FILE* file, int64_t pos, int64_t end, Chunk& chunk)
{
    uint8_t head[8];
    if (pos + 8 > end || !StreamReadAt(file, pos, head, sizeof(head)))
        return false;
    memcpy(chunk.id, head, 4);
    chunk.size = GetLe32(head + 4);
    chunk.data = pos + 8;
    if (chunk.data + int64_t(chunk.size) > end)
        return false;
    chunk.next = chunk.data + int64_t(chunk.size) + (chunk.size & 1);
    return true;
}

bool IsLetterOrDigit(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// One stream list: its kind from "strh", the audio format from "strf".
void ReadStreamList(const ScanContext& scan, FileReport& report, int64_t pos, int64_t end)
{
    bool audio = false;
    Chunk chunk;
    while (ReadChunk(scan.file, pos, end, chunk)) {
        if (memcmp(chunk.id, "strh", 4) == 0 && chunk.size >= 8) {
            uint8_t head[8];
            if (!StreamReadAt(scan.file, chunk.data, head, sizeof(head)))
                return;
            audio = false;
            if (memcmp(head, "vids", 4) == 0) {
                report.hasVideo = true;
                report.hasVideoFourCC = true;
                report.videoFourCC = GetLe32(head + 4);
                LookupCodecName(scan, "msvid", report.videoFourCC, report.videoCodec);
            } else if (memcmp(head, "auds", 4) == 0) {
                audio = true;
            }
        } else if (memcmp(chunk.id, "strf", 4) == 0) {
            if (audio && chunk.size > 11) {
                uint8_t format[12];
                if (!StreamReadAt(scan.file, chunk.data, format, sizeof(format)))
                    return;
                uint32_t first = GetLe32(format);
                report.audioId = first & 0xFFFF;
                report.channels = int32_t(first >> 16);
                report.sampleRate = ClampToInt32(GetLe32(format + 4));
                report.audioBytesPerSecond = ClampToInt32(GetLe32(format + 8));
                report.hasAudio = true;
                report.hasAudioId = true;
                LookupCodecName(scan, "msaud", report.audioId, report.audioCodec);
            }
        } else if (!(IsLetterOrDigit(chunk.id[0]) && IsLetterOrDigit(chunk.id[1]) &&
                     IsLetterOrDigit(chunk.id[2]) && IsLetterOrDigit(chunk.id[3]))) {
            return;
        }
        pos = chunk.next;
    }
}

} // namespace

bool DetectAvi(const ScanContext& scan, FileReport& report)
{
    report.Clear();
    uint8_t riff[12];
    if (!StreamReadAt(scan.file, 0, riff, sizeof(riff)) || memcmp(riff, "RIFF", 4) != 0 ||
        memcmp(riff + 8, "AVI ", 4) != 0)
        return false;
    SetContainer(report, "Audio-Video Interleaved (AVI)", "AVI", kMicrosoft, kMicrosoftSite);

    // Each structure lies inside the one around it and inside the file.
    int64_t riffEnd = std::min<int64_t>(8 + int64_t(GetLe32(riff + 4)), scan.length);
    Chunk list;
    uint8_t listType[4];
    if (!ReadChunk(scan.file, 12, riffEnd, list) || memcmp(list.id, "LIST", 4) != 0 ||
        list.size < 4 || !StreamReadAt(scan.file, list.data, listType, 4) ||
        memcmp(listType, "hdrl", 4) != 0)
        return true;
    int64_t listEnd = list.data + int64_t(list.size);

    Chunk main;
    uint8_t header[kMainHeaderSize];
    if (!ReadChunk(scan.file, list.data + 4, listEnd, main) || memcmp(main.id, "avih", 4) != 0 ||
        main.size < kMainHeaderSize || !StreamReadAt(scan.file, main.data, header, sizeof(header)))
        return true;
    uint32_t microsecondsPerFrame = GetLe32(header);
    uint32_t totalFrames = GetLe32(header + 16);
    if (microsecondsPerFrame != 0)
        report.framesPerSecond = 1000000.0 / microsecondsPerFrame;
    // The length in microseconds is exact; the seconds and the data rate
    // come from it by one division each, the same on every floating-point
    // unit (the rate truncated).
    uint64_t microseconds = uint64_t(totalFrames) * microsecondsPerFrame;
    if (microseconds != 0) {
        report.duration = SaneDuration(double(microseconds) / 1e6);
        uint64_t rate = uint64_t(scan.length) * 1000000 / microseconds;
        report.bytesPerSecond = rate > uint64_t(INT32_MAX) ? INT32_MAX : int32_t(rate);
    }
    report.width = ClampToInt32(GetLe32(header + 32));
    report.height = ClampToInt32(GetLe32(header + 36));

    // The stream lists; other chunks of the header list are passed over.
    int64_t pos = main.next;
    Chunk chunk;
    while (ReadChunk(scan.file, pos, listEnd, chunk)) {
        uint8_t type[4];
        if (memcmp(chunk.id, "LIST", 4) == 0 && chunk.size >= 4 &&
            StreamReadAt(scan.file, chunk.data, type, 4) && memcmp(type, "strl", 4) == 0)
            ReadStreamList(scan, report, chunk.data + 4, chunk.data + int64_t(chunk.size));
        pos = chunk.next;
    }
    return true;
}
