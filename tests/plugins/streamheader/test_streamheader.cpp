#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/PluginRecord.h"
#include "plugins/streamheader/MpegHeaders.h"
#include "tools/vidscan/MpegSequence.h"
#include "tests/plugins/PluginFolder.h"

namespace {

const uint8_t kSequence[4] = {0x00, 0x00, 0x01, 0xB3};
const uint8_t kPack[4] = {0x00, 0x00, 0x01, 0xBA};

// ffprobe's container duration beside the fixture.
double ProbedSeconds(const std::string& relative)
{
    std::string json = ReadAll(std::string(VISTREL_TEST_DATA) + "/" + relative + ".json");
    size_t format = json.find("\"format\"");
    size_t at = json.find("\"duration\": \"", format);
    return at == std::string::npos ? -1 : atof(json.c_str() + at + 13);
}

struct Read {
    MediaFormat* record;
    explicit Read(const std::string& relative, BYTE pass = 0)
    {
        std::string path = FixturePath(relative);
        size_t slash = path.find_last_of("/\\") + 1;
        size_t dot = path.rfind('.');
        std::string dir = path.substr(0, slash);
        if (dot == std::string::npos || dot < slash)
            record = ReadStreamHeaderFile(dir.c_str(), path.substr(slash).c_str(), NULL, pass);
        else
            record = ReadStreamHeaderFile(dir.c_str(), path.substr(slash, dot - slash).c_str(),
                                          path.substr(dot).c_str(), pass);
    }
    ~Read() { DeleteMediaFormat(&record); }
    const VideoStreamInfo& Video() const { return *record->videoStreams[0]; }
};

// A scratch file of the given bytes.
class ScratchFile {
public:
    explicit ScratchFile(const std::vector<uint8_t>& bytes, const char* name = "scratch.mpg")
    {
        static int serial = 0;
        dir = testing::TempDir();
        if (dir.empty() || (dir.back() != '/' && dir.back() != '\\'))
            dir += "/";
        base = "sh" + std::to_string(++serial) + "_" + name;
        FILE* f = fopen((dir + base).c_str(), "wb");
        if (!bytes.empty())  // an empty vector's data() may be NULL
            fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    ~ScratchFile() { remove((dir + base).c_str()); }
    FILE* Open() const { return fopen((dir + base).c_str(), "rb"); }
    std::string dir, base;
};

int64_t Find(const std::vector<uint8_t>& bytes, const uint8_t* code, bool backward)
{
    ScratchFile scratch(bytes);
    FILE* f = scratch.Open();
    int64_t at = FindStartCode(f, code, backward);
    fclose(f);
    return at;
}

}  // namespace

TEST(StreamHeaderSearch, FindsCodesAfterBrokenMatchesAndAcrossBlocks)
{
    // A zero that breaks a partial match starts the next one.
    EXPECT_EQ(5, Find({0, 0, 0, 1, 0xB3, 9}, kSequence, false));
    EXPECT_EQ(7, Find({0, 0, 1, 0, 0, 1, 0xB3}, kSequence, false));
    EXPECT_EQ(-1, Find({0, 0, 1, 0xB4, 0, 1, 0xB3}, kSequence, false));

    // Forward across a block boundary.
    std::vector<uint8_t> bytes(1000, 0xFF);
    bytes[254] = 0, bytes[255] = 0, bytes[256] = 1, bytes[257] = 0xB3;
    EXPECT_EQ(258, Find(bytes, kSequence, false));

    // Backward: the last block that holds a code wins, and a code across
    // the border of two backward blocks (744 = 1000 - 256) is found.
    std::vector<uint8_t> packs(1000, 0xFF);
    const int at[] = {100, 742};
    for (int p : at)
        packs[p] = 0, packs[p + 1] = 0, packs[p + 2] = 1, packs[p + 3] = 0xBA;
    EXPECT_EQ(746, Find(packs, kPack, true));
    packs[742] = 0xFF;
    EXPECT_EQ(104, Find(packs, kPack, true));

    // Files under one block are searched from their start; under 4 bytes
    // nothing is found.
    EXPECT_EQ(7, Find({9, 9, 9, 0, 0, 1, 0xBA, 9}, kPack, true));
    EXPECT_EQ(-1, Find({0, 0, 1}, kPack, true));
    EXPECT_EQ(-1, Find({}, kPack, false));

    // The fixture with an extra zero in front of its first sequence header.
    FILE* f = fopen(FixturePath("mpeg/extrazero.m1v").c_str(), "rb");
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(5, FindStartCode(f, kSequence, false));
    fclose(f);
}

TEST(StreamHeader, CdTracksAgainstFfprobe)
{
    Read vcd("mpeg/AVSEQ01.DAT");
    ASSERT_NE(nullptr, vcd.record);
    EXPECT_STREQ("VCD", vcd.record->kindName);
    EXPECT_FLOAT_EQ(25.0f, vcd.record->framesPerSecond);
    EXPECT_EQ(352, vcd.Video().width);
    EXPECT_EQ(288, vcd.Video().height);
    EXPECT_EQ(140, vcd.Video().bitRate);  // 1150 kbit/s in KB/s
    EXPECT_STREQ("MPEG-1 Video", vcd.Video().compression);
    double seconds = vcd.record->frameCount / 25.0;
    EXPECT_NEAR(ProbedSeconds("mpeg/AVSEQ01.DAT"), seconds, 1.0);
    ASSERT_EQ(1u, vcd.record->audioCount);
    EXPECT_STREQ("MPEG-(?) Audio", vcd.record->audioStreams[0]->compression);
    EXPECT_EQ(0, vcd.record->audioStreams[0]->sampleRate);
    EXPECT_EQ(0, vcd.record->selectedVideo);
    EXPECT_EQ(0, vcd.record->selectedAudio);
    char expected[200];
    snprintf(expected, sizeof(expected),
             "[VCD file]\r\nFrames per sec: 25.000\r\nLength in sec: %d\r\n"
             "Resolution: 352x288\r\nBitrate (?): 140KB/s\r\n",
             vcd.record->frameCount / 25);
    EXPECT_STREQ(expected, vcd.record->reportText);

    // The same stream outside a CD track file is plain MPEG-1.
    Read plain("mpeg/vcd.mpg");
    ASSERT_NE(nullptr, plain.record);
    EXPECT_STREQ("MPEG-1", plain.record->kindName);
    EXPECT_EQ(vcd.record->frameCount, plain.record->frameCount);

    // A RIFF track in a folder "MPEG2" is an SVCD: no length, no bit rate.
    Read svcd("mpeg/MPEG2/AVSEQ01.MPG");
    ASSERT_NE(nullptr, svcd.record);
    EXPECT_STREQ("SVCD", svcd.record->kindName);
    EXPECT_EQ(0, svcd.record->frameCount);
    EXPECT_EQ(0, svcd.Video().bitRate);
    EXPECT_STREQ("MPEG-2 Video", svcd.Video().compression);
    EXPECT_STREQ("[SVCD file]\r\nFrames per sec: 25.000\r\nResolution: 480x576\r\n",
                 svcd.record->reportText);
}

TEST(StreamHeader, Mpeg2StreamsAndOddPictureRates)
{
    // Program streams: the pack header's marker bits say MPEG-2; before,
    // they were read as an MPEG-1 clock and gave a kind "MPEG-1".
    for (const char* name : {"mpeg/dvd.mpg", "mpeg/svcd.mpg"}) {
        Read r(name);
        ASSERT_NE(nullptr, r.record) << name;
        EXPECT_STREQ("MPEG-2", r.record->kindName) << name;
        EXPECT_EQ(0, r.record->frameCount) << name;
        EXPECT_STREQ("MPEG-2 Video", r.Video().compression) << name;
    }
    // Elementary streams have no pack header: "MPEG-2" whatever they hold.
    Read m2v("mpeg/video.m2v");
    ASSERT_NE(nullptr, m2v.record);
    EXPECT_STREQ("MPEG-2", m2v.record->kindName);
    EXPECT_STREQ("[MPEG-2 file]\r\nFrames per sec: 25.000\r\nResolution: 720x576\r\n",
                 m2v.record->reportText);
    Read m1v("mpeg/video.m1v", 1);  // ".m1v" is probed in pass 1 only
    EXPECT_EQ(nullptr, Read("mpeg/video.m1v", 0).record);
    ASSERT_NE(nullptr, m1v.record);
    EXPECT_STREQ("MPEG-2", m1v.record->kindName);
    EXPECT_EQ(352, m1v.Video().width);

    // A first header of rate code 9 or 0 is passed by: the stream's next
    // sequence header is read.
    for (const char* name : {"mpeg/rate9.m1v", "mpeg/rate0.m1v"}) {
        Read r(name, 1);
        ASSERT_NE(nullptr, r.record) << name;
        EXPECT_FLOAT_EQ(25.0f, r.record->framesPerSecond) << name;
    }

    // The first sequence header behind an extra zero is the one read.
    Read extra("mpeg/extrazero.m1v", 1);
    ASSERT_NE(nullptr, extra.record);
    EXPECT_EQ(352, extra.Video().width);
}

TEST(StreamHeader, RefusesMpeg4VideoAndTinyPictures)
{
    // MPEG-4 video's group-of-VOP header begins with 00 00 01 B3 too; its
    // time code read as a sequence header is a 1 x 7 picture at rate code 0.
    for (const char* name : {"mpeg/mpeg4.avi", "mpeg/mpeg4.mp4"})
        EXPECT_EQ(nullptr, Read(name, 1).record) << name;

    // At a valid rate, 16 x 16 is the smallest picture taken.
    for (int width : {16, 15}) {
        ScratchFile file({0x00, 0x00, 0x01, 0xB3, uint8_t(width >> 4), uint8_t(width << 4), 0x10,
                          0x13, 0x27, 0x10, 0x20, 0x00});
        MpegHeaderInfo info;
        EXPECT_EQ(width == 16, ReadMpegHeaders(file.dir.c_str(), file.base.c_str(), NULL, &info));
    }
    // Rate code 8 (60 fps) is the last one known; 9 is refused.
    for (uint8_t code : {8, 9}) {
        ScratchFile file({0x00, 0x00, 0x01, 0xB3, 0x16, 0x01, 0x20, uint8_t(0x10 | code), 0x27,
                          0x10, 0x20, 0x00});
        MpegHeaderInfo info;
        EXPECT_EQ(code == 8, ReadMpegHeaders(file.dir.c_str(), file.base.c_str(), NULL, &info));
        if (code == 8)
            EXPECT_FLOAT_EQ(60.0f, info.framesPerSecond);
    }
}

// The video bytes after a sequence header code: 352x240 (or the given
// 12-bit width) at rate code 4, the marker bit set, byte 7 as given.
std::vector<uint8_t> Header(uint8_t byte7 = 0x00, int width = 352)
{
    return {uint8_t(width >> 4), uint8_t(width << 4 & 0xF0), 0xF0, 0x14, 0xFF, 0xFF, 0xE0, byte7};
}

std::vector<uint8_t> operator+(std::vector<uint8_t> a, const std::vector<uint8_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A sequence extension whose size extension gives width and height the
// high bits 1 and 2.
const std::vector<uint8_t> kExtension = {0, 0, 1, 0xB5, 0x14, 0x4A, 0xC0, 0x01};

bool Sequence(const std::vector<uint8_t>& bytes, MpegSequence* sequence)
{
    return ReadMpegSequence(bytes.data(), bytes.size(), sequence);
}

TEST(MpegSequenceHeader, SoundHeadersOnly)
{
    MpegSequence s;
    ASSERT_TRUE(Sequence(Header(), &s));
    EXPECT_TRUE(s.width == 352 && s.height == 240 && s.rateCode == 4);
    std::vector<uint8_t> noMarker = Header();
    noMarker[6] = 0xC0;
    EXPECT_FALSE(Sequence(noMarker, &s));
    // No start code may begin inside the 8 bytes (a header cut short
    // before the next one); one right after them is the next code. The
    // marker bit is set where byte 6 is no part of the code.
    for (size_t at = 0; at <= 8; at++) {
        std::vector<uint8_t> bytes = Header();
        bytes.insert(bytes.begin() + ptrdiff_t(at), {0, 0, 1});
        bytes.resize(std::max<size_t>(at + 3, 8));
        if (at <= 3 || at >= 7)
            bytes[6] |= 0x20;
        EXPECT_EQ(at == 8, Sequence(bytes, &s)) << "start code at " << at;
    }

    // A width of 0 in 12 bits takes its high bits from the extension, also
    // after zero stuffing and the quantiser matrices; else it is refused.
    const std::vector<uint8_t> matrix(64, 0x10), zeros(5, 0);
    std::vector<uint8_t> lastIntra = matrix;
    lastIntra[63] = 0x11;  // the non-intra flag follows the intra matrix
    const std::pair<std::vector<uint8_t>, int> cases[] = {  // bytes, width (0: refused)
        {Header(0, 0), 0}, {Header(0, 0) + kExtension, 4096}, {Header(0, 32) + kExtension, 4128},
        {Header(0, 0) + zeros + kExtension, 4096}, {Header(2, 0) + matrix + kExtension, 4096},
        {Header(1, 0) + matrix + kExtension, 4096}, {Header(2, 0) + lastIntra + matrix + kExtension, 4096},
        {Header(0, 0) + matrix + kExtension, 0},
        {Header(0, 0) + std::vector<uint8_t>{0, 0, 1, 0xB5, 0x24, 0x4A, 0xC0}, 0},  // another extension
        {Header(0, 0) + std::vector<uint8_t>{0, 0, 1, 0xB5, 0x14, 0x4A}, 0}};       // cut short
    for (size_t i = 0; i < std::size(cases); i++) {
        EXPECT_EQ(cases[i].second != 0, Sequence(cases[i].first, &s)) << "case " << i;
        if (cases[i].second != 0) {
            EXPECT_TRUE(s.width == cases[i].second && s.height == 8432) << "case " << i;
        }
    }
}

TEST(MpegSequenceHeader, SplitHeadersGoOnInTheVideoStreamsNextPacket)
{
    // A video packet ending 2 bytes into the header; then an audio packet
    // whose payload looks like a video packet, another video stream's
    // packet, bytes of no packet (with a code that is none of the system
    // layer, as in a CD sector's header), a pack; then the header's rest.
    const std::vector<uint8_t> stream = {
        0, 0, 1, 0xE0, 0, 7, 0x0F, 0, 0, 1, 0xB3, 0x16, 0x00,
        0, 0, 1, 0xC0, 0, 12, 0x0F, 0, 0, 1, 0xE0, 0, 5, 0x0F, 0xAA, 0xAA, 0xAA, 0xAA,
        0, 0, 1, 0xE1, 0, 3, 0x0F, 0xBB, 0xBB,
        0x00, 0xFF, 0x00, 0x00, 0x01, 0x02, 0x10, 0x00,
        0, 0, 1, 0xBA, 0x21, 0x00, 0x01, 0x00, 0x01, 0x80, 0x00, 0x01,
        0, 0, 1, 0xE0, 0, 11, 0x0F, 0xF0, 0x14, 0xFF, 0xFF, 0xE0, 0x18, 0, 0, 1, 0xB8};
    const std::vector<uint8_t> header = {0x16, 0x00, 0xF0, 0x14, 0xFF, 0xFF, 0xE0, 0x18};
    uint8_t out[kMpegSequenceBytes];
    size_t n = GatherVideoBytes(stream.data(), stream.size(), 11, out, 8);
    EXPECT_EQ(header, std::vector<uint8_t>(out, out + n));
    // Outside a video packet the bytes are taken as they are, and the
    // header cut by the next code is refused.
    std::vector<uint8_t> bare(stream.begin() + 7, stream.end());
    n = GatherVideoBytes(bare.data(), bare.size(), 4, out, 8);
    EXPECT_EQ(std::vector<uint8_t>(bare.begin() + 4, bare.begin() + 12), std::vector<uint8_t>(out, out + n));
    MpegSequence s;
    EXPECT_FALSE(ReadMpegSequence(out, n, &s));
}

TEST(StreamHeader, ExtendedCutAndSplitHeadersInRealFiles)
{
    // 4096 x 2160, whose width's 12 bits are 0; a stream behind a header
    // cut after 2 or 4 bytes; the only header split between two video
    // packets, with an audio packet between them in the system stream and
    // a pack header in the program stream (its bit rate field, ffmpeg's
    // 0x3FFFF, read from the packets' payload too).
    const std::pair<const char*, const char*> files[] = {
        {"mpeg/uhd.m2v", "[MPEG-2 file]\r\nFrames per sec: 24.000\r\nResolution: 4096x2160\r\n"},
        {"mpeg/cut2.m1v", "[MPEG-2 file]\r\nFrames per sec: 29.970\r\nResolution: 352x240\r\n"},
        {"mpeg/cut4.m1v", "[MPEG-2 file]\r\nFrames per sec: 29.970\r\nResolution: 352x240\r\n"},
        {"mpeg/split_ps.mpg", "[MPEG-2 file]\r\nFrames per sec: 29.970\r\nResolution: 352x240\r\n"},
        {"mpeg/split.mpg", "Resolution: 352x240\r\nBitrate (?): 12799KB/s\r\n"}};
    for (const auto& file : files) {
        Read r(file.first, 1);
        ASSERT_NE(nullptr, r.record) << file.first;
        EXPECT_NE(nullptr, strstr(r.record->reportText, file.second)) << r.record->reportText;
    }
}

TEST(StreamHeader, BitRateFieldLengthAndShortHeaders)
{
    // Bit rate field 2500 (1 Mbit/s; byte 4 x 1024 + byte 5 x 4 + the top
    // two bits of byte 6), 25 fps, and an MPEG-1 pack header whose clock
    // reads 90000 x 100 (100 s).
    const uint64_t scr = 9000000;
    std::vector<uint8_t> bytes = {0x00, 0x00, 0x01, 0xB3, 0x16, 0x01, 0x20, 0x13,
                                  uint8_t(2500 / 1024), uint8_t(2500 % 1024 / 4),
                                  uint8_t(2500 % 4 << 6 | 0x20), 0x00};
    bytes.resize(600, 0xFF);
    const uint8_t pack[] = {0x00, 0x00, 0x01, 0xBA,
                            uint8_t(0x21 | ((scr >> 30) & 7) << 1), uint8_t(scr >> 22),
                            uint8_t(0x01 | ((scr >> 15) & 0x7F) << 1), uint8_t(scr >> 7),
                            uint8_t(0x01 | (scr & 0x7F) << 1)};
    bytes.insert(bytes.end(), pack, pack + sizeof(pack));
    ScratchFile file(bytes);
    MpegHeaderInfo info;
    ASSERT_TRUE(ReadMpegHeaders(file.dir.c_str(), file.base.c_str(), NULL, &info));
    EXPECT_EQ(352, info.width);
    EXPECT_EQ(288, info.height);
    EXPECT_EQ(122, info.bitRate);
    EXPECT_FALSE(info.mpeg2);
    EXPECT_EQ(2500, info.frameCount);
    MediaFormat* record = MakeMpegRecord(info);
    EXPECT_STREQ("[MPEG-1 file]\r\nFrames per sec: 25.000\r\nLength in sec: 100\r\n"
                 "Resolution: 352x288\r\nBitrate (?): 122KB/s\r\n",
                 record->reportText);
    DeleteMediaFormat(&record);

    // The same 100 s at 29.97 fps: 2997 frames (the float rate lies below
    // 29.97, and a product of it lost one).
    bytes[7] = 0x14;
    ScratchFile ntsc(bytes);
    ASSERT_TRUE(ReadMpegHeaders(ntsc.dir.c_str(), ntsc.base.c_str(), NULL, &info));
    EXPECT_EQ(2997, info.frameCount);
    record = MakeMpegRecord(info);
    EXPECT_NE(nullptr, strstr(record->reportText, "Length in sec: 100\r\n"));
    DeleteMediaFormat(&record);

    // Eight bytes must follow the sequence header code.
    ScratchFile shortHeader({0x00, 0x00, 0x01, 0xB3, 0x16, 0x01, 0x20, 0x14, 0x27, 0x10, 0x20});
    EXPECT_FALSE(ReadMpegHeaders(shortHeader.dir.c_str(), shortHeader.base.c_str(), NULL, &info));
}

TEST(StreamHeader, PassRulesAndTheCdTrackFallback)
{
    std::string dir = FixtureDir("mpeg/vcd.mpg");
    // Pass 0 knows five extensions, any case; pass 1 probes any file.
    EXPECT_NE(nullptr, Read("mpeg/vcd.mpg", 0).record);
    std::string vcd = ReadAll(FixturePath("mpeg/vcd.mpg"));
    ScratchFile upper(std::vector<uint8_t>(vcd.begin(), vcd.end()), "case.MPG");
    std::string upperName = upper.base.substr(0, upper.base.size() - 4);
    MediaFormat* r = ReadStreamHeaderFile(upper.dir.c_str(), upperName.c_str(), ".MPG", 0);
    EXPECT_NE(nullptr, r);
    DeleteMediaFormat(&r);
    EXPECT_EQ(nullptr, ReadStreamHeaderFile(NULL, "vcd", ".mpg", 1));
    EXPECT_EQ(nullptr, ReadStreamHeaderFile(dir.c_str(), NULL, ".mpg", 1));

    // Not an MPEG stream: named AVSEQ01 it is still a track in pass 1,
    // with a video stream of zeros; other names and pass 0 give nothing.
    ScratchFile avi({'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '}, "avseq01");
    ScratchFile text({'h', 'e', 'l', 'l', 'o'}, "movie");
    for (BYTE pass : {0, 1}) {
        EXPECT_EQ(nullptr, ReadStreamHeaderFile(text.dir.c_str(), text.base.c_str(), ".dat", pass));
        EXPECT_EQ(nullptr, ReadStreamHeaderFile(avi.dir.c_str(), avi.base.c_str(), ".avi", pass));
    }
    std::string name = avi.base.substr(0, avi.base.size() - 7) + "AVSEQ01";
    std::string track = avi.dir + name + ".DAT";
    rename((avi.dir + avi.base).c_str(), track.c_str());
    EXPECT_EQ(nullptr, ReadStreamHeaderFile(avi.dir.c_str(), name.c_str(), ".DAT", 0));
    // The name must begin with AVSEQ01: this one only ends in it.
    EXPECT_EQ(nullptr, ReadStreamHeaderFile(avi.dir.c_str(), name.c_str(), ".DAT", 1));
    std::string real = avi.dir + "avseq01x.dat";
    rename(track.c_str(), real.c_str());
    r = ReadStreamHeaderFile(avi.dir.c_str(), "avseq01x", ".dat", 1);
    ASSERT_NE(nullptr, r);
    EXPECT_STREQ("VCD", r->kindName);  // the RIFF flag of the failed reading
    ASSERT_EQ(1u, r->videoCount);
    EXPECT_EQ(0, r->videoStreams[0]->width);
    EXPECT_EQ(0, r->videoStreams[0]->bitRate);
    EXPECT_STREQ("[VCD file]\r\nFrames per sec: 0.000\r\nLength in sec: 0\r\n"
                 "Resolution: 0x0\r\nBitrate (?): 0KB/s\r\n",
                 r->reportText);
    DeleteMediaFormat(&r);
    remove(real.c_str());
}

#ifdef _WIN32
TEST(StreamHeaderDll, AnswersThroughThePluginManager)
{
    PluginFolder plugins("streamheader.dll");
    ASSERT_EQ(1, plugins.manager.GetCount());
    EXPECT_EQ(0, plugins.NewBoxes());
    PluginEntry* entry = plugins.manager.GetEntry(0);
    EXPECT_STREQ("Handels MPEG-1 & MPEG-2 files. VCD and SVCD included. Not much info from "
                 "MPEG-2... Written by Tolvik.",
                 entry->PluginDesc());
    EXPECT_STREQ("|MPEG-1 file (*.mpeg, *.mpg, *.dat)|*.mpeg; *.mpg; *.dat|"
                 "MPEG-2 files (*.m2v, *.m2s)|*.m2v; *.m2s|",
                 entry->PluginFormats());

    MediaFormat m;
    InitMediaFormat(m);
    ASSERT_TRUE(plugins.manager.ReadFileInfo(m, FixturePath("mpeg/MPEG2/AVSEQ01.MPG").c_str()));
    EXPECT_STREQ("SVCD", m.kindName);
    EXPECT_STREQ("[SVCD file]\r\nFrames per sec: 25.000\r\nResolution: 480x576\r\n", m.reportText);
    ASSERT_TRUE(plugins.manager.ReadFileInfo(m, FixturePath("mpeg/AVSEQ01.DAT").c_str()));
    EXPECT_STREQ("VCD", m.kindName);
    EXPECT_EQ(140, m.videoStreams[0]->bitRate);
    EXPECT_FALSE(plugins.manager.ReadFileInfo(m, FixturePath("mpeg/mpeg4.avi").c_str()));
    FreeMediaFormat(m);
}

TEST(StreamHeaderDll, FailedAllocationAnswersNullAndTheHostAsksTheNextPlugin)
{
    PluginFolder plugins("streamheader.dll", 2);
    ASSERT_EQ(2, plugins.manager.GetCount());
    PluginEntry* first = plugins.manager.GetEntry(0);
    // The switch of a test build (tests/plugins/FailAllocation.cpp): the
    // first copy's next allocation fails, and the second copy answers.
    typedef int (*FailNextFn)(int arm);
    FailNextFn failNext = reinterpret_cast<FailNextFn>(GetProcAddress(first->module, "TestFailNextAllocation"));
    ASSERT_NE(nullptr, failNext);
    failNext(1);
    MediaFormat m;
    InitMediaFormat(m);
    ASSERT_TRUE(plugins.manager.ReadFileInfo(m, FixturePath("mpeg/AVSEQ01.DAT").c_str()));
    EXPECT_EQ(0, failNext(0));    // met
    EXPECT_STREQ("VCD", m.kindName);
    FreeMediaFormat(m);

    // Any exception, of any type.
    ExpectNullOnEveryException(first, FixtureDir("mpeg/vcd.mpg"), "vcd", ".mpg");
    EXPECT_EQ(0, plugins.NewBoxes());
}

TEST(StreamHeaderDll, OnlyACdTrackFileInAnMpeg2FolderIsSvcd)
{
    // A plain MPEG-1 system stream in a folder "MPEG2" stays MPEG-1.
    PluginFolder plugins("streamheader.dll");
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "vistrel_svcd_" + std::to_string(GetCurrentProcessId());
    std::string mpeg2 = folder + "\\MPEG2", plain = mpeg2 + "\\vcd.mpg";
    CreateDirectoryA(folder.c_str(), NULL);
    CreateDirectoryA(mpeg2.c_str(), NULL);
    ASSERT_TRUE(CopyFileA(FixturePath("mpeg/vcd.mpg").c_str(), plain.c_str(), FALSE));
    MediaFormat m;
    InitMediaFormat(m);
    EXPECT_TRUE(plugins.manager.ReadFileInfo(m, plain.c_str()));
    EXPECT_STREQ("MPEG-1", m.kindName);
    FreeMediaFormat(m);
    DeleteFileA(plain.c_str());
    RemoveDirectoryA(mpeg2.c_str());
    RemoveDirectoryA(folder.c_str());
}
#endif
