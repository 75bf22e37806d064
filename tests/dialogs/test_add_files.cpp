// Adding chosen files by their paths, on the drives of the test prefix:
// discs reused by kind and letter, one disc per drive and run, placement
// into movies, and the paths that are refused.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "app/FileAdder.h"
#include "core/Disc.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"

namespace {

// Makes a file in one of the drive folders and gives its Windows path.
std::string MakeFile(const char* drive, const char* folder, const char* name)
{
    std::string unixPath = std::string(VISTREL_SCAN_DRIVES) + "/" + folder + "/" + name;
    FILE* f = fopen(unixPath.c_str(), "wb");
    if (f != nullptr) {
        fputs("media", f);
        fclose(f);
    }
    return std::string(drive) + ":\\" + name;
}

bool Add(std::vector<std::string> paths, bool* added = nullptr)
{
    bool any = false;
    bool ok = AddFilePaths(paths, nullptr, &any);
    if (added != nullptr)
        *added = any;
    return ok;
}

class AddFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        theCollection.Clear();
        profile.SetInt("movie_name", "always", 0);
        profile.SetInt("movie_name", "severe", 0);
    }
    void TearDown() override { theCollection.Clear(); }
    ScopedProfile profile{"AddFiles"};
};

} // namespace

TEST_F(AddFilesTest, DiscsByKindAndLetterAndMoviesByPlacement)
{
    std::string one = MakeFile("h", "fixed", "Heist cd1.avi");
    std::string two = MakeFile("h", "fixed", "Heist cd2.avi");
    std::string large = MakeFile("h", "fixed", "Heist_640.avi");
    std::string shared = MakeFile("n", "network", "Shared.avi");
    bool added = false;
    ASSERT_TRUE(Add({one, two}, &added));
    EXPECT_TRUE(added);
    EXPECT_EQ(1u, theCollection.GetDiscCount());
    EXPECT_EQ(1u, theCollection.GetMovieCount());
    // The stored disc of h: serves later files; another size gets its own
    // movie; the network drive gets a disc of its own.
    ASSERT_TRUE(Add({large, shared}));
    EXPECT_EQ(2u, theCollection.GetDiscCount());
    EXPECT_EQ(3u, theCollection.GetMovieCount());

    // Three files of the CD-ROM make one disc, asked about once.
    int boxes = ErrorBoxCount();
    ASSERT_TRUE(Add({"m:\\MOVIE.AVI", "m:\\Clip.DivX", "m:\\trailer.asf"}));
    EXPECT_EQ(3u, theCollection.GetDiscCount());
    EXPECT_EQ(boxes, ErrorBoxCount());
    CDisc* disc = theCollection.GetDiscCopy(theCollection.GetNextIdOfDisc(1));
    ASSERT_NE(nullptr, disc);
    EXPECT_EQ(3u, disc->m_fileIds.size());
    theCollection.ReleaseDiscCopy(&disc);

    // A bare name is taken from the current folder.
    std::string bare = MakeFile("h", "fixed", "Bare.avi");
    ASSERT_TRUE(SetCurrentDirectoryA("h:\\"));
    DWORD movies = theCollection.GetMovieCount();
    ASSERT_TRUE(Add({"Bare.avi"}));
    EXPECT_EQ(movies + 1, theCollection.GetMovieCount());
    SetCurrentDirectoryA("C:\\");
}

TEST_F(AddFilesTest, RefusedPathsAndFilesLeaveNothingBehind)
{
    std::string kept = MakeFile("h", "fixed", "Kept.avi");
    // A path that is on no drive stops the whole run before anything.
    bool added = true;
    EXPECT_FALSE(Add({kept, "\\\\server\\share\\Film.avi"}, &added));
    EXPECT_FALSE(added);
    EXPECT_EQ("The file \\\\server\\share\\Film.avi is not on a mapped drive. Can't continue.", LastErrorBoxText());
    EXPECT_EQ(0u, theCollection.GetMovieCount());

    // A removable drive is refused with both messages; the rest is added.
    std::string card = MakeFile("r", "removable", "Card.avi");
    int boxes = ErrorBoxCount();
    ASSERT_TRUE(Add({card, kept}, &added));
    EXPECT_TRUE(added);
    EXPECT_EQ(boxes + 2, ErrorBoxCount());
    EXPECT_EQ(1u, theCollection.GetMovieCount());

    // A file gone before its turn: its message, and no empty disc.
    DWORD discs = theCollection.GetDiscCount();
    ASSERT_TRUE(Add({"m:\\gone.avi"}, &added));
    EXPECT_FALSE(added);
    EXPECT_EQ("Unable to read file m:\\gone.avi. Skipping it", LastErrorBoxText());
    EXPECT_EQ(discs, theCollection.GetDiscCount());
}

// Two files of the CD-ROM chosen in the real open-file dialog.
TEST_F(AddFilesTest, ChosenInTheOpenFileDialog)
{
    DialogDriver driver([](HWND dlg) {
        // The explorer-style dialog takes the names in its file name box.
        SetDlgItemTextA(dlg, 1148, "\"MOVIE.AVI\" \"Clip.DivX\"");
        PostMessage(dlg, WM_COMMAND, IDOK, 0);
    });
    std::vector<std::string> paths;
    ASSERT_TRUE(ChooseMediaFiles(nullptr, "m:\\", &paths));
    ASSERT_EQ(2u, paths.size());
    bool added = false;
    ASSERT_TRUE(AddFilePaths(paths, nullptr, &added));
    EXPECT_TRUE(added);
    EXPECT_EQ(1u, theCollection.GetDiscCount());
}
