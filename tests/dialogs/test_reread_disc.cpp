// Re-reading a stored disc from the test prefix's s: drive ("REREAD"), whose
// files the tests change between reads.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "DialogDriver.h"
#include "app/CdromAdder.h"
#include "core/Disc.h"
#include "core/ErrorBox.h"
#include "core/Movie.h"
#include "core/MovieCollection.h"
#include "core/MovieFile.h"
#include "core/StrUtil.h"
#include "dialogs/ReReadDiscDlg.h"
#include "resources/resource.h"

namespace {

std::string DrivePath(const char* name)
{
    return std::string(VISTREL_SCAN_DRIVES) + "/reread/" + name;
}

void MakeFile(const char* name)
{
    FILE* f = fopen(DrivePath(name).c_str(), "wb");
    if (f != nullptr) {
        fputs("media", f);
        fclose(f);
    }
}

// The disc's files: the given names and nothing else of the media kind.
void LayOut(std::initializer_list<const char*> names)
{
    for (const char* old : {"Alpha.avi", "Beta.avi", "Beta2.avi", "Gone.avi", "Alpha broken.avi",
                            "Beta broken.avi"})
        remove(DrivePath(old).c_str());
    for (const char* name : names)
        MakeFile(name);
}

DWORD FileIdByName(const char* name)
{
    for (DWORD id = theCollection.GetNextIdOfFile(NO_ID); id != NO_ID; id = theCollection.GetNextIdOfFile(id)) {
        CMovieFile* file = theCollection.GetFileCopy(id);
        bool match = StrEqual(file->m_fileName, name);
        theCollection.ReleaseFileCopy(&file);
        if (match)
            return id;
    }
    return NO_ID;
}

DWORD MovieOf(DWORD fileId)
{
    CMovie* movie = theCollection.GetMovieCopyByFile(fileId);
    DWORD id = movie != nullptr ? movie->m_id : NO_ID;
    theCollection.ReleaseMovieCopy(&movie);
    return id;
}

// Runs the dialog, choosing a mode, and gives what it ended with and the
// prompt it showed.
INT_PTR RunReRead(DWORD discId, bool onlyInfo, std::string* prompt = nullptr)
{
    DialogDriver driver([&](HWND dlg) {
        if (WindowCaption(dlg) != "Re-read Disc")
            return;
        if (prompt != nullptr)
            *prompt = ItemText(dlg, IDC_REREAD_PROMPT);
        SendMessage(dlg, WM_COMMAND, onlyInfo ? IDC_REREAD_ONLYINFO : IDC_REREAD_READD, 0);
        SendMessage(dlg, WM_COMMAND, IDOK, 0);
        if (IsWindow(dlg))
            PostClick(dlg, IDCANCEL);  // not found: the dialog stayed open
    });
    CReReadDiscDlg dlg;
    dlg.SetDiscId(discId);
    return dlg.DoModal();
}

class ReReadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        theCollection.Clear();
        profile.SetInt("movie_name", "always", 0);
        profile.SetInt("movie_name", "severe", 0);
        LayOut({"Alpha.avi", "Beta.avi", "Gone.avi"});
        AddCdromDisc('s', false);
        discId = theCollection.GetNextIdOfDisc(NO_ID);
    }
    void TearDown() override { theCollection.Clear(); }

    DWORD FileCount()
    {
        CDisc* disc = theCollection.GetDiscCopy(discId);
        DWORD count = disc != nullptr ? disc->GetFileCount() : 0;
        theCollection.ReleaseDiscCopy(&disc);
        return count;
    }

    ScopedProfile profile{"ReRead"};
    DWORD discId = NO_ID;
};

} // namespace

TEST_F(ReReadTest, ReAddKeepsUnchangedPathsPlacesNewOnesAndDropsVanished)
{
    ASSERT_NE(NO_ID, discId);
    ASSERT_EQ(3u, FileCount());
    DWORD alpha = FileIdByName("Alpha.avi");
    DWORD beta = FileIdByName("Beta.avi");
    DWORD gone = FileIdByName("Gone.avi");
    CMovieFile* file = theCollection.GetFileCopy(alpha);
    file->m_partNumber = 7;
    theCollection.ReleaseFileCopy(&file);
    DWORD alphaMovie = MovieOf(alpha);
    ASSERT_NE(NO_ID, alphaMovie);

    LayOut({"Alpha.avi", "Beta2.avi"});
    std::string prompt;
    EXPECT_EQ(IDOK, RunReRead(discId, false, &prompt));
    EXPECT_EQ("Please insert CD-ROM/DVD labeld REREAD", prompt);
    EXPECT_EQ(0, profile.GetInt("re-read", "onlyinfo", 1));

    // Alpha keeps its record, movie and part number.
    EXPECT_EQ(alpha, FileIdByName("Alpha.avi"));
    EXPECT_EQ(alphaMovie, MovieOf(alpha));
    file = theCollection.GetFileCopy(alpha);
    EXPECT_EQ(7, file->m_partNumber);
    theCollection.ReleaseFileCopy(&file);
    // The renamed file is new and placed; the vanished ones are gone.
    DWORD beta2 = FileIdByName("Beta2.avi");
    ASSERT_NE(NO_ID, beta2);
    EXPECT_NE(NO_ID, MovieOf(beta2));
    EXPECT_EQ(NO_ID, FileIdByName("Beta.avi"));
    EXPECT_EQ(NO_ID, FileIdByName("Gone.avi"));
    EXPECT_EQ(NO_ID, MovieOf(beta));
    EXPECT_EQ(NO_ID, MovieOf(gone));
    EXPECT_EQ(2u, FileCount());
}

TEST_F(ReReadTest, RefusedFilesAndWrongLabelsChangeNothing)
{
    ASSERT_NE(NO_ID, discId);
    DWORD alpha = FileIdByName("Alpha.avi");

    // Every found file is refused by the plug-in: the disc keeps its files.
    LayOut({"Alpha broken.avi", "Beta broken.avi"});
    EXPECT_EQ(IDOK, RunReRead(discId, false));
    EXPECT_EQ("Did not find any valid files on CD-ROM/DVD", LastErrorBoxText());
    EXPECT_EQ(3u, FileCount());
    EXPECT_EQ(alpha, FileIdByName("Alpha.avi"));

    // A disc whose label no drive shows is not found; the dialog stays.
    CDisc* disc = theCollection.GetDiscCopy(discId);
    StrSet(&disc->m_name, "OTHER");
    theCollection.ReleaseDiscCopy(&disc);
    std::string prompt;
    EXPECT_EQ(IDCANCEL, RunReRead(discId, false, &prompt));
    EXPECT_EQ("Please insert CD-ROM/DVD labeld OTHER", prompt);
    EXPECT_EQ("A CD-ROM/DVD with the correct Volumename and Serial Number was not to be found", LastErrorBoxText());
    EXPECT_EQ(3u, FileCount());
}

TEST_F(ReReadTest, OnlyInfoRefreshesAndKeepsWhatCannotBeRead)
{
    ASSERT_NE(NO_ID, discId);
    // Alpha's record now names a file that the plug-in refuses; Beta's lost
    // its information.
    LayOut({"Alpha broken.avi", "Beta.avi"});
    DWORD alpha = FileIdByName("Alpha.avi");
    DWORD beta = FileIdByName("Beta.avi");
    CMovieFile* file = theCollection.GetFileCopy(alpha);
    StrSet(&file->m_fileName, "Alpha broken.avi");
    theCollection.ReleaseFileCopy(&file);
    file = theCollection.GetFileCopy(beta);
    file->m_mediaInfo.reset();
    theCollection.ReleaseFileCopy(&file);

    EXPECT_EQ(IDOK, RunReRead(discId, true));
    EXPECT_EQ(1, profile.GetInt("re-read", "onlyinfo", 0));
    file = theCollection.GetFileCopy(alpha);
    EXPECT_STREQ("Avi", file->GetFormatName());
    theCollection.ReleaseFileCopy(&file);
    file = theCollection.GetFileCopy(beta);
    EXPECT_STREQ("Avi", file->GetFormatName());
    theCollection.ReleaseFileCopy(&file);
    EXPECT_EQ(3u, FileCount());
}
