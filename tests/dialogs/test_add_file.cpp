// The add-file dialog: which free files it offers and how, and adding them
// with the question for files that don't fit.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "DialogDriver.h"
#include "core/Disc.h"
#include "core/ErrorBox.h"
#include "core/MediaFormat.h"
#include "core/Movie.h"
#include "core/MovieCollection.h"
#include "core/MovieFile.h"
#include "core/StrUtil.h"
#include "dialogs/AddFileDlg.h"
#include "resources/resource.h"

namespace {

DWORD StoreFile(DWORD discId, const char* name, const char* title, const char* format, bool video)
{
    CMovieFile file;
    StrSet(&file.m_folder, "\\Films\\");
    StrSet(&file.m_fileName, name);
    StrSet(&file.m_movieTitle, title);
    MediaFormat record;
    InitMediaFormat(record);
    StrSet(&record.kindName, format);
    record.framesPerSecond = 25.0f;
    VideoStreamInfo stream = {};
    VideoStreamInfo* streams[1] = {&stream};
    if (video) {
        stream.width = 640;
        stream.height = 480;
        record.videoStreams = streams;
        record.videoCount = 1;
        record.selectedVideo = 0;
    }
    file.m_mediaInfo.reset(new CMediaFormatInfo);
    file.m_mediaInfo->SetFormat(&record);
    record.videoStreams = NULL;
    record.videoCount = 0;
    FreeMediaFormat(record);
    DWORD id = theCollection.AddFile(&file);
    if (discId != NO_ID) {
        CDisc* disc = theCollection.GetDiscCopy(discId);
        disc->AddFileId(id);
        theCollection.ReleaseDiscCopy(&disc);
    }
    return id;
}

std::vector<std::string> Lines(HWND list)
{
    std::vector<std::string> lines;
    int count = int(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; i++) {
        char text[300] = {};
        SendMessageA(list, LB_GETTEXT, WPARAM(i), LPARAM(text));
        lines.push_back(text);
    }
    return lines;
}

class AddFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        theCollection.Clear();
        CDisc disc;
        StrSet(&disc.m_name, "MOVIES");
        disc.m_driveLetter = 'm';
        discId = theCollection.AddDisc(&disc, false);
        StrSet(&movie.m_title, "Heist");
        StrSet(&movie.m_mediaTypeName, "Avi");
    }
    void TearDown() override { theCollection.Clear(); }

    // Opens the dialog modeless and hidden, shows the "All files" tab with
    // every line selected, as the user's clicks would.
    void OpenOnAllFiles()
    {
        dlg.SetMovie(&movie);
        ASSERT_TRUE(dlg.Create(IDD_ADD_FILE, nullptr));
        tab = GetDlgItem(dlg.m_hWnd, IDC_ADDFILE_TABS);
        all = GetDlgItem(tab, IDC_ADDFILE_ALL);
        ASSERT_NE(nullptr, all);
        SendMessage(tab, TCM_SETCURSEL, 1, 0);
        NMHDR change = {tab, UINT_PTR(IDC_ADDFILE_TABS), UINT(TCN_SELCHANGE)};
        SendMessage(dlg.m_hWnd, WM_NOTIFY, IDC_ADDFILE_TABS, LPARAM(&change));
        SendMessage(all, LB_SELITEMRANGEEX, 0, 1);
        // The list tells its parent, the tab control, which must pass it on.
        SendMessage(tab, WM_COMMAND, MAKEWPARAM(IDC_ADDFILE_ALL, LBN_SELCHANGE), LPARAM(all));
    }

    ScopedProfile profile{"AddFile"};
    DWORD discId = NO_ID;
    CMovie movie;
    CAddFileDlg dlg;
    HWND tab = NULL, all = NULL;
};

} // namespace

TEST_F(AddFileTest, OffersFreeFilesSortedByFit)
{
    DWORD fits = StoreFile(discId, "Heist.avi", "Heist", "Avi", true);
    StoreFile(discId, "Other.mpg", "Other", "MPEG-1", false);
    StoreFile(NO_ID, "Nowhere.avi", "Heist", "Avi", true);  // on no disc
    DWORD held = StoreFile(discId, "Held.avi", "Heist", "Avi", true);
    DWORD listed = StoreFile(discId, "Listed.avi", "Heist", "Avi", true);
    CMovie holder;
    holder.AddFile(held, true);
    theCollection.AddMovie(&holder, false);
    movie.m_fileIds.push_back(listed);  // the edited movie has it already

    dlg.SetMovie(&movie);
    ASSERT_EQ(2u, dlg.GetItems().size());
    EXPECT_EQ(fits, dlg.GetItems()[0]->m_fileId);
    EXPECT_TRUE(dlg.GetItems()[0]->m_fits);
    EXPECT_FALSE(dlg.GetItems()[1]->m_fits);
    EXPECT_STREQ("Not the same file format.\n(Don't wan't to mix AVI with MPEG)", dlg.GetItems()[1]->m_reason);

    ASSERT_TRUE(dlg.Create(IDD_ADD_FILE, nullptr));
    HWND tab = GetDlgItem(dlg.m_hWnd, IDC_ADDFILE_TABS);
    HWND good = GetDlgItem(tab, IDC_ADDFILE_GOOD);
    HWND all = GetDlgItem(tab, IDC_ADDFILE_ALL);
    EXPECT_EQ(std::vector<std::string>{"[MOVIES]:\\Films\\Heist.avi\t[640x480 @ 25.000 Avi]"}, Lines(good));
    EXPECT_EQ(std::vector<std::string>{"[MOVIES]:\\Films\\Other.mpg"}, Lines(all));
    EXPECT_TRUE(IsWindowVisible(good) || !IsWindowVisible(dlg.m_hWnd));
    EXPECT_FALSE(GetWindowLongPtr(all, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(IsItemEnabled(dlg.m_hWnd, IDOK));
    EXPECT_FALSE(IsItemEnabled(dlg.m_hWnd, IDC_ADDFILE_INFO));
    dlg.DestroyWindow();

    // Nothing free: two empty tabs.
    theCollection.RemoveFile(fits);
    CAddFileDlg empty;
    CMovie greedy;
    for (DWORD id = theCollection.GetNextIdOfFile(NO_ID); id != NO_ID; id = theCollection.GetNextIdOfFile(id))
        greedy.m_fileIds.push_back(id);
    empty.SetMovie(&greedy);
    ASSERT_TRUE(empty.Create(IDD_ADD_FILE, nullptr));
    tab = GetDlgItem(empty.m_hWnd, IDC_ADDFILE_TABS);
    EXPECT_EQ(2, int(SendMessage(tab, TCM_GETITEMCOUNT, 0, 0)));
    EXPECT_TRUE(Lines(GetDlgItem(tab, IDC_ADDFILE_GOOD)).empty());
    EXPECT_TRUE(Lines(GetDlgItem(tab, IDC_ADDFILE_ALL)).empty());
    empty.DestroyWindow();
}

TEST_F(AddFileTest, NoToTheFirstMisfitAddsNothing)
{
    StoreFile(discId, "One.mpg", "One", "MPEG-1", false);
    StoreFile(discId, "Two.mpg", "Two", "MPEG-1", false);
    OpenOnAllFiles();
    EXPECT_TRUE(IsItemEnabled(dlg.m_hWnd, IDOK));
    EXPECT_TRUE(IsItemEnabled(dlg.m_hWnd, IDC_ADDFILE_INFO));

    SetRecordedAnswer(IDNO);
    SendMessage(dlg.m_hWnd, WM_COMMAND, IDOK, 0);
    SetRecordedAnswer(IDOK);
    EXPECT_EQ("You are trying to add:\n[MOVIES]:\\Films\\One.mpg\nto this movie. As far as I can see this file "
              "doesn't fit. Why?:\n\"Not the same file format.\n(Don't wan't to mix AVI with MPEG)\"\n\nAdd this "
              "file anyway ?",
              LastErrorBoxText());
    EXPECT_EQ(0u, movie.GetFileCount());
    EXPECT_TRUE(IsWindow(dlg.m_hWnd));
    EXPECT_EQ(2u, Lines(all).size());
    dlg.DestroyWindow();
}

TEST_F(AddFileTest, YesThenNoAddsTheFirstAndTakesItsLineAway)
{
    DWORD one = StoreFile(discId, "One.mpg", "One", "MPEG-1", false);
    StoreFile(discId, "Two.mpg", "Two", "MPEG-1", false);
    OpenOnAllFiles();

    // Real question boxes, answered Yes and then No.
    int questions = 0;
    SetErrorBoxRecording(false);
    {
        DialogDriver driver([&](HWND box) {
            if (WindowCaption(box) != "Question")
                return;
            PostClick(box, ++questions == 1 ? IDYES : IDNO);
        });
        SendMessage(dlg.m_hWnd, WM_COMMAND, IDOK, 0);
    }
    SetErrorBoxRecording(true);
    EXPECT_EQ(2, questions);
    ASSERT_EQ(1u, movie.GetFileCount());
    EXPECT_EQ(one, movie.m_fileIds[0]);
    EXPECT_TRUE(IsWindow(dlg.m_hWnd));
    EXPECT_EQ(std::vector<std::string>{"[MOVIES]:\\Films\\Two.mpg"}, Lines(all));
    dlg.DestroyWindow();
}
