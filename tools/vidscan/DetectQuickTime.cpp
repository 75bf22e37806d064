// QuickTime: a tree of atoms, each a 32-bit big-endian size (the whole
// atom; 1 for a 64-bit size after the type, 0 for "to the end of the
// file" at the top level), a four-character type and its data.
#include <cstring>
#include <vector>

#include "tools/vidscan/Detectors.h"
#include "tools/vidscan/MediaStream.h"

namespace {

const char kApple[] = "Apple Computer, Inc.";
const char kAppleSite[] = "www.apple.com";

// Containers deeper than this are not entered.
const int kMaxDepth = 16;
// stts entries read at a time.
const size_t kEntryBlock = 4096;

struct Atom {
    char type[4];
    int64_t data;   // where its data begins
    int64_t end;    // where the next atom begins
};

// Reads the atom at pos inside a container ending at end. False for an
// atom too small for its own header, of size 0 inside a container, or
// reaching past the container's end: such an atom closes the container.
bool ReadAtom(FILE* file, int64_t pos, int64_t end, bool topLevel, Atom& atom)
{
    uint8_t head[16];
    if (pos + 8 > end || !StreamReadAt(file, pos, head, 8))
        return false;
    memcpy(atom.type, head + 4, 4);
    uint64_t size = GetBe32(head);
    int64_t headerSize = 8;
    if (size == 1) {
        if (pos + 16 > end || !StreamReadAt(file, pos + 8, head + 8, 8) || GetBe32(head + 8) != 0)
            return false;
        size = GetBe32(head + 12);
        headerSize = 16;
    } else if (size == 0) {
        if (!topLevel)
            return false;
        size = uint64_t(end - pos);
    }
    if (size < uint64_t(headerSize) || size > uint64_t(end - pos))
        return false;
    atom.data = pos + headerSize;
    atom.end = pos + int64_t(size);
    return true;
}

bool TypeIs(const Atom& atom, const char* type)
{
    return memcmp(atom.type, type, 4) == 0;
}

enum TrackKind { kOtherTrack, kVideoTrack, kSoundTrack };

class CAtomWalk {
public:
    CAtomWalk(const ScanContext& scan, FileReport& report)
        : scan(scan), report(report), kind(kOtherTrack), timeScale(0)
    {
    }

    void Walk(int64_t pos, int64_t end, int depth, bool sampleDescriptions);

private:
    bool Read(int64_t pos, void* buffer, size_t size) { return StreamReadAt(scan.file, pos, buffer, size); }
    // The time scale of a movie or media header (versions 0 and 1).
    bool ReadHeaderTimes(const Atom& atom, uint32_t* scale, uint64_t* duration);
    void ReadTimeToSample(const Atom& atom);
    void ReadSampleDescription(const Atom& atom);
    void ReadSoundFields(const Atom& atom);

    const ScanContext& scan;
    FileReport& report;
    TrackKind kind;      // of the current track, from its media handler
    uint32_t timeScale;  // of the current track's media
};

bool CAtomWalk::ReadHeaderTimes(const Atom& atom, uint32_t* scale, uint64_t* duration)
{
    uint8_t head[32];
    if (atom.data + 4 > atom.end || !Read(atom.data, head, 4))
        return false;
    if (head[0] == 1) {
        if (atom.data + 32 > atom.end || !Read(atom.data, head, 32))
            return false;
        *scale = GetBe32(head + 20);
        *duration = GetBe64(head + 24);
    } else {
        if (atom.data + 20 > atom.end || !Read(atom.data, head, 20))
            return false;
        *scale = GetBe32(head + 12);
        *duration = GetBe32(head + 16);
    }
    return true;
}

void CAtomWalk::ReadTimeToSample(const Atom& atom)
{
    uint8_t head[8];
    if (atom.data + 8 > atom.end || !Read(atom.data, head, 8))
        return;
    // Only the entries that lie inside the atom count.
    uint64_t count = GetBe32(head + 4);
    uint64_t room = uint64_t(atom.end - atom.data - 8) / 8;
    if (count > room)
        count = room;
    uint64_t samples = 0;
    uint64_t ticks = 0;
    std::vector<uint8_t> block;
    int64_t pos = atom.data + 8;
    while (count > 0) {
        size_t n = count < kEntryBlock ? size_t(count) : kEntryBlock;
        block.resize(n * 8);
        if (!Read(pos, block.data(), block.size()))
            return;
        for (size_t i = 0; i < n; i++) {
            uint64_t entrySamples = GetBe32(&block[8 * i]);
            samples += entrySamples;
            ticks += entrySamples * GetBe32(&block[8 * i + 4]);
        }
        count -= n;
        pos += int64_t(block.size());
    }
    // A sound track's samples are often packets of many sound samples, so
    // only the frame rate comes from here; the sample rate is described.
    if (samples != 0 && ticks != 0 && kind == kVideoTrack)
        report.framesPerSecond = double(timeScale) * double(samples) / double(ticks);
}

void CAtomWalk::ReadSampleDescription(const Atom& atom)
{
    // Its data format is the atom's type; the fields follow six reserved
    // bytes, the data reference index and a further 16 or 8 bytes.
    uint8_t field[4];
    if (kind == kVideoTrack) {
        report.videoFourCC = FourCC(atom.type);
        report.hasVideoFourCC = true;
        LookupCodecName(scan, "qtvid", report.videoFourCC, report.videoCodec);
        if (atom.data + 28 <= atom.end && Read(atom.data + 24, field, 4)) {
            report.width = GetBe16(field);
            report.height = GetBe16(field + 2);
        }
    } else if (kind == kSoundTrack) {
        report.audioId = FourCC(atom.type);
        report.hasAudioId = true;
        LookupCodecName(scan, "qtaud", report.audioId, report.audioCodec);
        ReadSoundFields(atom);
    }
}

void CAtomWalk::ReadSoundFields(const Atom& atom)
{
    // Version, revision, vendor, channels, sample size, compression id,
    // packet size and the sample rate as 16.16 fixed point. ISO files
    // write 0 there for rates above 65535: their media time scale is the
    // rate. Version 2 keeps placeholders in those fields and gives the
    // real ones after the size of its structure: the rate as a 64-bit
    // float and the channel count.
    uint8_t fields[36];
    int64_t size = atom.end - atom.data - 8;
    if (size > int64_t(sizeof(fields)))
        size = sizeof(fields);
    if (size < 2 || !Read(atom.data + 8, fields, size_t(size)))
        return;
    if (GetBe16(fields) == 2) {
        if (size < 36)
            return;
        uint64_t bits = GetBe64(fields + 24);
        double rate;
        memcpy(&rate, &bits, sizeof(rate));
        report.sampleRate = rate > 0 ? DoubleToInt32(rate) : 0;
        report.channels = ClampToInt32(GetBe32(fields + 32));
        return;
    }
    if (size >= 10)
        report.channels = GetBe16(fields + 8);
    if (size >= 20) {
        uint32_t rate = GetBe32(fields + 16) >> 16;
        report.sampleRate = ClampToInt32(rate != 0 ? rate : timeScale);
    }
}

void CAtomWalk::Walk(int64_t pos, int64_t end, int depth, bool sampleDescriptions)
{
    Atom atom;
    // Every atom is at least its own header long, so each step advances.
    while (ReadAtom(scan.file, pos, end, depth == 0, atom)) {
        pos = atom.end;
        if (sampleDescriptions) {
            ReadSampleDescription(atom);
            continue;
        }
        if (TypeIs(atom, "trak")) {
            kind = kOtherTrack;
            timeScale = 0;
        }
        if (TypeIs(atom, "moov") || TypeIs(atom, "cmov") || TypeIs(atom, "trak") ||
            TypeIs(atom, "mdia") || TypeIs(atom, "minf") || TypeIs(atom, "dinf") ||
            TypeIs(atom, "stbl")) {
            if (depth < kMaxDepth)
                Walk(atom.data, atom.end, depth + 1, false);
        } else if (TypeIs(atom, "stsd")) {
            // Version, flags and the entry count come first.
            if (depth < kMaxDepth)
                Walk(atom.data + 8, atom.end, depth + 1, true);
        } else if (TypeIs(atom, "dcom")) {
            SetCodecField(report.container.name, "QuickTime 3+");
        } else if (TypeIs(atom, "mvhd")) {
            uint32_t scale;
            uint64_t duration;
            if (ReadHeaderTimes(atom, &scale, &duration) && scale != 0)
                report.duration = SaneDuration(double(duration) / scale);
        } else if (TypeIs(atom, "mdhd")) {
            uint64_t duration;
            ReadHeaderTimes(atom, &timeScale, &duration);
        } else if (TypeIs(atom, "hdlr")) {
            // Version and flags, the component type and subtype. A media
            // handler's type is "mhlr"; ISO files write 0 there.
            static const uint8_t kIsoMedia[4] = {0, 0, 0, 0};
            uint8_t types[8];
            if (atom.data + 12 <= atom.end && Read(atom.data + 4, types, 8) &&
                (memcmp(types, "mhlr", 4) == 0 || memcmp(types, kIsoMedia, 4) == 0)) {
                if (memcmp(types + 4, "vide", 4) == 0) {
                    kind = kVideoTrack;
                    report.hasVideo = true;
                } else if (memcmp(types + 4, "soun", 4) == 0) {
                    kind = kSoundTrack;
                    report.hasAudio = true;
                }
            }
        } else if (TypeIs(atom, "stts")) {
            ReadTimeToSample(atom);
        }
    }
}

} // namespace

bool DetectQuickTime(const ScanContext& scan, FileReport& report)
{
    report.Clear();
    // A movie or media data atom among the first top-level atoms.
    bool found = false;
    int64_t pos = 0;
    Atom atom;
    for (uint32_t i = 0; i < scan.options.atomLimit && !found; i++) {
        if (!ReadAtom(scan.file, pos, scan.length, true, atom))
            break;
        found = TypeIs(atom, "moov") || TypeIs(atom, "mdat");
        pos = atom.end;
    }
    if (!found)
        return false;
    SetContainer(report, "QuickTime", "", kApple, kAppleSite);

    CAtomWalk walk(scan, report);
    walk.Walk(0, scan.length, 0, false);
    return true;
}
