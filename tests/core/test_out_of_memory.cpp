// Memory that runs out in the heap texts, a load or a save: the operation
// ends as a failure that says so, with the old state in memory and on disc,
// or it runs through whole. Each sweep fails the 1st, 2nd, ... allocation of
// the operation until one runs through without meeting the switch, which
// only the Windows test build has.
#if defined(_WIN32) && defined(VISTREL_TEST_BUILD)

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <new>
#include <string>

#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/SmallBlockHeap.h"
#include "core/StrUtil.h"

namespace fs = std::filesystem;

namespace {

const char kOutOfMemory[] = "Out of memory.";

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs the operation with the nth allocation failing, every fourth n every
// later one too; true when the switch was met.
bool FailingNth(long nth, const std::function<void()>& operation)
{
    FailAllocationForTest(nth, nth % 4 == 0);
    operation();
    bool met = AllocationFailedForTest();
    FailAllocationForTest(0);
    return met;
}

class OutOfMemoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() / ("vdb-oom-" + std::to_string(_getpid()) + "-" + info->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        fs::copy_file(fs::path(VISTREL_TEST_DATA) / ".." / ".." / "samples" / "demo.vdb", PathOf("demo.vdb"));
        SetErrorBoxRecording(true);
    }
    void TearDown() override
    {
        SetErrorBoxRecording(false);
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
    std::string PathOf(const char* name) { return (m_dir / name).string(); }
    // The bytes a silent save of the catalogue writes.
    std::string Bytes(CMovieCollection& c)
    {
        EXPECT_TRUE(c.Save(PathOf("snapshot.vdb").c_str(), true));
        return ReadAll(PathOf("snapshot.vdb"));
    }

    fs::path m_dir;
};

// A heap text keeps its old text and the failure is thrown; a failure box
// still tells, in place of a text it has no memory for.
TEST_F(OutOfMemoryTest, HeapTextsThrowAndKeepTheOldText)
{
    const std::function<void(char**)> changes[] = {
        [](char** t) { StrSet(t, "new"); },         [](char** t) { StrAppend(t, "new"); },
        [](char** t) { StrAssignN(t, "new", 2); },  [](char** t) { StrAppendFormat(t, "%d", 5); },
        [](char** t) { StrReplace(t, "ol", "new"); },
    };
    for (const std::function<void(char**)>& change : changes) {
        char* text = NULL;
        StrSet(&text, "old");
        EXPECT_THROW(FailingNth(1, [&] { change(&text); }), std::bad_alloc);
        FailAllocationForTest(0);
        EXPECT_STREQ("old", text);
        free(text);
    }
    std::string longText(100, 'x');
    FailingNth(1, [&] { ShowError(0, "%s", longText.c_str()); });
    EXPECT_EQ(kOutOfMemory, LastErrorBoxText());
}

TEST_F(OutOfMemoryTest, LoadIsWholeOrFailsLeavingTheOpenCatalogue)
{
    std::string demo = PathOf("demo.vdb"), before = PathOf("before.vdb");
    CMovieCollection reference;
    ASSERT_TRUE(reference.Load(demo.c_str()));
    const std::string complete = Bytes(reference);
    CMovieCollection c;
    CMovie movie;
    StrSet(&movie.m_title, "Open before");
    c.AddMovie(&movie, false);
    ASSERT_TRUE(c.Save(before.c_str(), false));
    ASSERT_TRUE(c.Load(before.c_str()));

    long n = 1;
    for (bool loaded = false; FailingNth(n, [&] { loaded = c.Load(demo.c_str()); }) && !HasFailure(); n++) {
        if (loaded) {  // a failure the loader could do without
            EXPECT_TRUE(complete == Bytes(c)) << "allocation " << n;
            ASSERT_TRUE(c.Load(before.c_str()));
            continue;
        }
        EXPECT_EQ(kOutOfMemory, LastErrorBoxText()) << "allocation " << n;
        EXPECT_TRUE(c.GetMovieCount() == 1 && c.GetFileName() == before && c.IsSaved()) << "allocation " << n;
    }
    EXPECT_GT(n, 100);
    EXPECT_TRUE(complete == Bytes(c));
    // No failed load took the file for a damaged one: replacing it keeps no copy.
    ASSERT_TRUE(c.Save(demo.c_str(), false));
    EXPECT_FALSE(fs::exists(demo + ".damaged"));
}

// A title and a cast list changed in a copy that is still out, as an open
// dialog holds it, are saved whole, or the old file stays, no saving file is
// left, the catalogue is unsaved and the next save works.
TEST_F(OutOfMemoryTest, SaveIsWholeOrLeavesTheOldFileAndAFailureThatSays)
{
    std::string demo = PathOf("demo.vdb"), target = PathOf("target.vdb");
    const std::string original = ReadAll(demo);
    CMovieCollection c;
    CMovie* copy = NULL;
    DWORD id = 0;  // the demo's first movie has a cast
    std::string oldTitle;
    size_t oldCast = 0;
    auto prepare = [&] {
        fs::remove(target);
        fs::copy_file(demo, target);
        ASSERT_TRUE(c.Load(target.c_str()));
        copy = c.GetMovieCopy(id);
        ASSERT_TRUE(copy != NULL && copy->m_imdbInfo && !copy->m_imdbInfo->m_cast.empty());
        oldTitle = copy->m_title;
        oldCast = copy->m_imdbInfo->m_cast.size();
        StrSet(&copy->m_title, "A changed title");
        copy->m_imdbInfo->AddCastEntry("A new actor", "A new part");
    };
    prepare();
    ASSERT_TRUE(c.Save(target.c_str(), false));
    c.ReleaseMovieCopy(&copy);
    const std::string expected = ReadAll(target);
    ASSERT_NE(std::string::npos, expected.find("A new part"));

    long n = 1;
    for (bool saved = false;; n++) {
        prepare();
        bool met = FailingNth(n, [&] { saved = c.Save(target.c_str(), false); });
        EXPECT_FALSE(fs::exists(target + ".saving")) << "allocation " << n;
        if (!saved) {
            EXPECT_EQ(kOutOfMemory, LastErrorBoxText()) << "allocation " << n;
            EXPECT_TRUE(original == ReadAll(target)) << "allocation " << n;
            EXPECT_FALSE(c.IsSaved()) << "allocation " << n;
            // The stored movie is the old one or the changed one, never a mix.
            c.ReadMovie(id, [&](const CMovie& m) {
                size_t cast = m.m_imdbInfo->m_cast.size();
                EXPECT_TRUE((oldTitle == m.m_title && cast == oldCast) ||
                            (std::string("A changed title") == m.m_title && cast == oldCast + 1))
                    << "allocation " << n;
            });
            EXPECT_TRUE(c.Save(target.c_str(), false)) << "allocation " << n;
        }
        EXPECT_TRUE(expected == ReadAll(target) && c.IsSaved()) << "allocation " << n;
        c.ReleaseMovieCopy(&copy);
        if (!met || HasFailure())
            break;
    }
    EXPECT_GT(n, 20);
    CMovieCollection reread;
    ASSERT_TRUE(reread.Load(target.c_str()));
    EXPECT_TRUE(expected == Bytes(reread));
}

} // namespace

#endif
