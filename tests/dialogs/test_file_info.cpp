// The file information dialog and panel: what they show for each kind of
// volume, the remove mode, making a movie for a loose file, and playing a
// file that may have moved to another drive letter.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "DialogDriver.h"
#include "classlib/Wnd.h"
#include "core/Disc.h"
#include "core/MediaFormat.h"
#include "core/ErrorBox.h"
#include "core/Movie.h"
#include "core/MovieCollection.h"
#include "core/MovieFile.h"
#include "core/StrUtil.h"
#include "dialogs/AddFileDlg.h"
#include "dialogs/EditFileDlg.h"
#include "dialogs/FileInfoDlg.h"
#include "dialogs/ReReadDiscDlg.h"
#include "resources/resource.h"

namespace {

DWORD AddDisc(const char* name, char letter, bool fixed, bool network = false)
{
    CDisc disc;
    StrSet(&disc.m_name, name);
    StrSet(&disc.m_serialNumber, "1A2B-3C4D");
    disc.m_driveLetter = BYTE(letter);
    disc.m_fixedOrNetwork = fixed || network;
    disc.m_network = network;
    return theCollection.AddDisc(&disc, false);
}

DWORD AddFile(DWORD discId, const char* folder, const char* name, int64_t size, const char* format = "Avi")
{
    CMovieFile file;
    StrSet(&file.m_folder, folder);
    StrSet(&file.m_fileName, name);
    file.m_size = size;
    file.m_creationTime.wYear = 2003;
    file.m_creationTime.wMonth = 4;
    file.m_creationTime.wDay = 5;
    file.m_creationTime.wHour = 6;
    file.m_creationTime.wMinute = 7;
    if (format != nullptr) {
        MediaFormat record;
        InitMediaFormat(record);
        StrSet(&record.kindName, format);
        file.m_mediaInfo.reset(new CMediaFormatInfo);
        file.m_mediaInfo->SetFormat(&record);
        FreeMediaFormat(record);
    }
    DWORD id = theCollection.AddFile(&file);
    CDisc* disc = theCollection.GetDiscCopy(discId);
    disc->AddFileId(id);
    theCollection.ReleaseDiscCopy(&disc);
    return id;
}

bool Shown(HWND dlg, int id)
{
    HWND item = GetDlgItem(dlg, id);
    return item != NULL && (GetWindowLongPtr(item, GWL_STYLE) & WS_VISIBLE) != 0;
}

struct Facts {
    std::string label, serial, name, size, created, type;
    bool play, reread, cancel;
};

Facts RunModal(DWORD id, bool disc, CMovieCollection* collection, bool reReadAllowed)
{
    Facts facts;
    DialogDriver driver([&](HWND dlg) {
        facts = {ItemText(dlg, IDC_FILEINFO_LABEL), ItemText(dlg, IDC_FILEINFO_SERIAL),
                 ItemText(dlg, IDC_FILEINFO_NAME),  ItemText(dlg, IDC_FILEINFO_SIZE),
                 ItemText(dlg, IDC_FILEINFO_CREATED), ItemText(dlg, IDC_FILEINFO_TYPE),
                 Shown(dlg, IDC_FILEINFO_PLAY),     Shown(dlg, IDC_FILEINFO_REREAD), Shown(dlg, IDCANCEL)};
        PostClick(dlg, IDOK);
    });
    CFileInfoDlg dlg;
    dlg.SetFile(id, disc, collection, false, reReadAllowed);
    EXPECT_EQ(IDOK, dlg.DoModal());
    return facts;
}

class FileInfoTest : public ::testing::Test {
protected:
    void SetUp() override { theCollection.Clear(); }
    void TearDown() override { theCollection.Clear(); }
    ScopedProfile profile{"FileInfo"};
};

} // namespace

TEST_F(FileInfoTest, SizesAndWhatEachVolumeKindOffers)
{
    EXPECT_EQ("1023 B", CFileInfoDlg::FormatSize(1023));
    EXPECT_EQ("1.00 KB", CFileInfoDlg::FormatSize(1024));
    EXPECT_EQ("1.00 MB", CFileInfoDlg::FormatSize(1048576));
    EXPECT_EQ("1024.00 MB", CFileInfoDlg::FormatSize(1073741823));
    EXPECT_EQ("1.00 GB", CFileInfoDlg::FormatSize(1073741824));
    EXPECT_EQ("4.66 GB", CFileInfoDlg::FormatSize(5000000000LL));
    EXPECT_EQ("-5000000000 B", CFileInfoDlg::FormatSize(-5000000000LL));  // not cut to 32 bits

    DWORD cd = AddDisc("MOVIES", 'm', false);
    DWORD hd = AddDisc("Data (h:)", 'h', true);
    DWORD cdFile = AddFile(cd, "\\Films\\", "Film.avi", 1023);
    DWORD hdFile = AddFile(hd, "\\", "Home.avi", 5000000000LL);
    DWORD dvdFile = AddFile(hd, "\\VIDEO_TS\\", "VTS_01_0.IFO", 7, "DVD");

    Facts onCd = RunModal(cdFile, false, nullptr, true);
    EXPECT_EQ("MOVIES", onCd.label);
    EXPECT_EQ("1A2B-3C4D", onCd.serial);
    EXPECT_EQ("Film.avi", onCd.name);
    EXPECT_EQ("1023 B", onCd.size);
    EXPECT_EQ("2003-04-05 06:07", onCd.created);
    EXPECT_EQ("Avi", onCd.type);
    EXPECT_TRUE(onCd.reread);
    EXPECT_FALSE(onCd.play);  // only files on hard discs and shares play
    EXPECT_FALSE(onCd.cancel);

    // Re-reading is offered only on the stored catalogue and when allowed.
    EXPECT_FALSE(RunModal(cdFile, false, nullptr, false).reread);
    CMovieCollection other;
    EXPECT_FALSE(RunModal(cdFile, false, &other, true).reread);

    Facts onHd = RunModal(hdFile, false, nullptr, true);
    EXPECT_EQ("4.66 GB", onHd.size);
    EXPECT_TRUE(onHd.play);
    EXPECT_FALSE(onHd.reread);
    EXPECT_FALSE(RunModal(dvdFile, false, nullptr, true).play);

    Facts disc = RunModal(cd, true, nullptr, true);
    EXPECT_EQ("MOVIES", disc.label);
    EXPECT_EQ("", disc.name);
    EXPECT_TRUE(disc.reread);
}

TEST_F(FileInfoTest, PanelRemoveModeAndCreateMovie)
{
    DWORD cd = AddDisc("MOVIES", 'm', false);
    DWORD share = AddDisc("Share (n:)", 'n', false, true);
    DWORD loose = AddFile(cd, "\\", "Lonely.avi", 10);
    DWORD second = AddFile(cd, "\\", "Other.avi", 10);
    AddFile(share, "\\", "Shared.avi", 10);

    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "view", WS_POPUP, 0, 0, 400, 400, NULL, NULL));
    CFileInfoDlg panel;
    ASSERT_TRUE(panel.Create(IDD_FILE_INFO_PANEL, &parent));
    HWND dlg = panel.m_hWnd;

    // A loose file: "Create movie" instead of the title.
    panel.SetFile(loose, false, nullptr, true, true);
    EXPECT_TRUE(Shown(dlg, IDC_FILEINFO_CREATE_MOVIE));
    EXPECT_FALSE(Shown(dlg, IDC_FILEINFO_MOVIE));
    EXPECT_EQ("[none]", ItemText(dlg, IDC_FILEINFO_MOVIE));
    EXPECT_TRUE(Shown(dlg, IDOK));
    EXPECT_FALSE(Shown(dlg, IDCANCEL));
    EXPECT_FALSE(Shown(dlg, IDC_FILEINFO_REREAD));  // never in remove mode
    SendMessage(dlg, WM_COMMAND, IDC_FILEINFO_CREATE_MOVIE, 0);
    CMovie* movie = theCollection.GetMovieCopyByFile(loose);
    ASSERT_NE(nullptr, movie);
    EXPECT_EQ(1u, movie->GetFileCount());
    theCollection.ReleaseMovieCopy(&movie);
    EXPECT_TRUE(Shown(dlg, IDC_FILEINFO_MOVIE));
    EXPECT_FALSE(Shown(dlg, IDC_FILEINFO_CREATE_MOVIE));

    // A disc: the file controls go, the disc button is named by its kind.
    panel.SetFile(cd, true, nullptr, true, true);
    EXPECT_FALSE(Shown(dlg, IDC_FILEINFO_NAME));
    EXPECT_FALSE(Shown(dlg, IDC_FILEINFO_MOVIE));
    EXPECT_FALSE(Shown(dlg, IDOK));
    EXPECT_TRUE(Shown(dlg, IDCANCEL));
    EXPECT_EQ("Remove Disc", ItemText(dlg, IDCANCEL));
    panel.SetFile(share, true, nullptr, true, true);
    EXPECT_EQ("Remove Drive", ItemText(dlg, IDCANCEL));
    panel.SetFile(second, false, nullptr, true, true);
    EXPECT_TRUE(Shown(dlg, IDC_FILEINFO_NAME));
    EXPECT_EQ("Other.avi", ItemText(dlg, IDC_FILEINFO_NAME));

    // Removing a file asks first; Cancel keeps it.
    SetRecordedAnswer(IDCANCEL);
    SendMessage(dlg, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(0u, LastErrorBoxText().find("All references to the file, in cds or movies will also be removed."));
    CMovieFile* kept = theCollection.GetFileCopy(second);
    EXPECT_NE(nullptr, kept);
    theCollection.ReleaseFileCopy(&kept);
    SetRecordedAnswer(IDOK);
    SendMessage(dlg, WM_COMMAND, IDOK, 0);
    CMovieFile* gone = theCollection.GetFileCopy(second);
    EXPECT_EQ(nullptr, gone);
    theCollection.ReleaseFileCopy(&gone);
    EXPECT_TRUE(IsWindow(dlg));  // the panel stays

    // The disc button removes the disc shown, with its files.
    panel.SetFile(cd, true, nullptr, true, true);
    SendMessage(dlg, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ("All files on this cd and all the references to those files will also be removed.",
              LastErrorBoxText());
    CDisc* removed = theCollection.GetDiscCopy(cd);
    EXPECT_EQ(nullptr, removed);
    theCollection.ReleaseDiscCopy(&removed);
    CMovieFile* lonely = theCollection.GetFileCopy(loose);
    EXPECT_EQ(nullptr, lonely);
    theCollection.ReleaseFileCopy(&lonely);
    EXPECT_TRUE(IsWindow(dlg));
    panel.DestroyWindow();
    parent.DestroyWindow();
}

TEST_F(FileInfoTest, PlayWalksTheDriveLetters)
{
    // The test disc's MOVIE.AVI sits on m:, the record says q:. Wine knows
    // no player for .avi, so the file found is named in the failure.
    DWORD moved = AddDisc("Data (q:)", 'q', true);
    DWORD onM = AddFile(moved, "\\", "MOVIE.AVI", 10);
    DWORD missing = AddFile(moved, "\\nowhere\\", "none.avi", 10);
    DWORD oddDisc = AddDisc("Odd", '?', true);
    DWORD odd = AddFile(oddDisc, "\\nowhere\\", "none.avi", 10);

    CFileInfoDlg dlg;
    dlg.Create(IDD_FILE_INFO, nullptr);
    dlg.SetFile(onM, false, nullptr, false, true);
    SendMessage(dlg.m_hWnd, WM_COMMAND, IDC_FILEINFO_PLAY, 0);
    EXPECT_EQ("Unable to play file m:\\MOVIE.AVI", LastErrorBoxText());

    dlg.SetFile(missing, false, nullptr, false, true);
    SendMessage(dlg.m_hWnd, WM_COMMAND, IDC_FILEINFO_PLAY, 0);
    EXPECT_EQ("Unable to find file q:\\nowhere\\none.avi", LastErrorBoxText());

    // A letter outside a-z never comes round: the walk still ends.
    dlg.SetFile(odd, false, nullptr, false, true);
    SendMessage(dlg.m_hWnd, WM_COMMAND, IDC_FILEINFO_PLAY, 0);
    EXPECT_EQ("Unable to find file ?:\\nowhere\\none.avi", LastErrorBoxText());
    dlg.DestroyWindow();
}

// Shown for screenshots only (SHOWCASE=info, reread, addfile or editfile):
// the file dialogs over a small catalogue.
TEST(FileDialogs, DISABLED_Showcase)
{
    ScopedProfile profile("FileDialogsShowcase");
    theCollection.Clear();
    DWORD hd = AddDisc("Data (h:)", 'h', true);
    DWORD cd = AddDisc("SUMMER_2003", 'm', false);
    DWORD file = AddFile(hd, "\\Movies\\Heist\\", "Heist cd1.avi", 734003200);
    AddFile(cd, "\\", "Heist cd2.avi", 733001728);
    AddFile(cd, "\\Extras\\", "Making of.mpg", 104857600, "MPEG-1");
    const char* which = getenv("SHOWCASE");
    std::string show = which != nullptr ? which : "info";
    DialogDriver driver([](HWND) {});
    if (show == "reread") {
        CReReadDiscDlg dlg;
        dlg.SetDiscId(cd);
        dlg.DoModal();
    } else if (show == "addfile") {
        CMovie movie;
        StrSet(&movie.m_title, "Heist");
        StrSet(&movie.m_mediaTypeName, "Avi");
        CMovieFile* copy = theCollection.GetFileCopy(file);
        StrSet(&copy->m_movieTitle, "Heist");
        theCollection.ReleaseFileCopy(&copy);
        CAddFileDlg dlg;
        dlg.SetMovie(&movie);
        dlg.DoModal();
    } else if (show == "editfile") {
        CMovieFile* copy = theCollection.GetFileCopy(file);
        copy->m_partNumber = 1;
        theCollection.ReleaseFileCopy(&copy);
        CEditFileDlg dlg;
        dlg.SetFileId(file);
        dlg.DoModal();
    } else {
        CFileInfoDlg dlg;
        dlg.SetFile(file, false, nullptr, false, true);
        dlg.DoModal();
    }
    theCollection.Clear();
}
