// Turning found files into movie-file records: title and part number, folder,
// media information, the name-check rules of "always" and "severe", and the
// replacement of a file stored from a hard disc.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "core/Disc.h"
#include "core/DiscScan.h"
#include "core/FoundFileList.h"
#include "core/Movie.h"
#include "core/MovieCollection.h"
#include "core/MovieFile.h"
#include "core/StrUtil.h"
#include "resources/resource.h"

namespace {

class AddFoundFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        theCollection.Clear();
        StrSet(&m_cdrom.m_name, "THE_MATRIX");
        StrSet(&m_cdrom.m_serialNumber, "1A2B-3C4D");
        m_cdrom.m_driveLetter = 'm';
        StrSet(&m_hardDisc.m_name, "Data (c:)");
        m_hardDisc.m_fixedOrNetwork = 1;
        m_hardDisc.m_driveLetter = 'c';
    }
    void TearDown() override { theCollection.Clear(); }

    static void Found(CFileInfo& info, const char* folder, const char* name, int64_t size)
    {
        StrSet(&info.m_folder, folder);
        StrSet(&info.m_fileName, name);
        info.m_size = size;
        info.m_creationTime.wYear = 2004;
        info.m_creationTime.wMonth = 2;
        info.m_creationTime.wDay = 29;
    }

    // Stores a hard-disc file in a disc of its own and a movie; its id.
    static DWORD StoreHardDiscFile(const char* folder, const char* name, int64_t size)
    {
        CMovieFile file;
        StrSet(&file.m_folder, folder);
        StrSet(&file.m_fileName, name);
        StrSet(&file.m_movieTitle, "Old");
        file.m_size = size;
        DWORD fileId = theCollection.AddFile(&file);
        CDisc disc;
        StrSet(&disc.m_name, "Data (c:)");
        StrSet(&disc.m_serialNumber, "0BAD-CAFE");
        disc.m_fixedOrNetwork = 1;
        disc.m_driveLetter = 'c';
        disc.AddFileId(fileId);
        theCollection.AddDisc(&disc, false);
        CMovie movie;
        StrSet(&movie.m_title, "Old");
        movie.AddFile(fileId, true);
        theCollection.AddMovie(&movie, false);
        return fileId;
    }

    static bool IsStored(DWORD fileId)
    {
        CMovieFile* file = theCollection.GetFileCopy(fileId);
        bool stored = file != nullptr;
        theCollection.ReleaseFileCopy(&file);
        return stored;
    }

    CDisc m_cdrom;
    CDisc m_hardDisc;
};

} // namespace

TEST_F(AddFoundFile, FillsTitlePartFolderTimeSizeAndMedia)
{
    ScopedProfile profile("AddFills");
    profile.SetInt("movie_name", "always", 0);
    profile.SetInt("movie_name", "severe", 0);

    // On a CD-ROM the second title candidate is the disc's name.
    CFileInfo show;
    Found(show, "Series\\Season 1", "Show cd2.mpg", 1234);
    CMovieFile file;
    ASSERT_TRUE(file.AddToDatabase('m', &m_cdrom, &show));
    EXPECT_STREQ("\\Series\\Season 1\\", file.m_folder);
    EXPECT_STREQ("Show cd2.mpg", file.m_fileName);
    EXPECT_STREQ("The Matrix", file.m_movieTitle);  // two words beat "Show"
    EXPECT_EQ(2, file.m_partNumber);
    EXPECT_EQ(1234, file.m_size);
    EXPECT_EQ(2004, file.m_creationTime.wYear);
    EXPECT_EQ(29, file.m_creationTime.wDay);
    EXPECT_STREQ("MPEG-1", file.GetFormatName());
    // The plug-in was asked about the file on the drive.
    char* info = nullptr;
    file.GetInfoText(&info);
    EXPECT_STREQ("m:\\Series\\Season 1\\Show cd2.mpg", info);
    free(info);

    CFileInfo ifo;
    Found(ifo, "VIDEO_TS", "VTS_01_0.IFO", 0);
    ASSERT_TRUE(file.AddToDatabase('m', &m_cdrom, &ifo));
    EXPECT_STREQ("The Matrix", file.m_movieTitle);
    EXPECT_STREQ("DVD", file.GetFormatName());

    // On a hard disc it is the folder's name; a root file takes the disc's.
    CFileInfo part;
    Found(part, "c:\\Movies\\ALIEN", "cd1.avi", 10);
    ASSERT_TRUE(file.AddToDatabase('c', &m_hardDisc, &part));
    EXPECT_STREQ("\\Movies\\ALIEN\\", file.m_folder);
    EXPECT_STREQ("Alien", file.m_movieTitle);
    EXPECT_EQ(1, file.m_partNumber);
    Found(part, "", "cd1.avi", 10);
    ASSERT_TRUE(file.AddToDatabase('c', &m_hardDisc, &part));
    EXPECT_STREQ("\\", file.m_folder);
    EXPECT_STREQ("Data", file.m_movieTitle);  // "Data (c:)" without its vowel-less word

    // Remembered title and part number win over the guess, -1 included.
    const int32_t none = -1;
    ASSERT_TRUE(file.AddToDatabase('m', &m_cdrom, &show, "Kept", &none));
    EXPECT_STREQ("Kept", file.m_movieTitle);
    EXPECT_EQ(-1, file.m_partNumber);

    // No format plug-in describes the file: it is not added.
    CFileInfo broken;
    Found(broken, "", "broken.avi", 1);
    EXPECT_FALSE(file.AddToDatabase('m', &m_cdrom, &broken));
}

TEST_F(AddFoundFile, AlwaysAsksForEveryFileAndSevereForVideoCdsAndDvds)
{
    ScopedProfile profile("AddRules");
    CFileInfo avi, ifo, dat;
    Found(avi, "", "MOVIE.AVI", 100);
    Found(ifo, "VIDEO_TS", "VTS_01_0.IFO", 0);
    Found(dat, "MPEGAV", "AVSEQ01.DAT", 0);

    std::vector<std::string> prompts;
    std::string shownName;
    const char* answerName = nullptr;
    int answer = IDOK;
    DialogDriver driver([&](HWND dlg) {
        prompts.push_back(ItemText(dlg, IDC_NAMECHECK_PROMPT));
        shownName = ItemText(dlg, IDC_NAMECHECK_NAME);
        if (answerName != nullptr)
            SetItemText(dlg, IDC_NAMECHECK_NAME, answerName);
        SetItemText(dlg, IDC_NAMECHECK_COUNT, "3");
        PostClick(dlg, answer);
    });
    CMovieFile file;

    // Defaults: "always" is 1, so even an AVI file asks, in the general form.
    ASSERT_TRUE(file.AddToDatabase('m', &m_cdrom, &avi));
    ASSERT_EQ(1u, prompts.size());
    EXPECT_EQ("Please check if my guess of name is correct", prompts[0]);
    EXPECT_EQ("The Matrix", shownName);  // the disc name beats MOVIE
    EXPECT_EQ(3, file.m_partNumber);

    // "always" 0, "severe" 1: AVI files go in silently, a DVD and a VCD ask.
    profile.SetInt("movie_name", "always", 0);
    ASSERT_TRUE(file.AddToDatabase('m', &m_cdrom, &avi));
    EXPECT_EQ(1, driver.Count());
    answerName = "Matrix, The";
    ASSERT_TRUE(file.AddToDatabase('m', &m_cdrom, &ifo));
    ASSERT_EQ(2, driver.Count());
    EXPECT_EQ("As this is a SVCD/VCD, you probably need to check my guess", prompts[1]);
    EXPECT_EQ("The Matrix", shownName);
    EXPECT_STREQ("Matrix, The", file.m_movieTitle);
    EXPECT_EQ(3, file.m_partNumber);
    ASSERT_TRUE(file.AddToDatabase('m', &m_cdrom, &dat));
    EXPECT_EQ(3, driver.Count());

    // "Don't add" refuses the file.
    answer = IDCANCEL;
    EXPECT_FALSE(file.AddToDatabase('m', &m_cdrom, &ifo));
    EXPECT_EQ(4, driver.Count());

    // Both 0: nothing asks.
    profile.SetInt("movie_name", "severe", 0);
    EXPECT_TRUE(file.AddToDatabase('m', &m_cdrom, &ifo));
    EXPECT_TRUE(file.AddToDatabase('m', &m_cdrom, &avi));
    EXPECT_EQ(4, driver.Count());
}

TEST_F(AddFoundFile, CdromFileMayReplaceTheSameFileStoredFromAHardDisc)
{
    ScopedProfile profile("AddReplace");
    profile.SetInt("movie_name", "always", 0);
    DWORD oldId = StoreHardDiscFile("\\Movies\\", "movie.avi", 5958);
    DWORD otherSize = StoreHardDiscFile("\\Movies\\", "MOVIE.AVI", 1);

    CFileInfo found;
    Found(found, "", "MOVIE.AVI", 5958);
    std::vector<std::string> captions;
    std::string oldPath, newPath;
    int updateAnswer = IDCANCEL, nameAnswer = IDOK;
    DialogDriver driver([&](HWND dlg) {
        captions.push_back(WindowCaption(dlg));
        if (captions.back() == "Update movie file") {
            oldPath = ItemText(dlg, IDC_UPDATEFILE_OLD);
            newPath = ItemText(dlg, IDC_UPDATEFILE_NEW);
            PostClick(dlg, updateAnswer);
        } else {
            PostClick(dlg, nameAnswer);
        }
    });

    // No: the stored file stays. Only the file of equal size was offered.
    CMovieFile file;
    ASSERT_TRUE(file.AddToDatabase('m', &m_cdrom, &found));
    EXPECT_EQ(std::vector<std::string>{"Update movie file"}, captions);
    EXPECT_EQ("c:\\Movies\\movie.avi", oldPath);
    EXPECT_EQ("m:\\MOVIE.AVI", newPath);
    EXPECT_TRUE(IsStored(oldId));

    // Yes, but the new file is then refused: the stored one is kept.
    profile.SetInt("movie_name", "always", 1);
    updateAnswer = IDOK;
    nameAnswer = IDCANCEL;
    captions.clear();
    EXPECT_FALSE(file.AddToDatabase('m', &m_cdrom, &found));
    EXPECT_EQ((std::vector<std::string>{"Update movie file", "Please confirm"}), captions);
    EXPECT_TRUE(IsStored(oldId));

    // Yes and added: the stored file leaves the collection, its movie and
    // its disc, which was left empty and goes too.
    nameAnswer = IDOK;
    ASSERT_TRUE(file.AddToDatabase('m', &m_cdrom, &found));
    EXPECT_FALSE(IsStored(oldId));
    EXPECT_TRUE(IsStored(otherSize));
    CMovie* movie = theCollection.GetMovieCopyByFile(oldId);
    EXPECT_EQ(nullptr, movie);
    theCollection.ReleaseMovieCopy(&movie);
    EXPECT_EQ(1u, theCollection.GetDiscCount());

    // A file from a hard disc never asks.
    captions.clear();
    profile.SetInt("movie_name", "always", 0);
    CFileInfo onDisc;
    Found(onDisc, "c:\\Movies", "MOVIE.AVI", 1);
    ASSERT_TRUE(file.AddToDatabase('c', &m_hardDisc, &onDisc));
    EXPECT_TRUE(captions.empty());
}

TEST_F(AddFoundFile, ScannedDiscAsksOnlyForItsVideoCdAndDvdFiles)
{
    if (::GetDriveTypeA("m:\\") != DRIVE_CDROM)
        GTEST_SKIP() << "drive m: is no CD-ROM: run through CTest, whose fixture maps the drives";
    ScopedProfile profile("AddScanned");
    profile.SetInt("movie_name", "always", 0);
    CDisc disc;
    CFoundFileList list;
    ASSERT_TRUE(ScanDisc("m:\\", &disc, &list));

    std::vector<std::string> paths;
    DialogDriver driver([&](HWND dlg) {
        paths.push_back(ItemText(dlg, IDC_NAMECHECK_PATH));
        PostClick(dlg, IDOK);
    });
    int added = 0;
    for (DWORD i = 0; i < list.GetCount(); i++) {
        CMovieFile file;
        if (file.AddToDatabase(char(disc.m_driveLetter), &disc, list.GetAt(i)))
            added++;
    }
    EXPECT_EQ(int(list.GetCount()), added);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ((std::vector<std::string>{"\\Extras\\dvd\\vts_01_0.ifo", "\\MPEGAV\\AVSEQ01.DAT",
                                        "\\VIDEO_TS\\VTS_01_0.IFO"}),
              paths);
}
