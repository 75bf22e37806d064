// The IMDb information record: its encoding in every file version, its
// comparison and the cover size class measured from the picture.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/CoverSize.h"
#include "core/ErrorBox.h"
#include "core/ImdbInfo.h"
#include "core/StrUtil.h"
#include "core/StreamIo.h"

namespace {

std::vector<BYTE> LoadCover(const char* name)
{
    std::string path = std::string(VISTREL_TEST_DATA) + "/covers/" + name;
    std::vector<BYTE> bytes;
    FILE* f = fopen(path.c_str(), "rb");
    EXPECT_TRUE(f != NULL) << path;
    if (f == NULL)
        return bytes;
    int c;
    while ((c = getc(f)) != EOF)
        bytes.push_back(BYTE(c));
    fclose(f);
    return bytes;
}

class TempStream {
public:
    TempStream() : f(tmpfile()) {}
    ~TempStream()
    {
        if (f != NULL)
            fclose(f);
    }
    long Size()
    {
        long here = ftell(f);
        fseek(f, 0, SEEK_END);
        long size = ftell(f);
        fseek(f, here, SEEK_SET);
        return size;
    }
    std::vector<BYTE> Bytes()
    {
        std::vector<BYTE> bytes(static_cast<size_t>(Size()));
        rewind(f);
        EXPECT_EQ(bytes.size(), fread(bytes.data(), 1, bytes.size(), f));
        rewind(f);
        return bytes;
    }
    FILE* f;
};

void Fill(CImdbInfo& info, bool complete, const std::vector<BYTE>& cover)
{
    info.m_complete = complete ? 1 : 0;
    StrSet(&info.m_searchName, "alien");
    info.AddSearchHit("/title/tt0078748/", "Alien (1979)");
    info.AddSearchHit("/title/tt0090605/", "Aliens (1986)");
    StrSet(&info.m_title, "Alien");
    StrSet(&info.m_director, "Ridley Scott");
    StrSet(&info.m_genre, "Horror / Sci-Fi");
    StrSet(&info.m_coverType, "jpg");
    StrSet(&info.m_tagline, "In space no one can hear you scream.");
    StrSet(&info.m_plot, "A crew meets a creature.");
    StrSet(&info.m_comment, "Still scary.");
    StrSet(&info.m_country, "UK");
    StrSet(&info.m_address, "http://imdb.example/title/tt0078748/");
    info.m_year = 1979;
    info.m_rating = 8.4;
    info.m_runtime = 117;
    info.m_cover = cover;
    info.m_coverSizeClass = COVER_SIZE_LARGE;
    info.AddCastEntry("Sigourney Weaver", "Ripley");
    info.AddCastEntry("Tom Skerritt", "Dallas");
}

// Writes the record as a database file of the given version held it.
void WriteAsVersion(const CImdbInfo& info, int version, FILE* f)
{
    if (version >= 12) {
        ASSERT_TRUE(info.Write(f));
        return;
    }
    WriteU8(f, info.m_complete);
    if (info.m_complete || version > 1) {
        WriteString(f, info.m_title);
        WriteString(f, info.m_director);
        WriteString(f, info.m_genre);
        WriteString(f, info.m_coverType);
        if (version >= 10)
            WriteString(f, info.m_tagline);
        WriteString(f, info.m_plot);
        WriteString(f, info.m_comment);
        WriteString(f, info.m_country);
        WriteString(f, info.m_address);
        WriteU16(f, info.m_year);
        if (version >= 5)
            WriteDouble(f, info.m_rating);
        if (version >= 10)
            WriteU32(f, info.m_runtime);
        WriteU8(f, info.HasCover() ? 1 : 0);
        if (info.HasCover())
            WriteBlock(f, info.m_cover.data(), info.GetCoverLength());
        WriteU32(f, info.GetCastCount());
        for (const auto& entry : info.m_cast) {
            WriteString(f, entry->m_actor);
            WriteString(f, entry->m_character);
        }
    }
    if (!info.m_complete) {
        WriteString(f, info.m_searchName);
        WriteU32(f, info.GetSearchHitCount());
        for (const auto& hit : info.m_hits) {
            WriteString(f, hit->m_address);
            WriteString(f, hit->m_title);
        }
    }
}

// What a record of that version keeps of the full record.
void KeepWhatVersionHolds(CImdbInfo& info, int version)
{
    if (!info.m_complete && version <= 1) {
        CImdbInfo search;
        StrSet(&search.m_searchName, info.m_searchName);
        for (const auto& hit : info.m_hits)
            search.AddSearchHit(hit->m_address, hit->m_title);
        info.CopyFrom(search);
        return;
    }
    if (version < 5)
        info.m_rating = -1.0;
    if (version < 10) {
        StrSet(&info.m_tagline, NULL);
        info.m_runtime = 0;
    }
    if (info.m_complete) {
        StrSet(&info.m_searchName, NULL);
        info.ClearSearchHits();
    }
}

class ImdbInfoTest : public ::testing::Test {
protected:
    void SetUp() override { SetErrorBoxRecording(true); }
};

TEST_F(ImdbInfoTest, RoundTripsInEveryVersion)
{
    std::vector<BYTE> cover = LoadCover("cover_300x475.jpg");
    for (int version : { 1, 4, 5, 10, 11, 12 }) {
        for (bool complete : { false, true }) {
            SCOPED_TRACE("version " + std::to_string(version) + (complete ? " complete" : " search"));
            CImdbInfo info;
            Fill(info, complete, cover);
            TempStream stream;
            WriteAsVersion(info, version, stream.f);
            long size = stream.Size();
            rewind(stream.f);

            CImdbInfo read;
            StrSet(&read.m_tagline, "left over");  // reading starts from empty
            ASSERT_TRUE(read.Read(stream.f, version));
            EXPECT_EQ(size, ftell(stream.f));

            KeepWhatVersionHolds(info, version);
            EXPECT_FALSE(info.IsDifferent(read));
            EXPECT_EQ(info.GetSearchHitCount(), read.GetSearchHitCount());
            EXPECT_EQ(info.GetCastCount(), read.GetCastCount());
            if (read.GetCastCount() == 2) {
                EXPECT_STREQ("Dallas", read.m_cast[1]->m_character);
            }
        }
    }
}

TEST_F(ImdbInfoTest, OldRecordsLackRatingTaglineAndRuntime)
{
    CImdbInfo info;
    Fill(info, true, std::vector<BYTE>());
    TempStream stream;
    WriteAsVersion(info, 4, stream.f);
    rewind(stream.f);
    CImdbInfo read;
    ASSERT_TRUE(read.Read(stream.f, 4));
    EXPECT_EQ(-1.0, read.m_rating);
    EXPECT_TRUE(read.m_tagline == NULL);
    EXPECT_EQ(0u, read.m_runtime);
    EXPECT_EQ(0u, read.GetSearchHitCount());
    EXPECT_EQ(COVER_SIZE_UNKNOWN, read.m_coverSizeClass);
}

TEST_F(ImdbInfoTest, NewestLayoutByteForByte)
{
    CImdbInfo info;
    info.m_complete = 1;
    info.m_year = 0x0102;
    info.m_coverSizeClass = COVER_SIZE_SMALL;
    TempStream stream;
    ASSERT_TRUE(info.Write(stream.f));
    std::vector<BYTE> expected = {
        0x01,                          // complete
        0, 0, 0, 0,                    // title, director, genre, cover type
        0x10,                          // small cover
        0, 0, 0, 0, 0,                 // tagline, plot, comment, country, address
        0x02, 0x01,                    // year
        8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0xBF,  // rating -1.0
        0, 0, 0, 0,                    // runtime
        0,                             // no cover
        0, 0, 0, 0                     // no cast; no search part when complete
    };
    EXPECT_EQ(expected, stream.Bytes());

    // Class codes: 0 -> 0x01, 1 -> 0x20, any other value -> 0x00.
    for (int cls : { 0, 1, 7 }) {
        TempStream other;
        info.m_coverSizeClass = cls;
        info.Write(other.f);
        BYTE code = other.Bytes()[5];
        EXPECT_EQ(cls == 0 ? 0x01 : cls == 1 ? 0x20 : 0x00, code);
    }
}

TEST_F(ImdbInfoTest, RatingsCloserThanATenthAreEqual)
{
    CImdbInfo a, b;
    a.m_rating = 7.25;
    b.m_rating = 7.3;
    EXPECT_FALSE(a.IsDifferent(b));
    a.m_rating = 7.0;
    b.m_rating = 7.2;
    EXPECT_TRUE(a.IsDifferent(b));

    // Covers: presence, length and bytes all count.
    b.m_rating = 7.0;
    a.m_cover = { 1, 2, 3 };
    EXPECT_TRUE(a.IsDifferent(b));
    b.m_cover = { 1, 2, 4 };
    EXPECT_TRUE(a.IsDifferent(b));
    b.m_cover = a.m_cover;
    EXPECT_FALSE(a.IsDifferent(b));
    b.m_coverSizeClass = COVER_SIZE_SMALL;
    EXPECT_TRUE(a.IsDifferent(b));
}

TEST_F(ImdbInfoTest, CoverClassIsMeasuredForOlderFiles)
{
    struct Case {
        const char* file;
        int cls;
    } cases[] = {
        { "cover_300x475.jpg", COVER_SIZE_LARGE },
        { "cover_300x475_progressive.jpg", COVER_SIZE_LARGE },
        { "cover_300x475.gif", COVER_SIZE_LARGE },
        { "cover_93x130.jpg", COVER_SIZE_SMALL },
        { "cover_93x130.gif", COVER_SIZE_SMALL },
        { "cover_93x130.png", COVER_SIZE_SMALL },
        { "cover_93x130.bmp", COVER_SIZE_SMALL },
        { "cover_475x300.jpg", COVER_SIZE_UNKNOWN },
        { "cover_475x300.gif", COVER_SIZE_UNKNOWN },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        CImdbInfo info;
        Fill(info, true, LoadCover(c.file));
        TempStream stream;
        WriteAsVersion(info, 11, stream.f);
        rewind(stream.f);
        CImdbInfo read;
        ASSERT_TRUE(read.Read(stream.f, 11));
        EXPECT_EQ(c.cls, read.m_coverSizeClass);
    }

    // A cover that cannot be measured gets class 0.
    CImdbInfo info;
    Fill(info, true, LoadCover("cover_300x475.jpg"));
    info.m_cover.resize(100);  // cut before the frame header
    EXPECT_EQ(COVER_SIZE_UNKNOWN, info.ComputeCoverSizeClass());
    info.m_cover.assign(40, 0xFF);
    EXPECT_EQ(COVER_SIZE_UNKNOWN, info.ComputeCoverSizeClass());
}

TEST_F(ImdbInfoTest, NewestFilesKeepTheStoredClass)
{
    CImdbInfo info;
    Fill(info, true, LoadCover("cover_300x475.jpg"));
    info.m_coverSizeClass = COVER_SIZE_SMALL;
    TempStream stream;
    info.Write(stream.f);
    rewind(stream.f);
    CImdbInfo read;
    ASSERT_TRUE(read.Read(stream.f, 12));
    EXPECT_EQ(COVER_SIZE_SMALL, read.m_coverSizeClass);

    // An unknown code measures the picture instead.
    info.m_coverSizeClass = 9;
    TempStream other;
    info.Write(other.f);
    rewind(other.f);
    ASSERT_TRUE(read.Read(other.f, 12));
    EXPECT_EQ(COVER_SIZE_LARGE, read.m_coverSizeClass);
}

TEST_F(ImdbInfoTest, DamagedRecordsFailWithoutHugeAllocations)
{
    CImdbInfo info;
    Fill(info, false, LoadCover("cover_93x130.gif"));
    TempStream stream;
    info.Write(stream.f);
    std::vector<BYTE> bytes = stream.Bytes();

    // Cut anywhere: the read fails and keeps what it had read.
    for (size_t cut : { size_t(1), size_t(8), bytes.size() / 2, bytes.size() - 1 }) {
        TempStream part;
        fwrite(bytes.data(), 1, cut, part.f);
        rewind(part.f);
        CImdbInfo read;
        EXPECT_FALSE(read.Read(part.f, 12)) << cut;
        if (cut > 8) {
            EXPECT_STREQ("Alien", read.m_title);
        }
    }

    // A cast count far beyond the bytes left fails before reading entries.
    CImdbInfo empty;
    empty.m_complete = 1;
    TempStream huge;
    empty.Write(huge.f);
    std::vector<BYTE> small = huge.Bytes();
    small[small.size() - 4] = 0xFF;
    small[small.size() - 3] = 0xFF;
    small[small.size() - 2] = 0xFF;
    small[small.size() - 1] = 0x7F;
    small.insert(small.end(), 64, 'x');
    TempStream bad;
    fwrite(small.data(), 1, small.size(), bad.f);
    rewind(bad.f);
    CImdbInfo read;
    EXPECT_FALSE(read.Read(bad.f, 12));
    EXPECT_EQ(0u, read.GetCastCount());
}

TEST(CoverSize, HeadersOfEachFormat)
{
    long width = 0, height = 0;
    std::vector<BYTE> png = LoadCover("cover_93x130.png");
    ASSERT_TRUE(MeasurePicture(png.data(), png.size(), &width, &height));
    EXPECT_EQ(93, width);
    EXPECT_EQ(130, height);

    // A top-down BMP has a negative height.
    std::vector<BYTE> bmp = LoadCover("cover_93x130.bmp");
    ASSERT_GE(bmp.size(), 26u);
    bmp[22] = BYTE(-130 & 0xFF);
    bmp[23] = bmp[24] = bmp[25] = 0xFF;
    ASSERT_TRUE(MeasurePicture(bmp.data(), bmp.size(), &width, &height));
    EXPECT_EQ(130, height);

    // Fill bytes before a marker and a skipped application segment.
    std::vector<BYTE> jpeg = { 0xFF, 0xD8, 0xFF, 0xFF, 0xE1, 0x00, 0x04, 0xAA, 0xBB,
                               0xFF, 0xC2, 0x00, 0x0B, 0x08, 0x01, 0xDB, 0x00, 0x5D };
    ASSERT_TRUE(MeasurePicture(jpeg.data(), jpeg.size(), &width, &height));
    EXPECT_EQ(93, width);
    EXPECT_EQ(475, height);
    jpeg.resize(jpeg.size() - 1);
    EXPECT_FALSE(MeasurePicture(jpeg.data(), jpeg.size(), &width, &height));
    // A segment length that runs past the end.
    std::vector<BYTE> runaway = { 0xFF, 0xD8, 0xFF, 0xE0, 0xFF, 0xFF, 0x00 };
    EXPECT_FALSE(MeasurePicture(runaway.data(), runaway.size(), &width, &height));
    EXPECT_FALSE(MeasurePicture(NULL, 0, &width, &height));
}

} // namespace
