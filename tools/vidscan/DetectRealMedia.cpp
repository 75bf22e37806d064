// RealMedia: a run of chunks, each a four-character identifier, a 32-bit
// big-endian size (the whole chunk) and a 16-bit object version. "PROP"
// holds the file's length, one "MDPR" per stream its kind and length.
#include <algorithm>
#include <cstring>
#include <vector>

#include "tools/vidscan/Detectors.h"
#include "tools/vidscan/MediaStream.h"

namespace {

const char kRealSite[] = "www.real.com";

// Stream and MIME type names longer than this end the walk.
const uint8_t kNameLimit = 63;
// The type-specific data searched for the video header.
const uint32_t kTypeDataLimit = 256;

// False when the walk ends here.
bool ReadMediaProperties(const ScanContext& scan, int64_t pos, int64_t end, FileReport& report)
{
    // Identifier, size, version, stream number, maximum and average bit
    // rate, maximum and average packet size, start time, preroll, duration,
    // then the stream name.
    uint8_t head[41];
    if (pos + int64_t(sizeof(head)) > end || !StreamReadAt(scan.file, pos, head, sizeof(head)))
        return false;
    uint32_t averageBitRate = GetBe32(head + 16);
    double streamDuration = GetBe32(head + 36) * 0.001;
    if (streamDuration > report.duration)
        report.duration = streamDuration;

    uint8_t nameLength = head[40];
    if (nameLength > kNameLimit)
        return false;
    int64_t at = pos + int64_t(sizeof(head)) + nameLength;
    uint8_t mimeLength;
    char mime[kNameLimit + 1] = "";
    if (at + 1 > end || !StreamReadAt(scan.file, at, &mimeLength, 1) || mimeLength > kNameLimit)
        return false;
    at += 1;
    if (at + mimeLength > end || !StreamReadAt(scan.file, at, mime, mimeLength))
        return false;
    at += mimeLength;

    if (strncmp(mime, "video/", 6) == 0) {
        report.hasVideo = true;
        uint8_t lengthField[4];
        if (at + 4 > end || !StreamReadAt(scan.file, at, lengthField, 4))
            return true;
        at += 4;
        uint32_t typeLength = std::min<uint32_t>(GetBe32(lengthField), kTypeDataLimit);
        if (at + typeLength > end)
            return true;
        std::vector<uint8_t> type(typeLength);
        if (!StreamReadAt(scan.file, at, type.data(), type.size()))
            return true;
        // "VIDORV10", then 16-bit width, height and frames per second.
        for (size_t i = 0; i + 14 <= type.size(); i++) {
            if (memcmp(&type[i], "VIDORV10", 8) == 0) {
                report.width = GetBe16(&type[i + 8]);
                report.height = GetBe16(&type[i + 10]);
                report.framesPerSecond = GetBe16(&type[i + 12]);
                break;
            }
        }
    } else if (strncmp(mime, "audio/", 6) == 0) {
        report.hasAudio = true;
        report.audioBytesPerSecond = ClampToInt32(averageBitRate / 8);
    }
    return true;
}

} // namespace

bool DetectRealMedia(const ScanContext& scan, FileReport& report)
{
    report.Clear();
    uint8_t magic[4];
    if (!StreamReadAt(scan.file, 0, magic, sizeof(magic)) || memcmp(magic, ".RMF", 4) != 0)
        return false;
    SetContainer(report, "RealMedia", "", "RealNetworks, Inc.", kRealSite);

    int64_t pos = 0;
    uint8_t head[10];
    while (pos + int64_t(sizeof(head)) <= scan.length &&
           StreamReadAt(scan.file, pos, head, sizeof(head))) {
        uint32_t size = GetBe32(head + 4);
        int64_t end = pos + int64_t(size);
        if (size < 8 || end > scan.length)
            break;
        uint16_t version = GetBe16(head + 8);
        if (memcmp(head, "PROP", 4) == 0 && version == 0) {
            // Version, bit rates, packet sizes, packet count, then the
            // duration in milliseconds.
            uint8_t duration[4];
            if (pos + 34 <= end && StreamReadAt(scan.file, pos + 30, duration, 4))
                report.duration = GetBe32(duration) * 0.001;
        } else if (memcmp(head, "MDPR", 4) == 0 && version == 0) {
            if (!ReadMediaProperties(scan, pos, end, report))
                break;
        }
        pos = end;
    }
    return true;
}
