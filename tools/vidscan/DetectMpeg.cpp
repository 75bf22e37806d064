// MPEG system, program and elementary streams: recognised by their first
// start code, or by an MPEG-1 pack found near the start of another file
// (a VCD track). A forward scan over the start codes finds the picture
// size and rate, the audio format and the mux rate; a backward scan over
// the end finds the last time code or clock reference.
#include <algorithm>
#include <cstring>
#include <vector>

#include "tools/vidscan/Detectors.h"
#include "tools/vidscan/MediaStream.h"
#include "tools/vidscan/MpegSequence.h"

namespace {

const char kMpegGroup[] = "Moving Picture Experts Group";
const char kMpegSite[] = "www.mpeg.org";

// Bytes scanned forward from the start of the stream.
const int64_t kForwardScanBytes = 262144;
// Bytes a start code's fields may need beyond the code: a sequence header
// split between two packets goes on in the stream's next packet.
const size_t kFieldRoom = 32768;
// Block size of the embedded search and the tail scan.
const size_t kBlockBytes = 65536;

// Frames per second by picture rate code 1..8, as fractions, so that
// times in frames are exact.
struct RateFraction {
    int64_t frames;
    int64_t seconds;
};
const RateFraction kPictureRates[9] = {{0, 1},  {24000, 1001}, {24, 1}, {25, 1}, {30000, 1001},
                                       {30, 1}, {50, 1},       {60000, 1001}, {60, 1}};

// Audio bit rates in kbit/s by [MPEG-1 or not][layer - 1][index].
const int kAudioBitRates[2][3][16] = {
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}},
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}}};
const int kAudioSampleRates[2][3] = {{22050, 24000, 16000}, {44100, 48000, 32000}};

bool IsStartCode(const uint8_t* p)
{
    return p[0] == 0 && p[1] == 0 && p[2] == 1;
}

// An MPEG-1 pack header's eight bytes after its start code, with every
// fixed one-bit set.
bool IsMpeg1Pack(const uint8_t* p)
{
    return (p[0] & 0xF1) == 0x21 && (p[2] & 1) && (p[4] & 1) && (p[5] & 0x80) && (p[7] & 1);
}

// The mux rate of an MPEG-1 or MPEG-2 pack header (in units of 50 bytes
// per second); false when the header is neither or is cut short.
bool PackMuxRate(const uint8_t* p, size_t room, uint32_t* rate)
{
    if ((p[0] & 0xF0) == 0x20 && room >= 8) {
        *rate = uint32_t(p[5] & 0x7F) << 15 | uint32_t(p[6]) << 7 | p[7] >> 1;
        return true;
    }
    if ((p[0] & 0xC0) == 0x40 && room >= 9) {
        *rate = uint32_t(p[6]) << 14 | uint32_t(p[7]) << 6 | p[8] >> 2;
        return true;
    }
    return false;
}

// The system clock reference of a pack header, in 90 kHz ticks.
bool PackClock(const uint8_t* p, size_t room, uint64_t* clock)
{
    if ((p[0] & 0xF0) == 0x20 && room >= 5) {
        *clock = uint64_t(p[0] >> 1 & 7) << 30 | uint64_t(p[1]) << 22 | uint64_t(p[2] >> 1) << 15 |
                 uint64_t(p[3]) << 7 | p[4] >> 1;
        return true;
    }
    if ((p[0] & 0xC0) == 0x40 && room >= 5) {
        *clock = uint64_t(p[0] >> 3 & 7) << 30 | uint64_t(p[0] & 3) << 28 | uint64_t(p[1]) << 20 |
                 uint64_t(p[2] >> 3) << 15 | uint64_t(p[2] & 3) << 13 | uint64_t(p[3]) << 5 |
                 p[4] >> 3;
        return true;
    }
    return false;
}

// An audio frame header: the 12-bit sync, then ID, layer, bit rate,
// sampling frequency and mode. Reserved or invalid values give nothing.
void ReadAudioFrameHeader(const uint8_t* p, FileReport& report)
{
    if (p[0] != 0xFF || p[1] < 0xF0)
        return;
    int mpeg1 = p[1] >> 3 & 1;
    int layerBits = p[1] >> 1 & 3;
    int bitRateIndex = p[2] >> 4;
    int samplingIndex = p[2] >> 2 & 3;
    if (layerBits == 0 || bitRateIndex == 15 || samplingIndex == 3)
        return;
    int layer = 4 - layerBits;
    report.sampleRate = kAudioSampleRates[mpeg1][samplingIndex];
    report.audioBytesPerSecond = kAudioBitRates[mpeg1][layer - 1][bitRateIndex] * 1000 / 8;
    report.channels = (p[3] >> 6) == 3 ? 1 : 2;
    char name[48];
    snprintf(name, sizeof(name),
             mpeg1 ? "MPEG-1 Layer %d" : "MPEG-1, Low Bitrate Extension, Layer %d", layer);
    SetCodecField(report.audioCodec.name, name);
}

// The audio packet at p (after its start code): its header skipped in the
// MPEG-2 or the MPEG-1 form, then the first frame header read.
void ReadAudioPacket(const uint8_t* p, size_t room, FileReport& report)
{
    size_t begin, end;
    if (PacketPayload(p, room, &begin, &end) && begin + 4 <= end)
        ReadAudioFrameHeader(p + begin, report);
}

enum StreamForm { kSystemForm, kProgramForm, kVideoForm, kAudioForm, kEmbeddedForm };

// The offset of the first MPEG-1 pack within the first limit bytes, or -1.
int64_t FindEmbeddedPack(const ScanContext& scan, int64_t limit)
{
    const size_t kPattern = 15;  // start code, pack header, next start code
    limit = std::min(limit, scan.length);
    std::vector<uint8_t> block(kBlockBytes + kPattern);
    for (int64_t base = 0; base + int64_t(kPattern) <= limit; base += int64_t(kBlockBytes)) {
        size_t want = size_t(std::min<int64_t>(int64_t(block.size()), limit - base));
        size_t got = StreamReadSome(scan.file, base, block.data(), want);
        for (size_t i = 0; i + kPattern <= got && i < kBlockBytes; i++) {
            if (IsStartCode(&block[i]) && block[i + 3] == 0xBA && IsMpeg1Pack(&block[i + 4]) &&
                IsStartCode(&block[i + 12]))
                return base + int64_t(i);
        }
        if (got < want)
            break;
    }
    return -1;
}

class CRateNote {
public:
    CRateNote() : seen(false), variable(false), rate(0) {}
    void Note(uint32_t units)
    {
        uint32_t value = units * 50;
        if (!seen) {
            seen = true;
            rate = value;
        } else if (value != rate) {
            variable = true;
        }
    }
    // The rate in bytes per second when it never changed, else 0.
    uint32_t Constant() const { return seen && !variable ? rate : 0; }

private:
    bool seen;
    bool variable;
    uint32_t rate;
};

void ScanForward(const ScanContext& scan, int64_t start, StreamForm form, FileReport& report,
                 CRateNote& rates, int* rateCode)
{
    std::vector<uint8_t> buffer(size_t(kForwardScanBytes) + kFieldRoom);
    size_t got = StreamReadSome(scan.file, start, buffer.data(), buffer.size());
    size_t scanned = std::min(got, size_t(kForwardScanBytes));
    bool sawSequence = false, sawAudio = false, sawExtension = false;
    for (size_t i = 0; i + 4 <= scanned;) {
        if (!IsStartCode(&buffer[i])) {
            i++;
            continue;
        }
        uint8_t code = buffer[i + 3];
        const uint8_t* p = &buffer[i + 4];
        size_t room = got - (i + 4);
        MpegSequence sequence;
        uint8_t header[kMpegSequenceBytes];
        if (code == 0xB3 && !sawSequence &&
            ReadMpegSequence(header, GatherVideoBytes(buffer.data(), got, i + 4, header, sizeof(header)),
                             &sequence)) {
            // The first sound sequence header; MPEG-4's group-of-VOP headers
            // share its code, and headers cut short are passed by.
            sawSequence = true;
            report.hasVideo = true;
            report.width = sequence.width;
            report.height = sequence.height;
            *rateCode = sequence.rateCode;
            const RateFraction& rate = kPictureRates[sequence.rateCode];
            report.framesPerSecond = double(rate.frames) / double(rate.seconds);
        } else if (code == 0xB5 && !sawExtension && room >= 1 && (p[0] & 0xF0) == 0x10 &&
                   form != kProgramForm) {
            // A sequence extension: the stream is MPEG-2 after all.
            sawExtension = true;
            if (strncmp(report.container.name, "MPEG-", 5) == 0)
                report.container.name[5] = '2';
            if (strncmp(report.container.code, "MPEG-", 5) == 0)
                report.container.code[5] = '2';
        } else if (code == 0xBA) {
            uint32_t units;
            if (PackMuxRate(p, room, &units))
                rates.Note(units);
        } else if (code == 0xBB && room >= 5) {
            rates.Note(uint32_t(p[2] & 0x7F) << 15 | uint32_t(p[3]) << 7 | p[4] >> 1);
        } else if (code == 0xC0 && !sawAudio) {
            sawAudio = true;
            report.hasAudio = true;
            ReadAudioPacket(p, room, report);
        }
        i += 3;
    }
}

// Backwards from the end: the last group of pictures' time code plus the
// pictures after it, and the last pack's clock; the longer one wins when
// it is longer than the duration found so far.
void ScanTail(const ScanContext& scan, FileReport& report, int rateCode)
{
    int64_t low = std::max<int64_t>(0, scan.length - int64_t(scan.options.tailScanBytes));
    std::vector<uint8_t> block(kBlockBytes + kFieldRoom);
    int64_t picturesAfter = 0;
    bool gopDone = false, packDone = false;
    for (int64_t high = scan.length; high > low && !(gopDone && packDone);) {
        int64_t base = std::max(low, high - int64_t(kBlockBytes));
        size_t want = size_t(std::min<int64_t>(scan.length - base, int64_t(block.size())));
        size_t got = StreamReadSome(scan.file, base, block.data(), want);
        if (got < 4)
            break;
        size_t top = std::min<size_t>(size_t(high - base), got - 3);
        for (size_t i = top; i-- > 0 && !(gopDone && packDone);) {
            if (!IsStartCode(&block[i]) || i + 4 > got)
                continue;
            uint8_t code = block[i + 3];
            const uint8_t* p = &block[i + 4];
            size_t room = got - (i + 4);
            if (code == 0x00 && !gopDone) {
                picturesAfter++;
            } else if (code == 0xB8 && !gopDone && room >= 4) {
                gopDone = true;
                const RateFraction& rate = kPictureRates[rateCode];
                if (rateCode != 0) {
                    int64_t hours = p[0] >> 2 & 0x1F;
                    int64_t minutes = (p[0] & 3) << 4 | p[1] >> 4;
                    int64_t seconds = (p[1] & 7) << 3 | p[2] >> 5;
                    int64_t pictures = (p[2] & 0x1F) << 1 | p[3] >> 7;
                    // The time code's seconds and the pictures (below the
                    // rate) over one common denominator: one division.
                    int64_t count = (pictures * rate.seconds < rate.frames ? pictures : 0) + picturesAfter;
                    int64_t whole = hours * 3600 + minutes * 60 + seconds;
                    double time = double(whole * rate.frames + count * rate.seconds) / double(rate.frames);
                    if (time > report.duration)
                        report.duration = SaneDuration(time);
                }
            } else if (code == 0xBA && !packDone) {
                uint64_t clock;
                if (PackClock(p, room, &clock)) {
                    packDone = true;
                    double time = double(clock) / 90000;
                    if (time > report.duration)
                        report.duration = SaneDuration(time);
                }
            }
        }
        high = base;
    }
}

} // namespace

bool DetectMpeg(const ScanContext& scan, FileReport& report)
{
    report.Clear();
    uint8_t head[5] = {0, 0, 0, 0, 0};
    StreamReadSome(scan.file, 0, head, sizeof(head));
    int64_t start = 0;
    StreamForm form;
    if (IsStartCode(head) && head[3] == 0xBA && (head[4] & 0xF1) == 0x21) {
        SetContainer(report, "MPEG-1 System Stream", "MPEG-1", kMpegGroup, kMpegSite);
        form = kSystemForm;
    } else if (IsStartCode(head) && head[3] == 0xBA && (head[4] & 0xF0) == 0x40) {
        SetContainer(report, "MPEG-2 Program Stream", "MPEG-2", kMpegGroup, kMpegSite);
        form = kProgramForm;
    } else if (IsStartCode(head) && head[3] == 0xB3) {
        SetContainer(report, "MPEG-1 Video Elementary Stream", "MPEG-1 Video", kMpegGroup, kMpegSite);
        form = kVideoForm;
    } else if (IsStartCode(head) && head[3] == 0xC0) {
        SetContainer(report, "MPEG Audio Elementary Stream", "MPEG Audio", kMpegGroup, kMpegSite);
        form = kAudioForm;
    } else {
        if (scan.options.embeddedSearchBytes == 0)
            return false;
        start = FindEmbeddedPack(scan, scan.options.embeddedSearchBytes);
        if (start < 0)
            return false;
        SetContainer(report, "MPEG-1 Embedded System Stream", "MPEG-1", kMpegGroup, kMpegSite);
        form = kEmbeddedForm;
    }

    CRateNote rates;
    int rateCode = 0;
    ScanForward(scan, start, form, report, rates, &rateCode);
    uint32_t rate = rates.Constant();
    if (rate != 0) {
        report.duration = SaneDuration(double(scan.length - start) / rate);
        report.bytesPerSecond = ClampToInt32(rate);
    }
    if (scan.options.tailScanBytes != 0)
        ScanTail(scan, report, rateCode);
    return true;
}
