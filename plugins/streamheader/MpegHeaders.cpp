#include "plugins/streamheader/MpegHeaders.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/PluginRecord.h"
#include "core/StrUtil.h"
#include "plugins/FileNameRules.h"
#include "tools/vidscan/MediaStream.h"
#include "tools/vidscan/MpegSequence.h"

namespace {

const int kBlockSize = 256;
const uint8_t kSequenceHeader[4] = {0x00, 0x00, 0x01, 0xB3};
const uint8_t kPackHeader[4] = {0x00, 0x00, 0x01, 0xBA};

// Frames per second by picture rate code 1..8 (0 is forbidden), and the
// same rates in thousandths for exact frame counts and lengths.
const float kPictureRates[9] = {0.0f,  23.976f, 24.0f, 25.0f, 29.97f,
                                30.0f, 50.0f,   59.94f, 60.0f};
const int64_t kMilliRates[9] = {0, 23976, 24000, 25000, 29970, 30000, 50000, 59940, 60000};

// The offset in buf[0..length) just after the first complete code, or -1.
// The last four bytes seen are kept as one word, so a byte that breaks a
// partial match still starts a new one (00 00 00 01 B3 is found).
int FindInBuffer(const uint8_t* buf, int length, uint32_t want, uint32_t* window, int* seen)
{
    for (int i = 0; i < length; i++) {
        *window = (*window << 8) | buf[i];
        if (++*seen >= 4 && *window == want)
            return i + 1;
    }
    return -1;
}

// Bytes before a sequence header's code that may hold the start of the
// packet it lies in, and bytes after it that may hold the rest of the
// header in the video stream's next packet.
const size_t kPacketReach = 65536 + 16;
const size_t kNextPacketReach = 32768;

// The sequence header whose code ends at `at`, its video bytes in header.
// Only when the bytes after the code hold a code of the system layer (a
// pack or packet) may the header go on in another packet; then a window
// around the code is read and de-packetised.
bool ReadSequenceAt(FILE* file, int64_t at, uint8_t (&header)[kMpegSequenceBytes],
                    MpegSequence* sequence)
{
    uint8_t raw[kMpegSequenceBytes + 16];
    size_t got = StreamReadSome(file, at, raw, sizeof(raw));
    bool packets = false;
    for (size_t i = 0; i + 3 < got && !packets; i++)
        packets = raw[i] == 0 && raw[i + 1] == 0 && raw[i + 2] == 1 && raw[i + 3] >= 0xB9;
    size_t count = std::min(got, sizeof(header));
    if (!packets) {
        memcpy(header, raw, count);
    } else {
        int64_t base = at > int64_t(kPacketReach) ? at - int64_t(kPacketReach) : 0;
        std::vector<uint8_t> window(size_t(at - base) + kNextPacketReach);
        size_t length = StreamReadSome(file, base, window.data(), window.size());
        count = GatherVideoBytes(window.data(), length, size_t(at - base), header, sizeof(header));
    }
    return ReadMpegSequence(header, count, sequence);
}

}  // namespace

int64_t FindStartCode(FILE* file, const uint8_t code[4], bool backward, int64_t from)
{
    const uint32_t want = uint32_t(code[0]) << 24 | uint32_t(code[1]) << 16 |
                          uint32_t(code[2]) << 8 | code[3];
    uint8_t buf[kBlockSize + 3];
    if (!backward) {
        if (!StreamSeek(file, from))
            return -1;
        uint32_t window = 0;
        int seen = 0;
        int64_t start = from;
        size_t got;
        while ((got = fread(buf, 1, kBlockSize, file)) > 0) {
            int at = FindInBuffer(buf, int(got), want, &window, &seen);
            if (at >= 0)
                return start + at;
            start += int64_t(got);
        }
        return -1;
    }

    int64_t size = StreamLength(file);
    if (size < 4)
        return -1;
    // Each block is searched with the first three bytes of the block after
    // it, so a code that begins in one block and ends in the next is found.
    int64_t end = size;
    int64_t start = size > kBlockSize ? size - kBlockSize : 0;
    for (;;) {
        int64_t length = end + 3 <= size ? end + 3 - start : size - start;
        if (!StreamReadAt(file, start, buf, size_t(length)))
            return -1;
        uint32_t window = 0;
        int seen = 0;
        int at = FindInBuffer(buf, int(length), want, &window, &seen);
        if (at >= 0)
            return start + at;
        if (start == 0)
            return -1;
        end = start;
        start = start > kBlockSize ? start - kBlockSize : 0;
    }
}

bool ReadMpegHeaders(const char* dir, const char* name, const char* ext, MpegHeaderInfo* info)
{
    memset(info, 0, sizeof(*info));
    std::string path = std::string(dir) + name + (ext != NULL ? ext : "");
    FILE* file = fopen(path.c_str(), "rb");
    if (file == NULL)
        return false;

    bool ok = false;
    uint8_t head[8];
    if (fread(head, 1, 4, file) == 4) {
        info->riff = memcmp(head, "RIFF", 4) == 0;
        info->mpeg2 = info->riff && EndsInMpeg2Folder(dir);

        // The first sound sequence header: MPEG-4's group-of-VOP headers
        // share its code, and a header cut short is followed by another.
        uint8_t seq[kMpegSequenceBytes];
        MpegSequence sequence;
        int64_t at = 0;
        while (!ok && (at = FindStartCode(file, kSequenceHeader, false, at)) >= 0)
            ok = ReadSequenceAt(file, at, seq, &sequence);
        if (ok) {
            info->width = sequence.width;
            info->height = sequence.height;
            info->framesPerSecond = kPictureRates[sequence.rateCode];
            info->rateCode = sequence.rateCode;
            int32_t field = seq[4] * 1024 + seq[5] * 4 + (seq[6] >> 6);
            info->bitRate = int32_t((int64_t(field) * 400) >> 13);
        }
        if (ok && !info->mpeg2) {
            // The last pack header gives the length. Its first byte tells
            // the version: 0010 for MPEG-1, marker bits 01 for MPEG-2, whose
            // clock reference has another layout.
            uint8_t pack[5];
            at = FindStartCode(file, kPackHeader, true);
            if (at < 0 || !StreamReadAt(file, at, pack, sizeof(pack)) || (pack[0] & 0xC0) == 0x40) {
                info->mpeg2 = true;
            } else {
                uint64_t scr = uint64_t((pack[0] >> 1) & 0x07) << 30 | uint64_t(pack[1]) << 22 |
                               uint64_t(pack[2] >> 1) << 15 | uint64_t(pack[3]) << 7 | (pack[4] >> 1);
                // Seconds (clock / 90000) times the rate, truncated, in
                // integers: 100 s at 29.97 are 2997 frames on every
                // floating-point unit.
                int64_t frames = int64_t(scr) * kMilliRates[info->rateCode] / (90000 * 1000);
                info->frameCount = int32_t(std::min<int64_t>(frames, INT32_MAX));
            }
        }
    }
    fclose(file);
    return ok;
}

MediaFormat* MakeMpegRecord(const MpegHeaderInfo& info)
{
    MediaFormat* record = NewMediaFormat();
    if (record == NULL)
        return NULL;
    const char* kind = info.mpeg2 ? (info.riff ? "SVCD" : "MPEG-2") : (info.riff ? "VCD" : "MPEG-1");
    StrSet(&record->kindName, kind);
    record->framesPerSecond = info.framesPerSecond;
    record->frameCount = info.mpeg2 ? 0 : info.frameCount;

    VideoStreamInfo* video = AddVideoStream(*record);
    AudioStreamInfo* audio = AddAudioStream(*record);
    if (video == NULL || audio == NULL) {
        DeleteMediaFormat(&record);
        return NULL;
    }
    video->width = info.width;
    video->height = info.height;
    video->bitRate = info.mpeg2 ? 0 : info.bitRate;
    StrSet(&video->compression, info.mpeg2 ? "MPEG-2 Video" : "MPEG-1 Video");
    StrSet(&audio->compression, "MPEG-(?) Audio");
    record->selectedVideo = 0;
    record->selectedAudio = 0;

    if (info.mpeg2) {
        StrAppendFormat(&record->reportText,
                        "[%s file]\r\nFrames per sec: %.3f\r\nResolution: %ldx%ld\r\n", kind,
                        double(info.framesPerSecond), long(info.width), long(info.height));
    } else {
        long seconds = 0;
        if (info.rateCode > 0 && info.rateCode <= 8)
            seconds = long(int64_t(uint32_t(record->frameCount)) * 1000 / kMilliRates[info.rateCode]);
        StrAppendFormat(&record->reportText,
                        "[%s file]\r\nFrames per sec: %.3f\r\nLength in sec: %ld\r\n"
                        "Resolution: %ldx%ld\r\nBitrate (?): %ldKB/s\r\n",
                        kind, double(info.framesPerSecond), seconds, long(info.width),
                        long(info.height), long(info.bitRate));
    }
    return record;
}

MediaFormat* ReadStreamHeaderFile(const char* dir, const char* name, const char* ext, BYTE pass)
{
    if (dir == NULL || name == NULL)
        return NULL;
    static const char* const known[] = {".mpeg", ".dat", ".mpg", ".m2v", ".m2s"};
    if (pass == 0 && !IsListedExtension(ext, known))
        return NULL;

    MpegHeaderInfo info;
    if (ReadMpegHeaders(dir, name, ext, &info))
        return MakeMpegRecord(info);
    // A CD track that the headers could not describe is still named as one,
    // with a video stream of zeros and the flags the reading found.
    if (pass == 1 && strlen(name) >= 7 && StrEqualNoCase(std::string(name, 7).c_str(), "AVSEQ01")) {
        MpegHeaderInfo empty;
        memset(&empty, 0, sizeof(empty));
        empty.riff = info.riff;
        empty.mpeg2 = info.mpeg2;
        return MakeMpegRecord(empty);
    }
    return NULL;
}
