// The repair of a loaded catalogue's ids, through files that repeat ids or
// name files twice, and the walk over ids in order.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include "core/ErrorBox.h"
#include "core/IdOrder.h"
#include "core/MovieCollection.h"
#include "VdbBytes.h"

namespace fs = std::filesystem;

namespace {

const char kRemoved[] = " reference(s) to missing records were removed.";
const char kRenumbered[] = " record(s) repeating an id were given a new one.";
const char kDropped[] = " record(s) repeating an id were dropped.";

class IdRepairTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorBoxRecording(true);
        // Named for the process too: other test runs may share the folder.
        m_dir = fs::temp_directory_path() /
                ("ids-" + std::to_string(getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Loads the bytes and returns the one message the load showed, empty
    // when it showed none.
    std::string Load(CMovieCollection& c, const Bytes& file, const char* name = "ids.vdb")
    {
        std::string path = (m_dir / name).string();
        std::ofstream(path, std::ios::binary | std::ios::trunc) << file.data;
        int before = ErrorBoxCount();
        EXPECT_TRUE(c.Load(path.c_str()));
        EXPECT_GE(before + 1, ErrorBoxCount());
        return ErrorBoxCount() > before ? LastErrorBoxText() : std::string();
    }

    fs::path m_dir;
};

// The part of the message after what could not be read.
std::string RepairText(const std::string& message)
{
    const std::string read = " could not be read; ";
    size_t from = message.find(read);
    if (from == std::string::npos)
        return message;
    from += read.size();
    return message.substr(from, message.find("\n\nAt the next save") - from);
}

std::string TitleOf(CMovieCollection& c, DWORD id)
{
    CMovie* movie = c.GetMovieCopy(id);
    std::string title = movie != NULL && movie->m_title != NULL ? movie->m_title : "(none)";
    c.ReleaseMovieCopy(&movie);
    return title;
}

std::vector<DWORD> MovieFiles(CMovieCollection& c, DWORD id)
{
    CMovie* movie = c.GetMovieCopy(id);
    std::vector<DWORD> ids = movie != NULL ? movie->m_fileIds : std::vector<DWORD>{ NO_ID };
    c.ReleaseMovieCopy(&movie);
    return ids;
}

std::vector<DWORD> DiscFiles(CMovieCollection& c, DWORD id)
{
    CDisc* disc = c.GetDiscCopy(id);
    std::vector<DWORD> ids = disc != NULL ? disc->m_fileIds : std::vector<DWORD>{ NO_ID };
    c.ReleaseDiscCopy(&disc);
    return ids;
}

std::vector<DWORD> Ids(CMovieCollection& c, DWORD (CMovieCollection::*next)(DWORD))
{
    std::vector<DWORD> ids;
    for (DWORD id = (c.*next)(NO_ID); id != NO_ID && ids.size() < 100; id = (c.*next)(id))
        ids.push_back(id);
    return ids;
}

// A file id held by several movies or discs, or twice by one, stays with the
// first of them; the other references go and are counted with the rest.
TEST_F(IdRepairTest, EachFileStaysWithItsFirstMovieAndDisc)
{
    // Two files of one id: the later one is dropped, and so are the second
    // movie's and the second disc's references, which meant it.
    NewestFile two(2, 2, 2, 0);
    two.Disc(0, { 0 }).Disc(1, { 0 }).Movie(0, { 0 }, "Alpha").Movie(1, { 0 }, "Bravo");
    two.File(0, "ALPHA.AVI").File(0, "BRAVO.AVI");
    CMovieCollection c;
    EXPECT_EQ(std::string("2") + kRemoved + " 1" + kDropped, RepairText(Load(c, two)));
    EXPECT_EQ(std::vector<DWORD>{ 0 }, MovieFiles(c, 0));
    EXPECT_EQ(std::vector<DWORD>{}, MovieFiles(c, 1));
    EXPECT_EQ(std::vector<DWORD>{ 0 }, DiscFiles(c, 0));
    EXPECT_EQ(std::vector<DWORD>{}, DiscFiles(c, 1));
    CMovieFile* file = c.GetFileCopy(0);
    ASSERT_TRUE(file != NULL);
    EXPECT_STREQ("ALPHA.AVI", file->m_fileName);
    c.ReleaseFileCopy(&file);
    // Removing the file leaves no reference behind: what is saved loads
    // without a word.
    c.RemoveFile(0);
    std::string saved = (m_dir / "saved.vdb").string();
    ASSERT_TRUE(c.Save(saved.c_str(), false));
    int before = ErrorBoxCount();
    ASSERT_TRUE(c.Load(saved.c_str()));
    EXPECT_EQ(before, ErrorBoxCount()) << LastErrorBoxText();

    // Three files of one id in five movie lists, one of them twice, and on
    // three discs; a movie repeating an id comes after the one that keeps
    // it; the other ids of each list keep their order.
    NewestFile three(3, 6, 5, 0);
    three.Disc(0, { 6, 5 }).Disc(1, { 5, 7 }).Disc(2, { 5 });
    three.Movie(0, { 7, 5, 5 }).Movie(1, { 5, 8 }).Movie(2, { 5 }).Movie(3, { 5 });
    three.Movie(4, { 6 }, "first").Movie(4, { 6, 9 }, "repeats 4");
    three.File(5, "a").File(5, "b").File(5, "c").File(6).File(7);
    EXPECT_EQ(std::string("9") + kRemoved + " 1" + kRenumbered + " 2" + kDropped,
              RepairText(Load(c, three)));
    EXPECT_EQ((std::vector<DWORD>{ 7, 5 }), MovieFiles(c, 0));
    EXPECT_EQ(std::vector<DWORD>{}, MovieFiles(c, 1));
    EXPECT_EQ(std::vector<DWORD>{}, MovieFiles(c, 2));
    EXPECT_EQ(std::vector<DWORD>{}, MovieFiles(c, 3));
    EXPECT_EQ(std::vector<DWORD>{ 6 }, MovieFiles(c, 4));
    EXPECT_EQ(std::vector<DWORD>{}, MovieFiles(c, 5));
    EXPECT_EQ((std::vector<DWORD>{ 6, 5 }), DiscFiles(c, 0));
    EXPECT_EQ(std::vector<DWORD>{ 7 }, DiscFiles(c, 1));
    EXPECT_EQ(std::vector<DWORD>{}, DiscFiles(c, 2));
}

// A record repeating an id near the top of the range takes any free id, the
// gaps below the first record included; loans of every person that repeats
// an id are checked like the first one's.
TEST_F(IdRepairTest, RepeatedIdsAtTheTopTakeFreeIdsBelow)
{
    NewestFile top(0, 3, 0, 3);
    top.Movie(0xFFFFFFF3, {}, "F3").Movie(0xFFFFFFF4, {}, "F4").Movie(0xFFFFFFF4, {}, "F4 again");
    top.Person(0xFFFFFFFE, { 0xFFFFFFF3, 50 }, "Ann");
    top.Person(0xFFFFFFFE, { 0xFFFFFFF4, 60 }, "Bob");
    top.Person(0xFFFFFFFE, {}, "Cy");
    CMovieCollection c;
    EXPECT_EQ(std::string("2") + kRemoved + " 3" + kRenumbered, RepairText(Load(c, top)));
    EXPECT_EQ((std::vector<DWORD>{ 0, 0xFFFFFFF3, 0xFFFFFFF4 }), Ids(c, &CMovieCollection::GetNextIdOfMovie));
    EXPECT_EQ((std::vector<DWORD>{ 0, 1, 0xFFFFFFFE }), Ids(c, &CMovieCollection::GetNextIdOfPerson));
    const char* names[] = { "Bob", "Cy", "Ann" };
    const std::vector<DWORD> loans[] = { { 0xFFFFFFF4 }, {}, { 0xFFFFFFF3 } };
    DWORD id = NO_ID;
    for (int i = 0; i < 3; i++) {
        id = c.GetNextIdOfPerson(id);
        CPerson* person = c.GetPersonCopy(id);
        ASSERT_TRUE(person != NULL);
        EXPECT_STREQ(names[i], person->m_name);
        std::vector<DWORD> movies;
        for (const CLoan& loan : person->m_loans)
            movies.push_back(loan.m_movieId);
        EXPECT_EQ(loans[i], movies) << names[i];
        c.ReleasePersonCopy(&person);
    }
    EXPECT_EQ("F4 again", TitleOf(c, 0));

    // Just below the limit the ids after the last come first, then the
    // gaps; the records stay in id order either way.
    NewestFile below(0, 4, 0, 0);
    below.Movie(0xFFFFFFF2, {}, "F2").Movie(0xFFFFFFF3, {}, "F3");
    below.Movie(0xFFFFFFF3, {}, "again").Movie(0xFFFFFFF3, {}, "third");
    EXPECT_EQ(std::string("0") + kRemoved + " 2" + kRenumbered, RepairText(Load(c, below)));
    EXPECT_EQ((std::vector<DWORD>{ 0, 0xFFFFFFF2, 0xFFFFFFF3, 0xFFFFFFF4 }),
              Ids(c, &CMovieCollection::GetNextIdOfMovie));
    EXPECT_EQ("again", TitleOf(c, 0));
    EXPECT_EQ("third", TitleOf(c, 0xFFFFFFF4));
}

// Once the last id is at the limit, the free ids are still handed out in one
// pass: 160,000 discs repeating id 0 beside one at 0xFFFFFFF4 load in well
// under a second, where a search from the start for each would take many
// minutes.
TEST_F(IdRepairTest, ManyRepeatedIdsAtTheLimitLoadInOnePass)
{
    const uint32_t repeats = 160000;
    NewestFile discs(repeats + 1, 0, 0, 0);
    for (uint32_t i = 0; i < repeats; i++)
        discs.Disc(0, {});
    discs.Disc(0xFFFFFFF4, {}, "top");
    CMovieCollection c;
    EXPECT_EQ("0" + std::string(kRemoved) + " " + std::to_string(repeats - 1) + kRenumbered,
              RepairText(Load(c, discs)));
    ASSERT_EQ(repeats + 1, c.GetDiscCount());
    EXPECT_EQ(repeats - 1, c.GetNextIdOfDisc(repeats - 2));
    EXPECT_EQ(0xFFFFFFF4u, c.GetNextIdOfDisc(repeats - 1));
}

// The walk over ids steps past every record of an equal id.
TEST(IdOrder, WalkStepsPastEqualIds)
{
    std::vector<std::unique_ptr<CMovie>> list;
    for (DWORD id : { 1u, 3u, 3u, 3u, 7u, 0xFFFFFFFEu, 0xFFFFFFFEu })
        list.emplace_back(new CMovie(id));
    std::vector<DWORD> walk;
    for (DWORD id = NextId(list, NO_ID); id != NO_ID && walk.size() < 10; id = NextId(list, id))
        walk.push_back(id);
    EXPECT_EQ((std::vector<DWORD>{ 1, 3, 7, 0xFFFFFFFE }), walk);
    EXPECT_EQ(3u, NextId(list, 2));
    EXPECT_EQ(NO_ID, NextId(std::vector<std::unique_ptr<CMovie>>(), NO_ID));
}

} // namespace
