// The export of the demo catalogue with one allocation failing, at every
// allocation of the run in turn (and every later one too for a share of
// them): each run ends with the whole result, byte for byte that of a run
// without the switch, or as a failure that says so and leaves the files as
// they were before it, with no part of a new file and no handle open.
#ifdef _WIN32

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <new>
#include <string>

#include "ProgramRun.h"
#include "TestFiles.h"
#include "TokenFixture.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/SmallBlockHeap.h"
#include "export/ExportPaths.h"
#include "export/ExportWriter.h"
#include "export/ScriptFiles.h"

namespace {

// File name (below the run's folder) and bytes.
typedef std::map<std::string, std::string> Files;

Files FilesBelow(const std::string& folder, const std::string& prefix = "")
{
    Files files;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return files;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            Files inner = FilesBelow(folder + "\\" + name, prefix + name + "\\");
            files.insert(inner.begin(), inner.end());
        } else {
            files[prefix + name] = ReadAll(folder + "\\" + name);
        }
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return files;
}

// Empties the folders and writes the files.
void Lay(const std::string& folder, const Files& files)
{
    for (const auto& file : FilesBelow(folder))
        ::DeleteFileA((folder + "\\" + file.first).c_str());
    for (const auto& file : files) {
        FILE* out = fopen((folder + "\\" + file.first).c_str(), "wb");
        ASSERT_TRUE(out != NULL) << file.first;
        fwrite(file.second.data(), 1, file.second.size(), out);
        fclose(out);
    }
}

// A file that is open can't be renamed: each one is renamed and back.
bool NoneOpen(const std::string& folder, const Files& files)
{
    for (const auto& file : files) {
        std::string path = folder + "\\" + file.first;
        if (!::MoveFileA(path.c_str(), (path + ".moved").c_str()) ||
            !::MoveFileA((path + ".moved").c_str(), path.c_str()))
            return false;
    }
    return true;
}

class ExportMemoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorBoxRecording(true);
        ASSERT_TRUE(theCollection.Load(WindowsPath(std::string(VISTREL_SOURCE_DIR) + "/samples/demo.vdb").c_str()));
        folder = TestTempPath("export-memory");
        ASSERT_TRUE(CreatePath((folder + "\\covers").c_str()));
        std::string shipped = WindowsPath(std::string(VISTREL_SOURCE_DIR) + "/resources/scripts/template-script/");
        ASSERT_TRUE(LoadThreePartScriptFile((shipped + "big.vsc").c_str(), false, &job.bigScripts));
        job.outputFile = folder + "\\movies.html";
        job.coverFolder = folder + "\\covers\\";
        job.coverPrefix = "covers/";
        job.noCoverName = "no_pic.gif";
        job.noCoverBytes = {'G', 'I', 'F', '8', '9', 'a'};
    }
    void TearDown() override
    {
        FailAllocationForTest(0);
        Lay(folder, Files());
        ::RemoveDirectoryA((folder + "\\covers").c_str());
        ::RemoveDirectoryA(folder.c_str());
        theCollection.Clear();
    }

    std::string folder;
    ExportJob job;
};

} // namespace

// An expansion with one allocation failing is the whole expansion, or fails
// and leaves the text as it was: never a token expanded to nothing, never a
// text left unexpanded as if it were the result.
TEST_F(TokenTest, AnExpansionIsWholeOrFails)
{
    const char* text = "%movie_name %movie_file1_path %movie_file2_info %movie_is_borrowed_by "
                       "%movie_length_only_min %movie_video_frames %movies_total_seen %movie_audio_rate_k";
    std::string whole = Expand(text, &full);
    EXPECT_EQ("The Matrix \\movies\\a.avi --- no info --- Anna 90 135000 1 44.100002", whole);
    int failures = 0;
    for (long n = 1;; n++) {
        char* work = NULL;
        StrSet(&work, text);
        FailAllocationForTest(n, n % 3 == 0);
        bool threw = false;
        size_t consumed = 0;
        char* path = NULL;
        try {
            ExpandScriptTokens(&work, &full, -1, NULL, NULL);
            path = ExpandScriptToken("%movie_file1_path", &consumed, &full, -1, NULL, NULL, false);
        } catch (const std::bad_alloc&) {
            threw = true;
        }
        bool met = AllocationFailedForTest();
        FailAllocationForTest(0);
        std::string result = work;
        std::string value = path != NULL ? path : "(none)";
        free(work);
        free(path);
        if (!met) {
            EXPECT_EQ(whole, result);
            break;
        }
        if (threw) {
            failures++;
            EXPECT_TRUE(result == text || result == whole) << result << " at " << n;
        } else {
            EXPECT_EQ(whole, result) << "at " << n;
            EXPECT_EQ("\\movies\\a.avi", value) << "at " << n;
        }
        if (HasFailure())
            break;
    }
    EXPECT_GT(failures, 0);
}

// The big list and the covers of the demo catalogue over a list and a
// cover of an earlier run.
TEST_F(ExportMemoryTest, TheFilesAreWholeOrAsTheyWere)
{
    auto run = [&] { return WriteBigList(job, NULL) && WriteCovers(job, NULL); };
    Lay(folder, Files());
    ASSERT_TRUE(run());
    Files whole = FilesBelow(folder);
    ASSERT_EQ(52u, whole.size());
    Files before = {{"movies.html", "the last run's list"},
                    {"covers\\" + FilesBelow(folder + "\\covers").begin()->first, "an old cover"}};
    int failures = 0;
    for (long n = 1;; n++) {
        Lay(folder, before);
        int boxes = ErrorBoxCount();
        FailAllocationForTest(n, n % 5 == 0);
        bool goOn = run();
        bool met = AllocationFailedForTest();
        FailAllocationForTest(0);
        Files after = FilesBelow(folder);
        if (!met) {
            EXPECT_TRUE(goOn && after == whole) << "without the switch at " << n;
            break;
        }
        ASSERT_LT(n, 100000);
        if (after == whole)
            continue;  // met where a failure costs nothing (a buffer, say)
        // Each file is as the whole run writes it or as it was before, and
        // none is open.
        for (const auto& file : after) {
            bool fromRun = whole.count(file.first) && whole[file.first] == file.second;
            bool fromBefore = before.count(file.first) && before.at(file.first) == file.second;
            EXPECT_TRUE(fromRun || fromBefore) << file.first << " at " << n;
        }
        for (const auto& file : before)
            EXPECT_TRUE(after.count(file.first)) << file.first << " gone at " << n;
        EXPECT_TRUE(NoneOpen(folder, after)) << "at " << n;
        // The failure was told.
        EXPECT_FALSE(goOn) << "at " << n;
        EXPECT_LT(boxes, ErrorBoxCount()) << "at " << n;
        std::string told = LastErrorBoxText();
        EXPECT_TRUE(told == "Out of memory." || told == "Unable to create file" ||
                    told.compare(0, 26, "Error creating cover file ") == 0)
            << told << " at " << n;
        failures++;
        if (HasFailure())
            break;
    }
    EXPECT_GT(failures, 0);
}

#endif
