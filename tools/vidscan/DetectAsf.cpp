// ASF: a Header Object holding a counted run of objects, each a GUID, a
// 64-bit little-endian size and its data. The file properties give the
// length, the stream properties the streams, the content description the
// texts.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "tools/vidscan/ConsoleText.h"
#include "tools/vidscan/Detectors.h"
#include "tools/vidscan/MediaStream.h"

namespace {

const char kMicrosoft[] = "Microsoft Corporation";
const char kMicrosoftSite[] = "www.microsoft.com";

// GUIDs in their stored byte order.
const uint8_t kHeaderObject[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                   0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
const uint8_t kFilePropertiesObject[16] = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                           0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
const uint8_t kStreamPropertiesObject[16] = {0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11,
                                             0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
const uint8_t kContentDescriptionObject[16] = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                               0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
const uint8_t kAudioMedia[16] = {0x40, 0x9E, 0x69, 0xF8, 0x4D, 0x5B, 0xCF, 0x11,
                                 0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};
const uint8_t kVideoMedia[16] = {0xC0, 0xEF, 0x19, 0xBC, 0x4D, 0x5B, 0xCF, 0x11,
                                 0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};

// The header object: GUID, size, object count, two reserved bytes.
const int64_t kHeaderSize = 30;
const int64_t kObjectHeaderSize = 24;
// Content description texts longer than this end the walk.
const uint16_t kDescriptionLimit = 1024;
// Of an object's data no more than this is read: the five longest texts
// with their lengths fit, and the other objects need less.
const uint64_t kObjectReadLimit = 8192;

const char* const kDescriptionLabels[5] = {"Title", "Author", "Copyright", "Description",
                                           "Rating"};

void ReadFileProperties(const std::vector<uint8_t>& data, FileReport& report)
{
    // File ID, file size, creation date, packet count, play and send
    // duration, preroll, flags.
    if (data.size() < 68)
        return;
    uint64_t fileSize = GetLe64(&data[16]);
    uint64_t playDuration = GetLe64(&data[40]);
    uint64_t preroll = GetLe64(&data[56]);
    uint32_t flags = GetLe32(&data[64]);
    if (flags & 1)  // a broadcast has no length yet
        return;
    // The play time less the preroll in 100-nanosecond units, in integers,
    // then one division: the same seconds from every floating-point unit.
    if (preroll > UINT64_MAX / 10000 || preroll * 10000 >= playDuration)
        return;
    uint64_t ticks = playDuration - preroll * 10000;
    report.duration = SaneDuration(double(ticks) / 1e7);
    const uint64_t kLimit = uint64_t(1) << 40;
    if (fileSize < kLimit && ticks < kLimit) {
        uint64_t rate = (fileSize * 10000000 + ticks / 2) / ticks;
        report.bytesPerSecond = rate > uint64_t(INT32_MAX) ? INT32_MAX : int32_t(rate);
    } else if (report.duration != 0) {
        report.bytesPerSecond = DoubleToInt32(std::floor(double(fileSize) / report.duration + 0.5));
    }
}

void ReadStreamProperties(const ScanContext& scan, const std::vector<uint8_t>& data,
                          FileReport& report)
{
    // Stream type, error correction type, time offset, type-specific and
    // error correction lengths, flags, reserved, then the type-specific data.
    const size_t kTypeData = 54;
    if (data.size() < kTypeData)
        return;
    uint32_t typeLength = GetLe32(&data[40]);
    if (typeLength > data.size() - kTypeData)
        typeLength = uint32_t(data.size() - kTypeData);
    const uint8_t* type = &data[kTypeData];
    if (memcmp(&data[0], kAudioMedia, 16) == 0) {
        report.hasAudio = true;
        if (typeLength >= 12) {
            report.audioId = GetLe16(type);
            report.channels = GetLe16(type + 2);
            report.sampleRate = ClampToInt32(GetLe32(type + 4));
            report.audioBytesPerSecond = ClampToInt32(GetLe32(type + 8));
            report.hasAudioId = true;
            LookupCodecName(scan, "msaud", report.audioId, report.audioCodec);
        }
    } else if (memcmp(&data[0], kVideoMedia, 16) == 0) {
        report.hasVideo = true;
        // Encoded width and height, reserved flags, format data size, then a
        // bitmap header whose compression is 16 bytes in.
        if (typeLength >= 8) {
            report.width = ClampToInt32(GetLe32(type));
            report.height = ClampToInt32(GetLe32(type + 4));
        }
        if (typeLength >= 31) {
            report.videoFourCC = GetLe32(type + 27);
            report.hasVideoFourCC = true;
            LookupCodecName(scan, "msvid", report.videoFourCC, report.videoCodec);
        }
    }
}

// False when a text is too long, which ends the walk.
bool ReadContentDescription(const ScanContext& scan, const std::vector<uint8_t>& data,
                            FileReport& report)
{
    if (data.size() < 10)
        return true;
    size_t pos = 10;
    for (int i = 0; i < 5; i++) {
        uint16_t length = GetLe16(&data[2 * i]);
        if (length > kDescriptionLimit) {
            report.descriptions.clear();
            return false;
        }
        if (length == 0)
            continue;
        if (length > data.size() - pos)
            return true;
        // Two bytes a character; the odd byte of an odd length is passed over.
        std::vector<uint16_t> text(length / 2);
        for (size_t k = 0; k < text.size(); k++)
            text[k] = GetLe16(&data[pos + 2 * k]);
        report.descriptions.push_back(
            {kDescriptionLabels[i], Utf16ToReportText(text.data(), text.size(), scan.options.asciiTexts)});
        pos += length;
    }
    return true;
}

} // namespace

bool DetectAsf(const ScanContext& scan, FileReport& report)
{
    report.Clear();
    uint8_t header[kHeaderSize];
    if (!StreamReadAt(scan.file, 0, header, sizeof(header)) ||
        memcmp(header, kHeaderObject, 16) != 0)
        return false;
    SetContainer(report, "Advanced Systems Format (ASF)", "ASF", kMicrosoft, kMicrosoftSite);

    // The objects lie inside the header object and the file.
    uint64_t headerSize = GetLe64(header + 16);
    int64_t end = headerSize < uint64_t(scan.length) ? int64_t(headerSize) : scan.length;
    uint32_t count = GetLe32(header + 24);
    int64_t pos = kHeaderSize;
    std::vector<uint8_t> data;
    for (uint32_t i = 0; i < count && pos + kObjectHeaderSize <= end; i++) {
        uint8_t object[kObjectHeaderSize];
        if (!StreamReadAt(scan.file, pos, object, sizeof(object)))
            break;
        uint64_t size = GetLe64(object + 16);
        if ((size >> 32) != 0 || size < uint64_t(kObjectHeaderSize) || pos + int64_t(size) > end)
            break;
        bool known = memcmp(object, kFilePropertiesObject, 16) == 0 ||
                     memcmp(object, kStreamPropertiesObject, 16) == 0 ||
                     memcmp(object, kContentDescriptionObject, 16) == 0;
        if (known) {
            data.resize(size_t(std::min(size - kObjectHeaderSize, kObjectReadLimit)));
            if (!StreamReadAt(scan.file, pos + kObjectHeaderSize, data.data(), data.size()))
                break;
            if (memcmp(object, kFilePropertiesObject, 16) == 0)
                ReadFileProperties(data, report);
            else if (memcmp(object, kStreamPropertiesObject, 16) == 0)
                ReadStreamProperties(scan, data, report);
            else if (!ReadContentDescription(scan, data, report))
                break;
        }
        pos += int64_t(size);
    }
    return true;
}
