// Memory that runs out in the heap texts, a load or a save: the operation
// ends as a failure that says so, with the old state in memory and on disc,
// or it runs through whole. Each sweep fails the 1st, 2nd, ... allocation of
// the operation until one runs through without meeting the switch, which
// only the Windows test build has.
#if defined(_WIN32) && defined(VISTREL_TEST_BUILD)

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <sstream>
#include <string>

#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/SmallBlockHeap.h"
#include "core/StrUtil.h"

namespace fs = std::filesystem;

namespace {

const char kOutOfMemory[] = "Out of memory.";

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteAll(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

// Runs the operation with the nth allocation failing. True when the switch
// was met. (With every later allocation failing too, this runtime can't
// even allocate the exception that reports the failure.)
bool FailingNth(long nth, const std::function<void()>& operation)
{
    FailAllocationForTest(nth);
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
        m_dir = fs::temp_directory_path() / (std::string("vdb-oom-") + std::to_string(_getpid()) + "-" + info->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_demo = (m_dir / "demo.vdb").string();
        fs::copy_file(fs::path(VISTREL_TEST_DATA) / ".." / ".." / "samples" / "demo.vdb", m_demo);
        SetErrorBoxRecording(true);
    }
    void TearDown() override
    {
        FailAllocationForTest(0);
        SetErrorBoxRecording(false);
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
    std::string PathOf(const char* name) { return (m_dir / name).string(); }
    // The bytes a silent save of the catalogue writes.
    std::string Bytes(CMovieCollection& c)
    {
        std::string path = PathOf("snapshot.vdb");
        EXPECT_TRUE(c.Save(path.c_str(), true));
        return ReadAll(path);
    }

    fs::path m_dir;
    std::string m_demo;
};

// Every helper keeps the old text and throws; none answers an empty text.
TEST_F(OutOfMemoryTest, HeapTextsThrowAndKeepTheOldText)
{
    const std::function<void(char**)> changes[] = {
        [](char** t) { StrSet(t, "new"); },
        [](char** t) { StrAssign(t, "new"); },
        [](char** t) { StrAppend(t, "new"); },
        [](char** t) { StrAssignN(t, "new", 2); },
        [](char** t) { StrAppendN(t, "new", 2); },
        [](char** t) { StrAppendFormat(t, "%d", 5); },
        [](char** t) { StrReplace(t, "ol", "new"); },  // nothing to replace in no text
    };
    const size_t count = sizeof changes / sizeof changes[0];
    for (size_t i = 0; i < count; i++) {
        for (bool empty : { false, true }) {
            if (empty && i == count - 1)
                continue;
            char* text = NULL;
            if (!empty)
                StrSet(&text, "old");
            bool threw = false;
            FailAllocationForTest(1);
            try {
                changes[i](&text);
            } catch (const std::bad_alloc&) {
                threw = true;
            }
            FailAllocationForTest(0);
            EXPECT_TRUE(threw) << "change " << i;
            EXPECT_STREQ(empty ? NULL : "old", text) << "change " << i;
            free(text);
        }
    }
    // A failure box still tells, in place of a text it has no memory for.
    std::string longText(100, 'x');
    FailAllocationForTest(1);
    ShowError(0, "%s", longText.c_str());
    FailAllocationForTest(0);
    EXPECT_EQ(kOutOfMemory, LastErrorBoxText());

    // With memory enough they work as ever.
    char* text = NULL;
    StrAppendFormat(&text, "%s-%d", "a", 1);
    EXPECT_STREQ("a-1", text);
    free(text);
}

TEST_F(OutOfMemoryTest, LoadIsWholeOrFailsLeavingTheOpenCatalogue)
{
    CMovieCollection reference;
    ASSERT_TRUE(reference.Load(m_demo.c_str()));
    const std::string complete = Bytes(reference);
    ASSERT_GT(reference.GetMovieCount(), 10u);

    // The catalogue that is open while the loads fail.
    CMovieCollection c;
    CMovie movie;
    StrSet(&movie.m_title, "Open before");
    c.AddMovie(&movie, false);
    std::string before = PathOf("before.vdb");
    ASSERT_TRUE(c.Save(before.c_str(), false));
    ASSERT_TRUE(c.Load(before.c_str()));

    auto loadFails = [&](long n) {
        bool loaded = true;
        if (!FailingNth(n, [&] { loaded = c.Load(m_demo.c_str()); }))
            return false;
        if (loaded) {
            // A failure the loader could do without.
            EXPECT_TRUE(complete == Bytes(c)) << "allocation " << n;
            EXPECT_TRUE(c.Load(before.c_str()));
            return true;
        }
        EXPECT_EQ(kOutOfMemory, LastErrorBoxText()) << "allocation " << n;
        EXPECT_EQ(1u, c.GetMovieCount()) << "allocation " << n;
        EXPECT_EQ(before, c.GetFileName()) << "allocation " << n;
        EXPECT_TRUE(c.IsSaved()) << "allocation " << n;
        bool same = c.ReadMovie(c.GetNextIdOfMovie(NO_ID), [](const CMovie& m) {
            EXPECT_STREQ("Open before", m.m_title);
        });
        EXPECT_TRUE(same);
        return true;
    };
    long n = 1;
    while (loadFails(n) && !HasFailure())
        n++;
    EXPECT_GT(n, 100);
    EXPECT_TRUE(complete == Bytes(c));

    // No failed load took the file for a damaged one: replacing it keeps
    // no copy.
    ASSERT_TRUE(c.Save(m_demo.c_str(), false));
    EXPECT_FALSE(fs::exists(m_demo + ".damaged"));
}

TEST_F(OutOfMemoryTest, SaveIsWholeOrLeavesTheOldFileAndAFailureThatSays)
{
    const std::string original = ReadAll(m_demo);
    std::string target = PathOf("target.vdb");

    // Loads the catalogue and changes a title and a cast list in a copy
    // that is still out, as an open dialog holds it.
    CMovieCollection c;
    CMovie* copy = NULL;
    DWORD id = NO_ID;
    std::string oldTitle;
    size_t oldCast = 0;
    auto prepare = [&] {
        WriteAll(target, original);
        ASSERT_TRUE(c.Load(target.c_str()));
        id = c.GetNextIdOfMovie(NO_ID);
        while (id != NO_ID) {
            copy = c.GetMovieCopy(id);
            if (copy->m_imdbInfo && !copy->m_imdbInfo->m_cast.empty())
                break;
            c.ReleaseMovieCopy(&copy);
            id = c.GetNextIdOfMovie(id);
        }
        ASSERT_TRUE(copy != NULL);
        oldTitle = copy->m_title;
        oldCast = copy->m_imdbInfo->m_cast.size();
        StrSet(&copy->m_title, "A changed title");
        copy->m_imdbInfo->AddCastEntry("A new actor", "A new part");
    };
    prepare();
    ASSERT_TRUE(c.Save(target.c_str(), false));
    c.ReleaseMovieCopy(&copy);
    const std::string expected = ReadAll(target);
    ASSERT_NE(original, expected);
    ASSERT_NE(std::string::npos, expected.find("A changed title"));
    ASSERT_NE(std::string::npos, expected.find("A new part"));

    auto saveFails = [&](long n) {
        prepare();
        bool saved = true;
        bool met = FailingNth(n, [&] { saved = c.Save(target.c_str(), false); });
        EXPECT_FALSE(fs::exists(target + ".saving")) << "allocation " << n;
        if (saved) {
            EXPECT_TRUE(expected == ReadAll(target)) << "allocation " << n << " " << ErrorBoxCount() << LastErrorBoxText();
            EXPECT_TRUE(c.IsSaved());
        } else {
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
            // The next save in the same run works.
            EXPECT_TRUE(c.Save(target.c_str(), false)) << "allocation " << n;
            EXPECT_TRUE(expected == ReadAll(target)) << "allocation " << n;
        }
        c.ReleaseMovieCopy(&copy);
        return met;
    };
    long n = 1;
    while (saveFails(n) && !HasFailure())
        n++;
    EXPECT_GT(n, 20);

    // What the last save wrote reads back the same.
    CMovieCollection reread;
    ASSERT_TRUE(reread.Load(target.c_str()));
    EXPECT_TRUE(expected == Bytes(reread));
}

} // namespace

#endif
