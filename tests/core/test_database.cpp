// The database file. The fixtures are written byte by byte here, one per
// version, by a writer independent of the loader; tests/data/vdb holds the
// same bytes (VISTREL_WRITE_VDB=<folder> writes them again).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include "core/DatabaseFile.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "VdbBytes.h"

namespace fs = std::filesystem;

namespace {

const char kCorrupt[] =
    "Your database file is corrupt, problem is fixed but check if everything is ok.";
const char kNotOurs[] = "This is not a Vistrel file, not created with this program atleast...";

void WriteImdb(Bytes& b, bool complete)
{
    const int v = b.v;
    b.U8(complete ? 1 : 0);
    if (complete) {
        b.Str("Alien").Str("Ridley Scott").Str("Sci-Fi").Str("jpg");
        if (v >= 12)
            b.U8(0x10);
        if (v >= 10)
            b.Str("In space no one can hear you scream.");
        b.Str("A crew meets a creature.").Str("Classic").Str("UK").Str("/title/tt0078748/");
        b.U16(1979);
        if (v >= 5)
            b.Dbl(8.5);
        if (v >= 10)
            b.U32(117);
        b.U8(1).U32(12).Raw("not-an-image");
        b.U32(2).Str("Sigourney Weaver").Str("Ripley").Str("Tom Skerritt").Str("Dallas");
        return;
    }
    if (v > 1) {
        b.Str("").Str("").Str("").Str("");
        if (v >= 12)
            b.U8(0x01);
        if (v >= 10)
            b.Str("");
        b.Str("").Str("").Str("").Str("").U16(0);
        if (v >= 5)
            b.Dbl(-1.0);
        if (v >= 10)
            b.U32(0);
        b.U8(0).U32(0);
    }
    b.Str("Heat").U32(2).Str("/title/tt0113277/").Str("Heat (1995)");
    b.Str("/title/tt0097500/").Str("Heat (1986)");
}

// Movie and file type: a name from version 11, a code in 3-10, a legacy byte
// before that.
void WriteType(Bytes& b, const char* name, uint32_t code, unsigned legacy)
{
    if (b.v >= 11)
        b.Str(name);
    else if (b.v >= 3)
        b.U32(code);
    else
        b.U8(legacy);
}

void WriteFileHead(Bytes& b, uint32_t id, uint32_t code, unsigned legacy, uint32_t part,
                   const char* folder, const char* name, const char* title)
{
    b.Raw("MFILE").U32(id);
    if (b.v <= 10) {
        if (b.v >= 3)
            b.U32(code);
        else
            b.U8(legacy);
    }
    b.U32(part).Str(folder).Str(name).Str(title);
}

// Two discs (a CD-ROM, and a fixed disc from version 4), three movies (with,
// without and with unresolved internet information), three files with the
// media records of their version, and from version 7 a person with loans.
std::string MakeFixture(int v)
{
    Bytes b(v);
    b.Raw("VSTR").U8("123456789AbCD"[v]);
    b.Raw("CNTS!").U32(2).U32(3).U32(3);
    if (v >= 7)
        b.U32(1);

    b.Raw("CDROM").U32(0).Str("1A2B-3C4D").Str("MOVIES1");
    if (v >= 4)
        b.U8(0);
    b.U32(2).U32(0).U32(1);
    b.Raw("CDROM").U32(1).Str("5E6F-7A8B").Str("Data (C:)");
    if (v >= 4)
        b.U8(1).U8('c');
    b.U32(1).U32(2);

    b.Raw("MOVIE").U32(0).Str("Alien");
    WriteType(b, "DivX", 0x12, 2);
    if (v >= 1)
        b.U8(1);
    if (v >= 3)
        b.Str("Director's cut").Str("English").U8(1).Str("English / German");
    b.U8(1);
    WriteImdb(b, true);
    b.U32(1).U32(0);

    b.Raw("MOVIE").U32(1).Str("Brazil");
    WriteType(b, "VCD", 0x103, 4);
    if (v >= 1)
        b.U8(0);
    if (v >= 3)
        b.Str("").Str("").U8(0);
    b.U8(0).U32(2).U32(1).U32(2);

    b.Raw("MOVIE").U32(2).Str("Heat");
    WriteType(b, "", 5, 0);
    if (v >= 1)
        b.U8(0);
    if (v >= 3)
        b.Str("").Str("French").U8(v >= 12 ? 0 : 2);  // only exactly 1 has a text
    b.U8(1);
    WriteImdb(b, false);
    b.U32(0);

    // 734003200 bytes, created 2003-05-14 20:30:10.
    WriteFileHead(b, 0, 0x12, 2, 0xFFFFFFFF, "\\Movies\\", "alien.avi", "Alien");
    b.U8(0).U32(0).U32(734003200).U16(14).U16(3).U16(20).U16(0).U16(30).U16(5).U16(10).U16(2003);
    if (v >= 11) {
        b.U8(1).Str("DivX").Str("[AVI file]").U32(1000).Flt(25.0f).U32(0).U32(0);
        b.U32(1).U32(384).U32(288).U16(24).U32(1000).Str("DIV3").U32(780);
        b.U32(1).U32(44100).U16(2).U16(16).U32(0).Str("MP3").Str("English").U32(128);
        b.U32(1).Str("English");
    } else {
        b.U8(1).U32(1000).U32(384).U32(288).Dbl(25.0).Dbl(0.0).U32(3);
        b.U8(1).Str("DIV3").U32(0).U32(1000).U32(0).Dbl(0).Dbl(0).U32(0).U32(0).U32(0x33564944).U16(24);
        b.U8(2).Str("MP3").U32(0).U32(0).U32(0).U16(2).U16(16).U32(44100).U32(128);
        b.U8(7).U32(0).U32(0).U32(0);
        b.U8(0);
        if (v >= 6)
            b.U8(0);
    }

    // Size -1, part 1, a video CD.
    WriteFileHead(b, 1, 0x103, 4, 1, "\\VCD\\", "brazil1.dat", "Brazil");
    b.U8(1).U32(0).U32(1);
    for (int i = 0; i < 8; i++)
        b.U16(0);
    if (v >= 11) {
        b.U8(0);
    } else {
        b.U8(0).U8(1).U32(1150).U32(352).U32(288).U8(1).U8(0).Dbl(25.0).Dbl(60.0);
        if (v >= 6)
            b.U8(0);
    }

    // Size 4294967295; a DVD record from version 6, before it an AVI record
    // followed by an MPEG record that is dropped.
    WriteFileHead(b, 2, 5, 0, 2, "\\", "brazil2.dat", "Brazil");
    b.U8(0).U32(1).U32(0).U16(1).U16(2).U16(3).U16(4).U16(5).U16(6).U16(7).U16(2001);
    if (v >= 11) {
        b.U8(1).Str("MPEG-1").Str("").U32(0).Flt(0).U32(0xFFFFFFFF).U32(0xFFFFFFFF);
        b.U32(0).U32(0).U32(0);
    } else if (v >= 6) {
        b.U8(0).U8(0).U8(1);
        if (v >= 9)
            b.Str("2");
        b.Str("16:9").U32(12).Str("Letterbox");
        if (v >= 8)
            b.Dbl(25.0);
        else
            b.U32(25);
        b.U32(576).U32(5400);
        if (v < 9)
            b.U32(0);
        b.Str("").Str("PAL").Str("MPEG-2");
        if (v < 9)
            b.Str("");
        b.U32(720);
        b.U32(1).Str("16bit").Str("").U32(6).U32(0).Str("en").Str("AC3").U32(48000);
        b.U32(1).Str("English").Str("en");
    } else {
        b.U8(1).U32(10).U32(320).U32(240).Dbl(10.0).Dbl(0).U32(0);
        b.U8(1).U32(1150).U32(352).U32(288).U8(0).U8(1).Dbl(25.0).Dbl(1.0);
    }

    if (v >= 7) {
        unsigned reserved = v >= 12 ? 0 : 0xDEADBEEF;  // ignored when read
        b.Raw("PRSON").Str("Ann").Str("1 Main St").Str("555-0100").U32(0).U32(2);
        b.U32(0).Stamp(reserved, 2004, 2, 1, 3, 10, 15).Stamp(0, 0, 0, 0, 0, 0, 0);
        b.U32(1).Stamp(0, 2003, 12, 3, 24, 9, 0).Stamp(reserved, 2004, 1, 1, 5, 18, 45);
    }
    return b.data;
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteAll(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

fs::path FixturePath(int v)
{
    char name[16];
    snprintf(name, sizeof name, "v%02d.vdb", v);
    return fs::path(VISTREL_TEST_DATA) / "vdb" / name;
}

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorBoxRecording(true);
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() / (std::string("vdb-") + info->name());
        RemoveDir();
        fs::create_directories(m_dir);
    }
    void TearDown() override { RemoveDir(); }

    // Read-only files, as a failed run may leave, go too.
    void RemoveDir()
    {
        std::error_code ignored;
        fs::permissions(m_dir, fs::perms::all, ignored);
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(m_dir, ignored))
            fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ignored);
        fs::remove_all(m_dir, ignored);
    }

    std::string PathOf(const char* name) { return (m_dir / name).string(); }
    std::string Put(const char* name, const std::string& bytes)
    {
        WriteAll(m_dir / name, bytes);
        return PathOf(name);
    }
    size_t EntriesInDir() { return size_t(std::distance(fs::directory_iterator(m_dir), {})); }

    fs::path m_dir;
};

// The records a walk over the ids passes; a walk that does not move up
// counts as none, so that it can't hold the test.
size_t CountRecords(CMovieCollection& c, DWORD (CMovieCollection::*next)(DWORD))
{
    size_t n = 0;
    for (DWORD id = (c.*next)(NO_ID), last = NO_ID; id != NO_ID; last = id, id = (c.*next)(id)) {
        if (last != NO_ID && id <= last)
            return 0;
        n++;
    }
    return n;
}

const char* TextOf(const char* text) { return text != NULL ? text : "(null)"; }

// What every version's fixture must load as.
void ExpectFixture(CMovieCollection& c, int v)
{
    SCOPED_TRACE("version " + std::to_string(v));
    EXPECT_EQ(v >= 3, c.IsSaved());

    CDisc* cd = c.GetDiscCopy(0);
    CDisc* fixed = c.GetDiscCopy(1);
    ASSERT_TRUE(cd != NULL && fixed != NULL);
    EXPECT_STREQ("MOVIES1", cd->m_name);
    EXPECT_EQ(0, cd->m_fixedOrNetwork);
    EXPECT_EQ((std::vector<DWORD>{ 0, 1 }), cd->m_fileIds);
    EXPECT_STREQ("5E6F-7A8B", fixed->m_serialNumber);
    EXPECT_EQ(v >= 4 ? 1 : 0, fixed->m_fixedOrNetwork);
    EXPECT_EQ(v >= 4 ? 'c' : 0, fixed->m_driveLetter);
    EXPECT_EQ(std::vector<DWORD>{ 2 }, fixed->m_fileIds);
    c.ReleaseDiscCopy(&cd);
    c.ReleaseDiscCopy(&fixed);

    CMovie* alien = c.GetMovieCopy(0);
    CMovie* brazil = c.GetMovieCopy(1);
    CMovie* heat = c.GetMovieCopy(2);
    ASSERT_TRUE(alien != NULL && brazil != NULL && heat != NULL);
    EXPECT_STREQ("Alien", alien->m_title);
    EXPECT_STREQ("DivX", alien->m_mediaTypeName);
    EXPECT_EQ(v >= 1 ? 1 : 0, alien->m_seen);
    EXPECT_STREQ(v >= 3 ? "Director's cut" : "(null)", TextOf(alien->m_customType));
    EXPECT_EQ(v >= 3 ? 1 : 0, alien->m_hasSubtitles);
    EXPECT_STREQ(v >= 3 ? "English / German" : "(null)", TextOf(alien->m_subtitles));
    EXPECT_EQ(std::vector<DWORD>{ 0 }, alien->m_fileIds);
    ASSERT_TRUE(alien->m_imdbInfo != NULL);
    const CImdbInfo& info = *alien->m_imdbInfo;
    EXPECT_EQ(1, info.m_complete);
    EXPECT_STREQ("Ridley Scott", info.m_director);
    EXPECT_STREQ(v >= 10 ? "In space no one can hear you scream." : "(null)",
                 TextOf(info.m_tagline));
    EXPECT_STREQ("/title/tt0078748/", info.m_address);
    EXPECT_EQ(1979, info.m_year);
    EXPECT_EQ(v >= 5 ? 8.5 : -1.0, info.m_rating);
    EXPECT_EQ(v >= 10 ? 117u : 0u, info.m_runtime);
    EXPECT_EQ(v >= 12 ? COVER_SIZE_SMALL : COVER_SIZE_UNKNOWN, info.m_coverSizeClass);
    EXPECT_EQ(std::string("not-an-image"), std::string(info.m_cover.begin(), info.m_cover.end()));
    ASSERT_EQ(2u, info.GetCastCount());
    EXPECT_STREQ("Dallas", info.m_cast[1]->m_character);

    // Before version 3 a movie takes the format name of its first file.
    EXPECT_STREQ("VCD", brazil->m_mediaTypeName);
    EXPECT_EQ(nullptr, brazil->m_customType);
    EXPECT_EQ(nullptr, brazil->m_imdbInfo.get());
    EXPECT_EQ((std::vector<DWORD>{ 1, 2 }), brazil->m_fileIds);

    EXPECT_STREQ(v >= 11 ? "" : v >= 3 ? "DVD" : "[unknown]", heat->m_mediaTypeName);
    EXPECT_STREQ(v >= 3 ? "French" : "(null)", TextOf(heat->m_language));
    EXPECT_EQ(0, heat->m_hasSubtitles);
    ASSERT_TRUE(heat->m_imdbInfo != NULL);
    EXPECT_EQ(0, heat->m_imdbInfo->m_complete);
    ASSERT_EQ(2u, heat->m_imdbInfo->GetSearchHitCount());
    EXPECT_STREQ("Heat (1986)", heat->m_imdbInfo->m_hits[1]->m_title);
    c.ReleaseMovieCopy(&alien);
    c.ReleaseMovieCopy(&brazil);
    c.ReleaseMovieCopy(&heat);

    CMovieFile* avi = c.GetFileCopy(0);
    CMovieFile* vcd = c.GetFileCopy(1);
    CMovieFile* third = c.GetFileCopy(2);
    ASSERT_TRUE(avi != NULL && vcd != NULL && third != NULL);
    EXPECT_EQ(-1, avi->m_partNumber);
    EXPECT_STREQ("alien.avi", avi->m_fileName);
    EXPECT_EQ(734003200, avi->m_size);
    EXPECT_EQ(2003, avi->m_creationTime.wYear);
    EXPECT_EQ(5, avi->m_creationTime.wMonth);
    EXPECT_EQ(3, avi->m_creationTime.wDayOfWeek);
    EXPECT_EQ(14, avi->m_creationTime.wDay);
    EXPECT_EQ(30, avi->m_creationTime.wMinute);
    EXPECT_EQ(10, avi->m_creationTime.wSecond);
    ASSERT_TRUE(avi->GetFormat() != NULL);
    EXPECT_STREQ("DivX", avi->GetFormat()->kindName);
    ASSERT_EQ(1u, avi->GetFormat()->videoCount);
    EXPECT_EQ(384, avi->GetFormat()->videoStreams[0]->width);
    ASSERT_EQ(1u, avi->GetFormat()->audioCount);
    EXPECT_EQ(44100, avi->GetFormat()->audioStreams[0]->sampleRate);

    EXPECT_EQ(1, vcd->m_partNumber);
    EXPECT_EQ(-1, vcd->m_size);
    if (v >= 11) {
        EXPECT_EQ(nullptr, vcd->GetFormat());
    } else {
        ASSERT_TRUE(vcd->GetFormat() != NULL);
        EXPECT_STREQ("VCD", vcd->GetFormat()->kindName);
    }

    EXPECT_EQ(4294967295LL, third->m_size);
    EXPECT_EQ(2001, third->m_creationTime.wYear);
    ASSERT_TRUE(third->GetFormat() != NULL);
    const char* thirdKind = v >= 11 ? "MPEG-1" : v >= 6 ? "DVD" : "Avi";
    EXPECT_STREQ(thirdKind, third->GetFormat()->kindName);
    if (v >= 6 && v <= 10) {
        ASSERT_EQ(1u, third->GetFormat()->audioCount);
        EXPECT_EQ(48000, third->GetFormat()->audioStreams[0]->sampleRate);
    }
    c.ReleaseFileCopy(&avi);
    c.ReleaseFileCopy(&vcd);
    c.ReleaseFileCopy(&third);

    EXPECT_EQ(v >= 7 ? 1u : 0u, CountRecords(c, &CMovieCollection::GetNextIdOfPerson));
    if (v >= 7) {
        CPerson* ann = c.GetPersonCopy(0);
        ASSERT_TRUE(ann != NULL);
        EXPECT_STREQ("555-0100", ann->m_telephone);
        ASSERT_EQ(2u, ann->GetLoanCount());
        EXPECT_EQ(2004, ann->m_loans[0].m_borrowed.m_time.wYear);
        EXPECT_EQ(15, ann->m_loans[0].m_borrowed.m_time.wMinute);
        EXPECT_TRUE(ann->m_loans[0].IsOpen());
        EXPECT_EQ(1u, ann->m_loans[1].m_movieId);
        EXPECT_EQ(45, ann->m_loans[1].m_returned.m_time.wMinute);
        EXPECT_EQ(5, ann->m_loans[1].m_returned.m_time.wDay);
        c.ReleasePersonCopy(&ann);
    }
}

TEST_F(DatabaseTest, CommittedFixturesMatchTheWriter)
{
    const char* regenerate = getenv("VISTREL_WRITE_VDB");
    for (int v = 0; v <= kNewestDatabaseVersion; v++) {
        if (regenerate != NULL)
            WriteAll(fs::path(regenerate) / FixturePath(v).filename(), MakeFixture(v));
        EXPECT_EQ(MakeFixture(v), ReadAll(FixturePath(v))) << "version " << v;
    }
}

TEST_F(DatabaseTest, EveryVersionLoadsAndRoundTrips)
{
    for (int v = 0; v <= kNewestDatabaseVersion; v++) {
        CMovieCollection loaded;
        ASSERT_TRUE(loaded.Load(FixturePath(v).string().c_str())) << v;
        ExpectFixture(loaded, v);
        EXPECT_EQ(FixturePath(v).string(), loaded.GetFileName());

        std::string first = PathOf("first.vdb"), second = PathOf("second.vdb");
        ASSERT_TRUE(loaded.Save(first.c_str(), false));
        CMovieCollection again;
        ASSERT_TRUE(again.Load(first.c_str()));
        ASSERT_TRUE(again.Save(second.c_str(), false));
        EXPECT_EQ(ReadAll(first), ReadAll(second)) << v;
        EXPECT_EQ("VSTRD", ReadAll(first).substr(0, 5));
    }
}

TEST_F(DatabaseTest, NewestFixtureSavesToTheSameBytes)
{
    int before = ErrorBoxCount();
    CMovieCollection c;
    ASSERT_TRUE(c.Load(FixturePath(12).string().c_str()));
    std::string saved = PathOf("saved.vdb");
    ASSERT_TRUE(c.Save(saved.c_str(), false));
    EXPECT_EQ(MakeFixture(12), ReadAll(saved));
    EXPECT_EQ(before, ErrorBoxCount());
}

TEST_F(DatabaseTest, SizesSplitOnTheDivisor)
{
    BYTE sign;
    DWORD q, r;
    SplitFileSize(-1, &sign, &q, &r);
    EXPECT_EQ(1, sign);
    EXPECT_EQ(0u, q);
    EXPECT_EQ(1u, r);
    SplitFileSize(4294967295LL, &sign, &q, &r);
    EXPECT_EQ(0, sign);
    EXPECT_EQ(1u, q);
    EXPECT_EQ(0u, r);
    for (int64_t size : { int64_t(0), int64_t(4294967296LL), INT64_MAX, INT64_MIN, int64_t(-5) }) {
        SplitFileSize(size, &sign, &q, &r);
        EXPECT_EQ(size, JoinFileSize(sign, q, r));
    }
    // No stored pair overflows the size.
    EXPECT_EQ(INT64_MAX, JoinFileSize(0, 0xFFFFFFFF, 0xFFFFFFFF));
    EXPECT_EQ(INT64_MIN, JoinFileSize(1, 0xFFFFFFFF, 0xFFFFFFFF));
}

TEST_F(DatabaseTest, RepairDropsDanglingIdsWithOneMessageForAll)
{
    NewestFile b(1, 1, 1, 1);
    b.Disc(0, { 0, 9 }).Movie(0, { 8, 0, 9 }).File(0).Person(0, { 0, 5 });
    int before = ErrorBoxCount();
    CMovieCollection c;
    std::string path = Put("repair.vdb", b.data);
    ASSERT_TRUE(c.Load(path.c_str()));
    EXPECT_EQ(before + 1, ErrorBoxCount());
    EXPECT_EQ(kCorrupt + std::string("\n\n0 record(s) could not be read; 4 reference(s) to missing records were removed."
                                     "\n\nAt the next save the original file will be kept as ") +
                  path + ".damaged.",
              LastErrorBoxText());
    // What was mended is not what the file holds: not saved.
    EXPECT_FALSE(c.IsSaved());

    CDisc* disc = c.GetDiscCopy(0);
    CMovie* movie = c.GetMovieCopy(0);
    CPerson* person = c.GetPersonCopy(0);
    ASSERT_TRUE(disc != NULL && movie != NULL && person != NULL);
    EXPECT_EQ(std::vector<DWORD>{ 0 }, disc->m_fileIds);
    EXPECT_EQ(std::vector<DWORD>{ 0 }, movie->m_fileIds);
    ASSERT_EQ(1u, person->GetLoanCount());
    EXPECT_EQ(0u, person->m_loans[0].m_movieId);
    c.ReleaseDiscCopy(&disc);
    c.ReleaseMovieCopy(&movie);
    c.ReleasePersonCopy(&person);
}

TEST_F(DatabaseTest, FailedRecordsAreDroppedAndTheRestLoads)
{
    NewestFile b(3, 4, 0, 2);
    b.Disc(0, {});
    b.Raw("CDROM").U32(1).Str("").Str("").U8(0).U32(0xFFFFFFFF);  // impossible id count
    b.Disc(2, {});
    b.Movie(0xFFFFFFFF, {});                                      // id -1
    b.Movie(3, {}).Movie(1, {});                                  // out of id order
    b.Raw("MOVXE");                                               // wrong tag
    b.Raw("PRSON").Str("").Str("").Str("").U32(1).U32(0x7FFFFFFF);  // impossible loan count
    b.Person(2, {});
    CMovieCollection c;
    ASSERT_TRUE(c.Load(Put("damaged.vdb", b.data).c_str()));
    // The counts fit in the file: they are believed.
    EXPECT_NE(std::string::npos, LastErrorBoxText().find("\n\n4 record(s) could not be read;"));
    EXPECT_EQ(0u, c.GetNextIdOfDisc(NO_ID));
    EXPECT_EQ(2u, c.GetNextIdOfDisc(0));
    EXPECT_EQ(NO_ID, c.GetNextIdOfDisc(2));
    EXPECT_EQ(1u, c.GetNextIdOfMovie(NO_ID));
    EXPECT_EQ(3u, c.GetNextIdOfMovie(1));
    EXPECT_EQ(NO_ID, c.GetNextIdOfMovie(3));
    EXPECT_EQ(2u, c.GetNextIdOfPerson(NO_ID));
    EXPECT_EQ(1u, CountRecords(c, &CMovieCollection::GetNextIdOfPerson));
}

// Files cut short or padded with nothing: the load stops at the first
// record that can't be there, says what it lost once, and the catalogue
// does not count as saved; the file on disc is not touched.
TEST_F(DatabaseTest, DamagedCataloguesSayWhatTheyLostOnce)
{
    std::string full = MakeFixture(12);
    std::string cut = Put("cut.vdb", full.substr(0, 42));
    CMovieCollection c;
    int before = ErrorBoxCount();
    ASSERT_TRUE(c.Load(cut.c_str()));
    EXPECT_EQ(before + 1, ErrorBoxCount());
    EXPECT_EQ(0u, LastErrorBoxText().find(kCorrupt));
    // The header counts 9 records, but 16 bytes are left: the number lost
    // is not known.
    EXPECT_NE(std::string::npos,
              LastErrorBoxText().find("\n\nAn unknown number of records could not be read;"));
    EXPECT_FALSE(c.IsSaved());
    EXPECT_EQ(full.substr(0, 42), ReadAll(cut));

    // Counts of 0xFFFFFFFF before megabytes of zeros: every kind ends at its
    // first tag, with one message.
    NewestFile zeros(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF);
    zeros.data += std::string(8 << 20, '\0');
    before = ErrorBoxCount();
    ASSERT_TRUE(c.Load(Put("zeros.vdb", zeros.data).c_str()));
    EXPECT_EQ(before + 1, ErrorBoxCount());
    EXPECT_NE(std::string::npos, LastErrorBoxText().find("An unknown number of records"));
    EXPECT_EQ(std::string::npos, LastErrorBoxText().find("17179869180"));
    EXPECT_EQ(0u, c.GetDiscCount() + c.GetMovieCount());

    // The last kind too: five persons can't fit in the 20 bytes left.
    NewestFile persons(0, 0, 0, 5);
    persons.data += std::string(20, 'x');
    ASSERT_TRUE(c.Load(Put("persons.vdb", persons.data).c_str()));
    EXPECT_NE(std::string::npos,
              LastErrorBoxText().find("\n\nAn unknown number of records could not be read;"));

    // An intact file says nothing and is saved.
    before = ErrorBoxCount();
    ASSERT_TRUE(c.Load(FixturePath(12).string().c_str()));
    EXPECT_EQ(before, ErrorBoxCount());
    EXPECT_TRUE(c.IsSaved());
}

TEST_F(DatabaseTest, HugeCountsCostNothingBeyondTheFile)
{
    NewestFile b(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF);
    b.Disc(7, {});
    CMovieCollection c;
    ASSERT_TRUE(c.Load(Put("huge.vdb", b.data).c_str()));
    EXPECT_EQ(1u, c.GetDiscCount());
    EXPECT_EQ(0u, c.GetMovieCount());
}

class RecordingProgress : public ILoadProgress {
public:
    void Show(const char* text, int low, int high) override
    {
        m_text = text;
        m_low = low;
        m_high = high;
    }
    void SetPos(int pos) override { m_positions.push_back(pos); }
    void Close() override { m_closed++; }

    std::string m_text;
    int m_low = -1, m_high = -1, m_closed = 0;
    std::vector<int> m_positions;
};

TEST_F(DatabaseTest, ProgressStepsOverEveryRecordAndCopesWithNone)
{
    RecordingProgress progress;
    CMovieCollection c;
    std::string path = FixturePath(12).string();
    ASSERT_TRUE(c.Load(path.c_str(), &progress));
    EXPECT_EQ("Loading " + path + "...", progress.m_text);
    EXPECT_EQ(0, progress.m_low);
    EXPECT_EQ(32000, progress.m_high);
    EXPECT_EQ(1, progress.m_closed);
    // 2 discs, 3 movies, 3 files, 1 person: one step each, by the bytes
    // read so far.
    ASSERT_EQ(9u, progress.m_positions.size());
    for (size_t i = 1; i < 9; i++)
        EXPECT_LT(progress.m_positions[i - 1], progress.m_positions[i]);
    EXPECT_GT(progress.m_positions[0], 0);
    EXPECT_LT(progress.m_positions[8], 32000);

    RecordingProgress none;
    ASSERT_TRUE(c.Load(Put("empty.vdb", NewestFile(0, 0, 0, 0).data).c_str(), &none));
    EXPECT_EQ(1, none.m_closed);
    EXPECT_TRUE(none.m_positions.empty());
    EXPECT_EQ(0u, c.GetMovieCount());
}

TEST_F(DatabaseTest, UnreadableFilesLeaveTheCollectionAlone)
{
    CMovieCollection c;
    CMovie movie;
    StrSet(&movie.m_title, "Kept");
    c.AddMovie(&movie, false);

    std::string missing = PathOf("missing.vdb");
    EXPECT_FALSE(c.Load(missing.c_str()));
    EXPECT_EQ("Error opening file " + missing, LastErrorBoxText());

    std::string fixture = MakeFixture(6);
    for (const std::string& bytes : { std::string("VSTRE") + fixture.substr(5),
                                      fixture.substr(0, 20), std::string("VSTR") }) {
        EXPECT_FALSE(c.Load(Put("bad.vdb", bytes).c_str()));
        EXPECT_EQ(kNotOurs, LastErrorBoxText());
    }
    EXPECT_EQ(1u, c.GetMovieCount());
    EXPECT_EQ("", c.GetFileName());
}

// Every prefix of a file loads what it holds or fails cleanly.
TEST_F(DatabaseTest, TruncatedFilesNeverBreakTheLoader)
{
    for (int v : { 1, 6, 10, 12 }) {
        std::string full = MakeFixture(v);
        size_t header = 5 + 5 + (v >= 7 ? 16 : 12);
        for (size_t length = 0; length < full.size(); length++) {
            CMovieCollection c;
            bool loaded = c.Load(Put("cut.vdb", full.substr(0, length)).c_str());
            EXPECT_EQ(length >= header, loaded) << "version " << v << " length " << length;
            EXPECT_LE(c.GetMovieCount(), 3u);
            EXPECT_LE(c.GetDiscCount(), 2u);
        }
    }
}

#ifdef _WIN32
std::string HostPath(const std::string& path)
{
    typedef char*(CDECL * UnixNameFn)(LPCWSTR);
    UnixNameFn unixName = reinterpret_cast<UnixNameFn>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    char* name = unixName != NULL ? unixName(fs::path(path).wstring().c_str()) : NULL;
    std::string result = name != NULL ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Runs a shell command of the host: under Wine a link is the host's own.
// Wine starts host programs without a handle to wait on, so the command's
// status goes to a file that the test waits for.
bool RunOnHost(const std::string& command)
{
    std::string status = (fs::temp_directory_path() / "vdb-host-status").string();
    fs::remove(status);
    std::string line = "/bin/sh -c \"" + command + "; echo $? >'" + HostPath(status) + "'\"";
    std::vector<char> writable(line.begin(), line.end());
    writable.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(NULL, writable.data(), NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return false;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    std::string result;
    for (DWORD start = GetTickCount(); (result = ReadAll(status)).empty() && GetTickCount() - start < 60000;)
        Sleep(20);
    fs::remove(status);
    return result == "0\n";
}
#endif

bool MakeLink(const std::string& link, const std::string& target)
{
#ifdef _WIN32
    return RunOnHost("ln -s '" + HostPath(target) + "' '" + HostPath(link) + "'");
#else
    std::error_code error;
    fs::create_symlink(target, link, error);
    return !error;
#endif
}

// Removes the link itself (under Wine a delete goes through to the file).
struct LinkRemover {
    std::string link;
    ~LinkRemover()
    {
#ifdef _WIN32
        RunOnHost("rm -f '" + HostPath(link) + "'");
#else
        fs::remove(link);
#endif
    }
};

void SetReadOnly(const std::string& path, bool on)
{
#ifdef _WIN32
    SetFileAttributesA(path.c_str(), on ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
#else
    chmod(path.c_str(), on ? 0444 : 0644);
#endif
}

TEST_F(DatabaseTest, SaveAppliesCopiesAndSilentSaveKeepsTheState)
{
    CMovieCollection c;
    ASSERT_TRUE(c.Load(FixturePath(12).string().c_str()));
    CMovie* copy = c.GetMovieCopy(1);
    ASSERT_TRUE(copy != NULL);
    StrSet(&copy->m_title, "Brazil (director's cut)");

    std::string recovery = PathOf("saved.bak");
    int before = ErrorBoxCount();
    ASSERT_TRUE(c.Save(recovery.c_str(), true));
    EXPECT_FALSE(c.IsSaved());
    EXPECT_EQ(FixturePath(12).string(), c.GetFileName());

    EXPECT_FALSE(c.Save(PathOf("no-such-folder/x.vdb").c_str(), true));
    EXPECT_EQ(before, ErrorBoxCount());

    // A target marked read-only is refused as an in-place write would be.
    std::string locked = Put("readonly.vdb", "kept");
    SetReadOnly(locked, true);
    EXPECT_FALSE(c.Save(locked.c_str(), false));
    EXPECT_EQ("Error trying to create/overwrite file " + locked, LastErrorBoxText());
    EXPECT_EQ("kept", ReadAll(locked));
    SetReadOnly(locked, false);
    fs::remove(locked);

    CMovieCollection reloaded;
    ASSERT_TRUE(reloaded.Load(recovery.c_str()));
    CMovie* movie = reloaded.GetMovieCopy(1);
    ASSERT_TRUE(movie != NULL);
    EXPECT_STREQ("Brazil (director's cut)", movie->m_title);
    reloaded.ReleaseMovieCopy(&movie);

    std::string path = PathOf("saved.vdb");
    ASSERT_TRUE(c.Save(path.c_str(), false));
    EXPECT_TRUE(c.IsSaved());
    EXPECT_EQ(path, c.GetFileName());
    c.ReleaseMovieCopy(&copy);
    EXPECT_EQ(2u, EntriesInDir());
}

TEST_F(DatabaseTest, FailedSaveLeavesTheOldFileAndNoLeftovers)
{
    CMovieCollection c;
    ASSERT_TRUE(c.Load(FixturePath(12).string().c_str()));
    CMovie movie;
    c.AddMovie(&movie, false);

    // A folder in the place of the target.
    fs::create_directory(m_dir / "target.vdb");
    Put("target.vdb.saving", "left by a killed save");
    std::string folder = PathOf("target.vdb");
    EXPECT_FALSE(c.Save(folder.c_str(), false));
    EXPECT_EQ("Error trying to create/overwrite file " + folder, LastErrorBoxText());
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_FALSE(fs::exists(folder + ".saving"));

    std::string nowhere = PathOf("missing/target.vdb");
    EXPECT_FALSE(c.Save(nowhere.c_str(), false));
    EXPECT_EQ("Error trying to create/overwrite file " + nowhere, LastErrorBoxText());
    EXPECT_FALSE(c.IsSaved());
    EXPECT_EQ(FixturePath(12).string(), c.GetFileName());

#ifdef _WIN32
    // A target held open by another program is not replaced.
    std::string locked = Put("locked.vdb", "old contents");
    HANDLE holder = CreateFileA(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                                OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    bool ok = c.Save(locked.c_str(), false);
    CloseHandle(holder);
    EXPECT_FALSE(ok);
    EXPECT_EQ("Error trying to create/overwrite file " + locked, LastErrorBoxText());
    EXPECT_EQ("old contents", ReadAll(locked));
    EXPECT_EQ(2u, EntriesInDir());
#else
    // Writing fails half way (a file size limit binds root too).
    std::string old = Put("old.vdb", "old contents");
    struct rlimit saved;
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &saved));
    struct rlimit small = saved;
    small.rlim_cur = 200;
    signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
    bool ok = c.Save(old.c_str(), false);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(ok);
    EXPECT_EQ("Unable to write to file", LastErrorBoxText());
    EXPECT_EQ("old contents", ReadAll(old));
    EXPECT_EQ(2u, EntriesInDir());
#endif
    EXPECT_FALSE(c.IsSaved());
}

// Whatever has the name "<target>.saving" is never written through: a
// read-only leftover goes, a link or a folder stays untouched.
TEST_F(DatabaseTest, NothingIsWrittenThroughTheSavingName)
{
    CMovieCollection c;
    ASSERT_TRUE(c.Load(FixturePath(12).string().c_str()));
    std::string path = PathOf("films.vdb"), saving = path + ".saving";
    std::string refused = "Error trying to create/overwrite file " + path;

    // Left read-only (a folder copied from a CD): it goes, and the saved
    // file is no read-only one that the next save would refuse.
    Put("films.vdb.saving", "left");
    SetReadOnly(saving, true);
    ASSERT_TRUE(c.Save(path.c_str(), false));
    EXPECT_FALSE(fs::exists(saving));
    ASSERT_TRUE(c.Save(path.c_str(), false));
    EXPECT_EQ(MakeFixture(12), ReadAll(path));

    // A link to a file elsewhere leaves that file alone. Windows programs
    // can't remove a link under Wine without its file: the save is refused.
    {
        fs::create_directory(m_dir / "elsewhere");
        std::string outside = Put("elsewhere/notes.txt", "outside");
        LinkRemover remover{ saving };
        ASSERT_TRUE(MakeLink(saving, outside));
        CMovie movie;
        c.AddMovie(&movie, false);
        bool saved = c.Save(path.c_str(), false);
        EXPECT_EQ("outside", ReadAll(outside));
#ifdef _WIN32
        EXPECT_FALSE(saved);
        EXPECT_EQ(refused, LastErrorBoxText());
        EXPECT_EQ(MakeFixture(12), ReadAll(path));
#else
        EXPECT_TRUE(saved);
#endif
    }

    // A folder of the name stays with what it holds; the save is refused.
    fs::create_directory(saving);
    Put("films.vdb.saving/inside", "kept");
    std::string before = ReadAll(path);
    EXPECT_FALSE(c.Save(path.c_str(), false));
    EXPECT_EQ(refused, LastErrorBoxText());
    EXPECT_EQ("kept", ReadAll(saving + "/inside"));
    EXPECT_EQ(before, ReadAll(path));
}

// A load that lost or mended records says where the original will go; the
// first save over it keeps it there byte for byte, under the first free
// name, and later saves replace as usual. No save leaves "<name>.saving".
TEST_F(DatabaseTest, DamagedOriginalIsKeptOnceBeforeItIsReplaced)
{
    NewestFile b(1, 2, 0, 0);
    b.Disc(0, { 7 }).Movie(0, {}).Raw("MOVIE").U32(1).Str("cut sho");
    std::string path = Put("movies.vdb", b.data);
    std::string older = Put("movies.vdb.damaged", "an older copy");
    CMovieCollection c;
    ASSERT_TRUE(c.Load(path.c_str()));
    EXPECT_EQ(kCorrupt + std::string("\n\n1 record(s) could not be read; 1 reference(s) to missing records were removed."
                                     "\n\nAt the next save the original file will be kept as ") +
                  path + ".damaged2.",
              LastErrorBoxText());

    // Saving elsewhere leaves the original alone, kept nowhere.
    std::string other = PathOf("other.vdb");
    ASSERT_TRUE(c.Save(other.c_str(), false));
    EXPECT_EQ(3u, EntriesInDir());

    // A save killed before it replaced the file left its "<name>.saving".
    Put("movies.vdb.saving", "left by a killed save");
    ASSERT_TRUE(c.Save(path.c_str(), false));
    EXPECT_EQ(b.data, ReadAll(path + ".damaged2"));
    EXPECT_EQ("an older copy", ReadAll(older));
    EXPECT_EQ(ReadAll(other), ReadAll(path));
    CMovie movie;
    c.AddMovie(&movie, false);
    ASSERT_TRUE(c.Save(path.c_str(), false));
    EXPECT_EQ(4u, EntriesInDir());

    // What was saved loads cleanly; a file loaded whole is never kept.
    int before = ErrorBoxCount();
    ASSERT_TRUE(c.Load(path.c_str()));
    EXPECT_EQ(before, ErrorBoxCount());
    ASSERT_TRUE(c.Save(path.c_str(), false));
    EXPECT_EQ(4u, EntriesInDir());

    // The crash copy is the program's own: no promise, no copy.
    std::string scratch = Put("saved.bak", b.data);
    SetScratchDatabasePath(scratch.c_str());
    ASSERT_TRUE(c.Load(scratch.c_str()));
    SetScratchDatabasePath(NULL);
    EXPECT_EQ(std::string::npos, LastErrorBoxText().find("kept as"));
    ASSERT_TRUE(c.Save(scratch.c_str(), true));
    ASSERT_TRUE(c.Save(scratch.c_str(), false));
    EXPECT_EQ(5u, EntriesInDir());

    // A reload replaces the earlier note: loaded twice and saved twice, the
    // original is kept once.
    std::string twice = Put("twice.vdb", b.data);
    ASSERT_TRUE(c.Load(twice.c_str()));
    ASSERT_TRUE(c.Load(twice.c_str()));
    ASSERT_TRUE(c.Save(twice.c_str(), false));
    ASSERT_TRUE(c.Save(twice.c_str(), false));
    EXPECT_EQ(b.data, ReadAll(twice + ".damaged"));
    EXPECT_FALSE(fs::exists(twice + ".damaged2"));

    // An original deleted before the save leaves nothing to keep.
    std::string gone = Put("gone.vdb", b.data);
    ASSERT_TRUE(c.Load(gone.c_str()));
    fs::remove(gone);
    EXPECT_TRUE(c.Save(gone.c_str(), false));
    EXPECT_EQ(ReadAll(twice), ReadAll(gone));
    EXPECT_FALSE(fs::exists(gone + ".damaged"));
}

// The promise of a kept original outlives a run that ends before the save:
// the crash copy's note names the damaged file the catalogue came from, and
// loading the crash copy (in a later run) takes the promise up again.
TEST_F(DatabaseTest, CrashCopyCarriesThePromiseOfAKeptOriginal)
{
    NewestFile b(1, 2, 0, 0);
    b.Disc(0, { 7 }).Movie(0, {}).Raw("MOVIE").U32(1).Str("cut sho");
    std::string scratch = PathOf("saved.bak");
    std::string note = scratch + ".original";
    SetScratchDatabasePath(scratch.c_str());

    std::string lossy = Put("lossy.vdb", b.data);
    CMovieCollection c;
    ASSERT_TRUE(c.Load(lossy.c_str()));
    ASSERT_TRUE(c.Save(scratch.c_str(), true));
    EXPECT_EQ(lossy, ReadAll(note));
    // The crash copy of a whole catalogue owes nothing.
    std::string clean = PathOf("clean.vdb");
    ASSERT_TRUE(c.Save(clean.c_str(), false));
    ASSERT_TRUE(c.Load(clean.c_str()));
    ASSERT_TRUE(c.Save(scratch.c_str(), true));
    EXPECT_FALSE(fs::exists(note));

    // As a later run finds them: a crash copy whose note names a file this
    // run never loaded.
    std::string earlier = Put("earlier.vdb", "the original of an earlier run");
    Put("saved.bak.original", earlier);
    CMovieCollection restored;
    ASSERT_TRUE(restored.Load(scratch.c_str()));
    ASSERT_TRUE(restored.Save(scratch.c_str(), true));
    EXPECT_EQ(earlier, ReadAll(note));
    ASSERT_TRUE(restored.Save(earlier.c_str(), false));
    EXPECT_EQ("the original of an earlier run", ReadAll(earlier + ".damaged"));
    ASSERT_TRUE(restored.Save(scratch.c_str(), true));
    EXPECT_FALSE(fs::exists(note));

    // A normal end takes the note with the crash copy.
    Put("saved.bak.original", earlier);
    DeleteScratchDatabase();
    SetScratchDatabasePath(NULL);
    EXPECT_FALSE(fs::exists(scratch));
    EXPECT_FALSE(fs::exists(note));
}

// A damaged file may repeat ids. Discs, movies and persons that repeat one
// keep their data under new ids (the movies in the order they had); a file
// that repeats one is dropped, as references can't tell the two apart. Each
// counts as damage, and every walk ends.
TEST_F(DatabaseTest, RepeatedIdsAreRepairedAndCountedAsDamage)
{
    NewestFile b(3, 50, 4, 2);
    b.Disc(1, { 0, 1 }, "A").Disc(1, {}, "B").Disc(2, { 2, 3 }, "C");  // the first repeats the next
    std::vector<std::string> titles;
    for (uint32_t i = 0; i < 50; i++) {
        titles.push_back("Movie " + std::to_string(i));
        b.Movie(i < 40 ? i : i - 10, i == 0 ? std::vector<uint32_t>{ 2, 3 } : std::vector<uint32_t>{},
                titles.back().c_str());
    }
    b.File(0).File(1).File(2, "first").File(2, "last");  // the last file repeats an id
    b.Person(0, { 35, 45 }, "Ann").Person(0, {}, "Bob");  // no movie 45 in the file
    std::string path = Put("repeated.vdb", b.data);

    CMovieCollection c;
    ASSERT_TRUE(c.Load(path.c_str()));
    EXPECT_EQ(kCorrupt + std::string("\n\n0 record(s) could not be read; 3 reference(s) to missing records were removed."
                                     " 12 record(s) repeating an id were given a new one."
                                     " 1 record(s) repeating an id were dropped."
                                     "\n\nAt the next save the original file will be kept as ") +
                  path + ".damaged.",
              LastErrorBoxText());
    EXPECT_FALSE(c.IsSaved());

    auto expectRepaired = [&](CMovieCollection& loaded) {
        EXPECT_EQ(3u, CountRecords(loaded, &CMovieCollection::GetNextIdOfDisc));
        EXPECT_EQ(50u, CountRecords(loaded, &CMovieCollection::GetNextIdOfMovie));
        EXPECT_EQ(3u, CountRecords(loaded, &CMovieCollection::GetNextIdOfFile));
        EXPECT_EQ(2u, CountRecords(loaded, &CMovieCollection::GetNextIdOfPerson));
        for (DWORD id = 0; id < 50; id++) {
            CMovie* movie = loaded.GetMovieCopy(id);
            ASSERT_TRUE(movie != NULL) << id;
            EXPECT_EQ(titles[id], movie->m_title);
            EXPECT_EQ(id == 0 ? std::vector<DWORD>{ 2 } : std::vector<DWORD>{}, movie->m_fileIds);
            loaded.ReleaseMovieCopy(&movie);
        }
        const char* discNames[] = { "A", "C", "B" };
        for (DWORD id = 1; id <= 3; id++) {
            CDisc* disc = loaded.GetDiscCopy(id);
            ASSERT_TRUE(disc != NULL) << id;
            EXPECT_STREQ(discNames[id - 1], disc->m_name);
            loaded.ReleaseDiscCopy(&disc);
        }
        CMovieFile* file = loaded.GetFileCopy(2);
        CPerson* ann = loaded.GetPersonCopy(0);
        CPerson* bob = loaded.GetPersonCopy(1);
        ASSERT_TRUE(file != NULL && ann != NULL && bob != NULL);
        EXPECT_STREQ("first", file->m_fileName);
        // The loan of 35 stays with the movie that id always found; the loan
        // of no movie does not go to the one that took the id 45.
        ASSERT_EQ(1u, ann->GetLoanCount());
        EXPECT_EQ(35u, ann->m_loans[0].m_movieId);
        EXPECT_STREQ("Bob", bob->m_name);
        loaded.ReleaseFileCopy(&file);
        loaded.ReleasePersonCopy(&ann);
        loaded.ReleasePersonCopy(&bob);
    };
    expectRepaired(c);

    // The save keeps the original; what it wrote loads cleanly.
    ASSERT_TRUE(c.Save(path.c_str(), false));
    EXPECT_EQ(b.data, ReadAll(path + ".damaged"));
    CMovieCollection again;
    int before = ErrorBoxCount();
    ASSERT_TRUE(again.Load(path.c_str()));
    EXPECT_EQ(before, ErrorBoxCount());
    EXPECT_TRUE(again.IsSaved());
    expectRepaired(again);

    // A repeated id alone is damage too, in every kind.
    const struct {
        NewestFile file;
        const char* said;
    } alone[] = {
        { NewestFile(2, 0, 0, 0).Disc(4, {}).Disc(4, {}), " 1 record(s) repeating an id were given a new one." },
        { NewestFile(0, 2, 0, 0).Movie(4, {}).Movie(4, {}), " 1 record(s) repeating an id were given a new one." },
        { NewestFile(0, 0, 2, 0).File(4).File(4), " 1 record(s) repeating an id were dropped." },
        { NewestFile(0, 0, 0, 2).Person(4, {}).Person(4, {}), " 1 record(s) repeating an id were given a new one." },
    };
    for (const auto& row : alone) {
        before = ErrorBoxCount();
        ASSERT_TRUE(c.Load(Put("alone.vdb", row.file.data).c_str()));
        EXPECT_EQ(before + 1, ErrorBoxCount()) << row.said;
        EXPECT_NE(std::string::npos, LastErrorBoxText().find(row.said)) << row.said;
        EXPECT_FALSE(c.IsSaved()) << row.said;
    }
}

// Handing back a copy that holds nothing new leaves a saved collection saved,
// also when a save already took the copy's changes in; a real change does not.
TEST_F(DatabaseTest, OnlyChangedCopiesClearTheSavedFlag)
{
    CMovieCollection c;
    ASSERT_TRUE(c.Load(FixturePath(12).string().c_str()));
    CMovie* early = c.GetMovieCopy(2);
    ASSERT_TRUE(early != NULL);
    StrSet(&early->m_title, "Taken in by the save");
    ASSERT_TRUE(c.Save(PathOf("saved.vdb").c_str(), false));
    ASSERT_TRUE(c.IsSaved());
    c.ReleaseMovieCopy(&early);
    EXPECT_TRUE(c.IsSaved());

    CMovie* copy = c.GetMovieCopy(1);
    ASSERT_TRUE(copy != NULL);
    c.ReleaseMovieCopy(&copy);
    EXPECT_EQ(nullptr, copy);
    EXPECT_TRUE(c.IsSaved());

    copy = c.GetMovieCopy(1);
    ASSERT_TRUE(copy != NULL);
    StrSet(&copy->m_title, "Changed");
    c.ReleaseMovieCopy(&copy);
    EXPECT_FALSE(c.IsSaved());
}

} // namespace
