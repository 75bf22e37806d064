#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/ErrorBox.h"
#include "core/MediaFormatInfo.h"
#include "core/StrUtil.h"

namespace {

// Builds database bytes by hand, independent of the stream helpers.
struct Bytes {
    std::vector<uint8_t> data;
    Bytes& u8(uint8_t v) { data.push_back(v); return *this; }
    Bytes& u16(uint16_t v) { return u8(uint8_t(v)).u8(uint8_t(v >> 8)); }
    Bytes& u32(uint32_t v) { return u16(uint16_t(v)).u16(uint16_t(v >> 16)); }
    Bytes& str(const char* s)
    {
        data.insert(data.end(), s, s + strlen(s) + 1);
        return *this;
    }
    Bytes& dbl(double d)
    {
        uint8_t raw[8];
        memcpy(raw, &d, 8);
        u32(8);
        data.insert(data.end(), raw, raw + 8);
        return *this;
    }
    Bytes& flt(float f)
    {
        uint32_t bits;
        memcpy(&bits, &f, 4);
        return u32(4).u32(bits);
    }
};

// A temporary stream holding the given bytes, positioned at the start.
class TempStream {
public:
    explicit TempStream(const std::vector<uint8_t>& bytes) : f(tmpfile())
    {
        if (f != NULL && !bytes.empty())
            fwrite(bytes.data(), 1, bytes.size(), f);
        Rewind();
    }
    TempStream() : f(tmpfile()) {}
    ~TempStream()
    {
        if (f != NULL)
            fclose(f);
    }
    void Rewind()
    {
        if (f != NULL)
            rewind(f);
    }
    std::vector<uint8_t> All()
    {
        std::vector<uint8_t> out;
        rewind(f);
        int c;
        while ((c = fgetc(f)) != EOF)
            out.push_back(uint8_t(c));
        return out;
    }
    FILE* f;
};

class MediaFormatInfoTest : public ::testing::Test {
protected:
    void SetUp() override { SetErrorBoxRecording(true); }

    // Reads one record from bytes followed by a marker byte, and checks that
    // the reader stopped exactly at the marker.
    bool ReadAll(CMediaFormatInfo& info, Bytes bytes, int version, DWORD code, bool avi,
                 bool mpeg, bool ifo)
    {
        bytes.u8(0xA5);
        TempStream s(bytes.data);
        EXPECT_NE(nullptr, s.f);
        bool ok = info.Read(s.f, version, code, avi, mpeg, ifo);
        if (ok) {
            EXPECT_EQ(0xA5, fgetc(s.f)) << "reader did not stop at the record's end";
        }
        return ok;
    }
};

TEST_F(MediaFormatInfoTest, MediaTypeCodesName)
{
    EXPECT_STREQ("Avi", GetMediaTypeName(2));
    EXPECT_STREQ("DivX", GetMediaTypeName(0x12));
    EXPECT_STREQ("DVDrip (Avi)", GetMediaTypeName(0x202));
    EXPECT_STREQ("DVDrip (DivX)", GetMediaTypeName(0x212));
    EXPECT_STREQ("Avi", GetMediaTypeName(0x302));  // only exactly 0x200 is a rip
    EXPECT_STREQ("MPEG-1", GetMediaTypeName(3));
    EXPECT_STREQ("VCD", GetMediaTypeName(0x103));
    EXPECT_STREQ("MPEG-2", GetMediaTypeName(0x304));
    EXPECT_STREQ("SVCD", GetMediaTypeName(0x104));
    EXPECT_STREQ("DVD", GetMediaTypeName(0x105));
    EXPECT_STREQ("[unknown]", GetMediaTypeName(0));
    EXPECT_STREQ("[unknown]", GetMediaTypeName(6));

    const DWORD mapped[] = {1, 260, 18, 2, 259, 3, 4, 1, 1};
    for (BYTE code = 0; code < 9; code++)
        EXPECT_EQ(mapped[code], MapLegacyMediaCode(code)) << int(code);
    EXPECT_EQ(1u, MapLegacyMediaCode(255));
    EXPECT_STREQ("SVCD", GetMediaTypeName(MapLegacyMediaCode(1)));
    EXPECT_STREQ("DivX", GetMediaTypeName(MapLegacyMediaCode(2)));
}

// The version 11/12 encoding, byte for byte: channels before bits per
// sample, compression before language.
Bytes SmallCurrentRecord()
{
    Bytes b;
    b.str("K").str("").u32(7).flt(25.0f).u32(0).u32(0xFFFFFFFF);
    b.u32(1).u32(1).u32(2).u16(3).u32(4).str("V").u32(5);
    b.u32(1).u32(6).u16(2).u16(16).u32(8).str("A").str("L").u32(9);
    b.u32(1).str("S");
    return b;
}

TEST_F(MediaFormatInfoTest, CurrentEncodingReadsAndWritesTheSameBytes)
{
    CMediaFormatInfo info;
    ASSERT_TRUE(ReadAll(info, SmallCurrentRecord(), 12, 0, false, false, false));
    const MediaFormat* m = info.GetFormat();
    ASSERT_NE(nullptr, m);
    EXPECT_STREQ("K", m->kindName);
    EXPECT_EQ(nullptr, m->reportText);  // empty reads back as absent
    EXPECT_EQ(7, m->frameCount);
    EXPECT_EQ(25.0f, m->framesPerSecond);
    EXPECT_EQ(-1, m->selectedAudio);
    ASSERT_EQ(1u, m->videoCount);
    EXPECT_EQ(3, m->videoStreams[0]->colourDepth);
    EXPECT_STREQ("V", m->videoStreams[0]->compression);
    ASSERT_EQ(1u, m->audioCount);
    EXPECT_EQ(2, m->audioStreams[0]->channels);
    EXPECT_EQ(16, m->audioStreams[0]->bitsPerSample);
    EXPECT_STREQ("A", m->audioStreams[0]->compression);
    EXPECT_STREQ("L", m->audioStreams[0]->language);
    EXPECT_EQ(9, m->audioStreams[0]->bitRate);
    ASSERT_EQ(1u, m->subtitleCount);
    EXPECT_STREQ("S", m->subtitleTexts[0]);

    TempStream out;
    ASSERT_TRUE(info.Write(out.f));
    EXPECT_EQ(SmallCurrentRecord().data, out.All());

    CMediaFormatInfo again;
    out.Rewind();
    ASSERT_TRUE(again.Read(out.f, 11, 0, false, false, false));
    EXPECT_TRUE(again.IsSameAs(info));
}

TEST_F(MediaFormatInfoTest, CurrentEncodingFailsOnEveryTruncationAndImpossibleCount)
{
    std::vector<uint8_t> full = SmallCurrentRecord().data;
    for (size_t n = 0; n < full.size(); n++) {
        CMediaFormatInfo info;
        TempStream s(std::vector<uint8_t>(full.begin(), full.begin() + n));
        EXPECT_FALSE(info.Read(s.f, 12, 0, false, false, false)) << n << " bytes";
    }

    // Counts that the rest of the stream cannot hold fail before allocating.
    Bytes head;
    head.str("").str("").u32(0).flt(0).u32(0).u32(0);
    for (int which = 0; which < 3; which++) {
        Bytes b = head;
        for (int i = 0; i < which; i++)
            b.u32(0);
        b.u32(0xFFFFFFFF).u32(0).u32(0).u32(0);
        CMediaFormatInfo info;
        TempStream s(b.data);
        EXPECT_FALSE(info.Read(s.f, 12, 0, false, false, false)) << which;
    }
}

TEST_F(MediaFormatInfoTest, WriteSkipsNullSlotsAndEmptyHolderWritesEmptyRecord)
{
    MediaFormat m;
    InitMediaFormat(m);
    m.audioStreams = (AudioStreamInfo**)calloc(2, sizeof(AudioStreamInfo*));
    m.audioCount = 2;
    m.audioStreams[1] = (AudioStreamInfo*)calloc(1, sizeof(AudioStreamInfo));
    m.audioStreams[1]->sampleRate = 8000;

    // Handed to the holder as it is: SetFormat would drop the NULL slot.
    TempStream out;
    {
        CMediaFormatInfo holder;
        MediaFormat blank;
        InitMediaFormat(blank);
        holder.SetFormat(&blank);
        *holder.GetFormat() = m;
        ASSERT_TRUE(holder.Write(out.f));
    }
    CMediaFormatInfo info;
    out.Rewind();
    ASSERT_TRUE(info.Read(out.f, 12, 0, false, false, false));
    ASSERT_EQ(1u, info.GetFormat()->audioCount);
    EXPECT_EQ(8000, info.GetFormat()->audioStreams[0]->sampleRate);

    CMediaFormatInfo empty;
    TempStream blank;
    ASSERT_TRUE(empty.Write(blank.f));
    Bytes expected;
    expected.str("").str("").u32(0).flt(0).u32(0xFFFFFFFF).u32(0xFFFFFFFF).u32(0).u32(0).u32(0);
    EXPECT_EQ(expected.data, blank.All());
}

// ---------------------------------------------------------------------------
// Records of versions before 11.

TEST_F(MediaFormatInfoTest, LegacyAviVersion5)
{
    Bytes b;
    b.u32(1000).u32(720).u32(576).dbl(25.0).dbl(0).u32(3);
    // Video with no compression text and no size of its own.
    b.u8(1).str("").u32(0).u32(1000).u32(0).dbl(0).dbl(0).u32(0).u32(0);
    b.u8('D').u8('I').u8('V').u8('X').u16(24);
    b.u8(2).str("MP3").u32(0).u32(500).u32(0).u16(2).u16(16).u32(44100).u32(128);
    b.u8(7).u32(1).u32(2).u32(3);

    CMediaFormatInfo info;
    ASSERT_TRUE(ReadAll(info, b, 5, 0x12, true, false, false));
    const MediaFormat* m = info.GetFormat();
    EXPECT_STREQ("DVDrip (DivX)", m->kindName);
    ASSERT_NE(nullptr, info.GetVideoStream());
    EXPECT_EQ(720, info.GetVideoStream()->width);
    EXPECT_EQ(576, info.GetVideoStream()->height);
    EXPECT_EQ(nullptr, info.GetAudioStream());  // legacy records select no audio
    ASSERT_EQ(1u, m->audioCount);
    EXPECT_EQ(500, m->audioStreams[0]->lengthInFrames);
    EXPECT_EQ(128, m->audioStreams[0]->bitRate);
    EXPECT_STREQ("[AVI file]\r\n"
                 "Compression: DIVX\r\n"
                 "Frames: 1000\r\n"
                 "Frames per sec: 25.000\r\n"
                 "Length in sec: 40.00\r\n"
                 "Resolution: 720x576\r\n"
                 "Color depth: 24 bits\r\n"
                 "\r\n[Audio stream]\r\n"
                 "Compression: MP3\r\n"
                 "Samples Rate: 44100 Hz\r\n"
                 "Bit Depth: 16 bits\r\n"
                 "Channels: 2\r\n",
                 m->reportText);
    EXPECT_FALSE(info.IsDvd());

    // Narrow picture, plain code, own compression text, no frame rate.
    Bytes small;
    small.u32(100).u32(320).u32(240).dbl(0).dbl(0).u32(1);
    small.u8(1).str("cvid").u32(0).u32(100).u32(0).dbl(0).dbl(0).u32(160).u32(120).u32(0).u16(8);
    ASSERT_TRUE(ReadAll(info, small, 5, 2, true, false, false));
    EXPECT_STREQ("Avi", info.GetFormat()->kindName);
    EXPECT_STREQ("[AVI file]\r\nCompression: cvid\r\nFrames: 100\r\nFrames per sec: 0.000\r\n"
                 "Length in sec: 0.00\r\nResolution: 160x120\r\nColor depth: 8 bits\r\n",
                 info.GetFormat()->reportText);
}

TEST_F(MediaFormatInfoTest, LegacyMpegVersion10NamesAndReports)
{
    struct Case {
        uint8_t videoCd, mpeg2;
        const char* kind;
        const char* compression;
        const char* report;
    } cases[] = {
        {0, 0, "MPEG-1", "MPEG-1",
         "[MPEG-1 file]\r\nFrames per sec: 25.000\r\nLength in sec: 60\r\n"
         "Resolution: 352x288\r\nBitrate (?): 150KB/s\r\n"},
        {1, 0, "VCD", "MPEG-1",
         "[VCD file]\r\nFrames per sec: 25.000\r\nLength in sec: 60\r\n"
         "Resolution: 352x288\r\nBitrate (?): 150KB/s\r\n"},
        {0, 1, "MPEG-2", "MPEG-2", "[MPEG-2 file]\r\nFrames per sec: 25.000\r\nResolution: 352x288\r\n"},
        {1, 1, "SVCD", "MPEG-2", "[SVCD file]\r\nFrames per sec: 25.000\r\nResolution: 352x288\r\n"},
    };
    for (const Case& c : cases) {
        Bytes b;
        b.u32(150).u32(352).u32(288).u8(c.videoCd).u8(c.mpeg2).dbl(25.0).dbl(60.0);
        CMediaFormatInfo info;
        ASSERT_TRUE(ReadAll(info, b, 10, 3, false, true, false)) << c.kind;
        EXPECT_STREQ(c.kind, info.GetFormat()->kindName);
        EXPECT_EQ(1500, info.GetFormat()->frameCount);
        ASSERT_NE(nullptr, info.GetVideoStream());
        EXPECT_STREQ(c.compression, info.GetVideoStream()->compression);
        EXPECT_EQ(150, info.GetVideoStream()->bitRate);
        EXPECT_STREQ(c.report, info.GetFormat()->reportText);
        EXPECT_EQ(c.videoCd == 1, info.IsVcd());
    }

    // A length the frame count cannot hold is capped, not overflowed.
    Bytes huge;
    huge.u32(0).u32(0).u32(0).u8(0).u8(0).dbl(1e6).dbl(1e300);
    CMediaFormatInfo info;
    ASSERT_TRUE(ReadAll(info, huge, 10, 3, false, true, false));
    EXPECT_EQ(2147483647, info.GetFormat()->frameCount);
    Bytes endless;
    endless.u32(0).u32(0).u32(0).u8(0).u8(0).dbl(25).dbl(HUGE_VAL * 0.0);
    ASSERT_TRUE(ReadAll(info, endless, 10, 3, false, true, false));
    EXPECT_EQ(0, info.GetFormat()->frameCount);
}

// The older DVD record; versions before 8 store the rate as a u32, versions
// before 9 carry two unused fields and no region.
Bytes IfoRecord(int version, const char* region, double rate)
{
    Bytes b;
    if (version >= 9)
        b.str(region);
    b.str("4:3").u32(12).str("Letterbox");
    if (version >= 8)
        b.dbl(rate);
    else
        b.u32(uint32_t(rate));
    b.u32(576).u32(3600);
    if (version < 9)
        b.u32(99);
    b.str("unused").str("PAL").str("MPEG-2");
    if (version < 9)
        b.str("unused too");
    b.u32(720);
    b.u32(1).str("16bit").str("x").u32(6).u32(0).str("English").str("AC3").u32(48);
    b.u32(2).str("English").str("Normal").str("German").str("Large");
    return b;
}

std::string IfoReport(const char* region, const char* rate)
{
    return std::string("[IFO file]\r\n\r\nRegion: ") + region +
           "\r\n\r\n[Video stream]\r\nCompression: MPEG-2\r\nTV system: PAL\r\n"
           "Aspect ratio: 4:3\r\nDisplay mode: Letterbox\r\nResolution: 720x576\r\n"
           "Frames per sec: " + rate + "\r\nLength in sec: 3600\r\nChapters: 12\r\n\r\n"
           "[Audio stream(s)]\r\nNumber of audio streams: 1\r\n\r\n"
           "Language: English\r\nCompression: AC3\r\nSampling: 48kHz\r\nQuant: 16bit\r\n"
           "[Subtitel(s)]\r\nNumber of subtitels: 2\r\n\r\n"
           "Caption: English [Normal]\r\nCaption: German [Large]\r\n";
}

TEST_F(MediaFormatInfoTest, LegacyIfoVersions6To10)
{
    CMediaFormatInfo info;
    ASSERT_TRUE(ReadAll(info, IfoRecord(6, NULL, 25), 6, 5, false, false, true));
    const MediaFormat* m = info.GetFormat();
    EXPECT_STREQ("DVD", m->kindName);
    EXPECT_EQ(90000, m->frameCount);
    EXPECT_EQ(IfoReport("[unknown]", "25.00"), m->reportText);
    ASSERT_NE(nullptr, info.GetVideoStream());
    EXPECT_EQ(720, info.GetVideoStream()->width);
    EXPECT_STREQ("MPEG-2", info.GetVideoStream()->compression);
    ASSERT_EQ(1u, m->audioCount);
    EXPECT_EQ(16, m->audioStreams[0]->bitsPerSample);
    EXPECT_EQ(6, m->audioStreams[0]->channels);
    EXPECT_EQ(48, m->audioStreams[0]->sampleRate);
    EXPECT_STREQ("English", m->audioStreams[0]->language);
    ASSERT_EQ(2u, m->subtitleCount);
    EXPECT_STREQ("German", m->subtitleTexts[1]);
    EXPECT_TRUE(info.IsDvd());

    ASSERT_TRUE(ReadAll(info, IfoRecord(8, NULL, 25), 8, 5, false, false, true));
    EXPECT_EQ(IfoReport("[unknown]", "25.00"), info.GetFormat()->reportText);

    ASSERT_TRUE(ReadAll(info, IfoRecord(9, "2", 29.97), 9, 5, false, false, true));
    EXPECT_EQ(IfoReport("2", "29.97"), info.GetFormat()->reportText);

    ASSERT_TRUE(ReadAll(info, IfoRecord(10, "1", 25), 10, 5, false, false, true));
    EXPECT_EQ(IfoReport("1", "25.00"), info.GetFormat()->reportText);
    EXPECT_EQ(90000, info.GetFormat()->frameCount);
}

TEST_F(MediaFormatInfoTest, LegacyRecordsFailOnTruncationAndImpossibleCounts)
{
    std::vector<uint8_t> full = IfoRecord(10, "1", 25).data;
    for (size_t n = 0; n < full.size(); n++) {
        CMediaFormatInfo info;
        TempStream s(std::vector<uint8_t>(full.begin(), full.begin() + n));
        EXPECT_FALSE(info.Read(s.f, 10, 5, false, false, true)) << n << " bytes";
    }

    Bytes avi;
    avi.u32(0).u32(0).u32(0).dbl(0).dbl(0).u32(0x10000000);
    CMediaFormatInfo info;
    TempStream s(avi.data);
    EXPECT_FALSE(info.Read(s.f, 5, 2, true, false, false));

    Bytes ifo;
    ifo.str("1").str("").u32(0).str("").dbl(25).u32(0).u32(0).str("").str("").str("").u32(0);
    ifo.u32(0xFFFFFFFF);
    TempStream t(ifo.data);
    EXPECT_FALSE(info.Read(t.f, 10, 5, false, false, true));
}

// ---------------------------------------------------------------------------

TEST_F(MediaFormatInfoTest, DvdVcdAndSelectedStreams)
{
    CMediaFormatInfo info;
    EXPECT_FALSE(info.IsDvd());
    EXPECT_FALSE(info.IsVcd());
    EXPECT_EQ(nullptr, info.GetVideoStream());

    MediaFormat m;
    InitMediaFormat(m);
    struct {
        const char* name;
        bool dvd, vcd;
    } names[] = {{"DVD", true, false},          {"dvd folder", true, false},
                 {"DVDrip (Avi)", false, false}, {"DVD RIP", false, false},
                 {"Rip of a DVD", false, false}, {"SVCD", false, true},
                 {"vcd", false, true},           {NULL, false, false}};
    for (const auto& n : names) {
        StrAssign(&m.kindName, n.name);
        info.SetFormat(&m);
        EXPECT_EQ(n.dvd, info.IsDvd()) << (n.name ? n.name : "NULL");
        EXPECT_EQ(n.vcd, info.IsVcd()) << (n.name ? n.name : "NULL");
    }

    // A selected index the array cannot hold gives no stream.
    m.videoStreams = (VideoStreamInfo**)calloc(1, sizeof(VideoStreamInfo*));
    m.videoStreams[0] = (VideoStreamInfo*)calloc(1, sizeof(VideoStreamInfo));
    m.videoCount = 1;
    info.SetFormat(&m);
    info.GetFormat()->selectedVideo = 1;
    EXPECT_EQ(nullptr, info.GetVideoStream());
    info.GetFormat()->selectedVideo = 0;
    EXPECT_NE(nullptr, info.GetVideoStream());
    FreeMediaFormat(m);
}

TEST_F(MediaFormatInfoTest, CopyFromAndIsSameAs)
{
    CMediaFormatInfo a, b;
    EXPECT_TRUE(a.IsSameAs(b));
    ASSERT_TRUE(ReadAll(a, IfoRecord(10, "1", 25), 10, 5, false, false, true));
    EXPECT_FALSE(a.IsSameAs(b));
    EXPECT_FALSE(b.IsSameAs(a));
    b.CopyFrom(a);
    EXPECT_TRUE(b.IsSameAs(a));
    EXPECT_NE(a.GetFormat(), b.GetFormat());
    b.GetFormat()->audioStreams[0]->lengthInFrames = 1;
    EXPECT_FALSE(b.IsSameAs(a));
    b.CopyFrom(b);  // self copy keeps the record
    ASSERT_NE(nullptr, b.GetFormat());
    CMediaFormatInfo empty;
    b.CopyFrom(empty);
    EXPECT_EQ(nullptr, b.GetFormat());
}

}  // namespace
