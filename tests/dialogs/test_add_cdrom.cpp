// Adding CD-ROMs: the drive choice with scripted and real drives, the wait
// window, the eject sequence, and whole discs of the test prefix's m: drive.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "app/CdromAdder.h"
#include "classlib/WinApp.h"
#include "core/Disc.h"
#include "core/ErrorBox.h"
#include "core/Movie.h"
#include "core/MovieFile.h"
#include "core/MovieCollection.h"
#include "dialogs/AddCdromDlg.h"
#include "dialogs/VolumeEject.h"
#include "dialogs/WaitDlg.h"
#include "resources/resource.h"

namespace {

// One scripted CD-ROM drive, D:, whose medium comes and goes.
bool g_withDrive = true;
bool g_withMedia = false;
const char* g_label = "MOVIE";

DWORD ScriptedDrives()
{
    return g_withDrive ? (1u << 3) | (1u << 2) : (1u << 2);
}

UINT ScriptedType(const char* root)
{
    return root[0] == 'D' ? DRIVE_CDROM : DRIVE_FIXED;
}

bool ScriptedLabel(const char*, std::string* label)
{
    if (!g_withMedia)
        return false;
    *label = g_label;
    return true;
}

const DriveProbe kScripted = {ScriptedDrives, ScriptedType, ScriptedLabel};

std::vector<std::string> Lines(HWND dlg)
{
    std::vector<std::string> lines;
    int count = int(SendDlgItemMessageA(dlg, IDC_ADDCD_DRIVES, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; i++) {
        char text[128] = {};
        SendDlgItemMessageA(dlg, IDC_ADDCD_DRIVES, LB_GETTEXT, WPARAM(i), LPARAM(text));
        lines.push_back(text);
    }
    return lines;
}

int Selection(HWND dlg)
{
    return int(SendDlgItemMessageA(dlg, IDC_ADDCD_DRIVES, LB_GETCURSEL, 0, 0));
}

// Records the order of the volume operations; the step named fails.
std::vector<std::string> g_steps;
std::string g_failAt;
bool Step(const char* name)
{
    g_steps.push_back(name);
    return g_failAt != name;
}
const VolumeOperations kRecording = {
    [](char) { return Step("open") ? HANDLE(1) : INVALID_HANDLE_VALUE; },
    [](HANDLE) { return Step("lock"); },
    [](HANDLE) { return Step("dismount"); },
    [](HANDLE, bool prevent) { return Step(prevent ? "prevent" : "allow"); },
    [](HANDLE) { return Step("eject"); },
    [](HANDLE) { return Step("close"); },
};

} // namespace

TEST(AddCdromDlg, ScriptedDrivesMediaAndChoice)
{
    ScopedProfile profile("AddCdromScripted");
    // No CD-ROM drive: an empty list, Add disabled.
    g_withDrive = false;
    size_t lines = 99;
    bool addEnabled = true;
    DialogDriver none([&](HWND dlg) {
        lines = Lines(dlg).size();
        addEnabled = IsItemEnabled(dlg, IDOK);
        PostMessage(dlg, WM_COMMAND, IDCANCEL, 0);
    });
    CAddCdromDlg empty(nullptr, kScripted);
    EXPECT_EQ(IDCANCEL, empty.DoModal());
    EXPECT_EQ(0u, lines);
    EXPECT_FALSE(addEnabled);

    // A drive without a medium can't be chosen; one appearing at the next
    // tick is chosen by itself; another timer's tick changes nothing.
    g_withDrive = true;
    g_withMedia = false;
    g_label = "";
    std::vector<std::string> before, afterOther, afterTick;
    bool enabledOnEmpty = true, stillOpen = false, enabledAfterTick = false;
    DialogDriver driver([&](HWND dlg) {
        before = Lines(dlg);
        SendDlgItemMessageA(dlg, IDC_ADDCD_DRIVES, LB_SETCURSEL, 0, 0);
        SendMessage(dlg, WM_COMMAND, MAKEWPARAM(IDC_ADDCD_DRIVES, LBN_SELCHANGE), 0);
        enabledOnEmpty = IsItemEnabled(dlg, IDOK);
        SendMessage(dlg, WM_COMMAND, MAKEWPARAM(IDC_ADDCD_DRIVES, LBN_DBLCLK), 0);
        SendMessage(dlg, WM_COMMAND, IDOK, 0);
        stillOpen = IsWindowVisible(dlg) != FALSE;
        SendDlgItemMessageA(dlg, IDC_ADDCD_DRIVES, LB_SETCURSEL, WPARAM(-1), 0);
        g_withMedia = true;
        SendMessage(dlg, WM_TIMER, 4711, 0);
        afterOther = Lines(dlg);
        SendMessage(dlg, WM_TIMER, 666, 0);
        afterTick = Lines(dlg);
        enabledAfterTick = IsItemEnabled(dlg, IDOK) && Selection(dlg) == 0;
        PostClick(dlg, IDC_ADDCD_EJECT);
        PostClick(dlg, IDOK);
    });
    CAddCdromDlg dialog(nullptr, kScripted);
    ASSERT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ((std::vector<std::string>{"D:\\\t[No media]"}), before);
    EXPECT_FALSE(enabledOnEmpty);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(before, afterOther);
    // An empty label shows as "()" and can be chosen.
    EXPECT_EQ((std::vector<std::string>{"D:\\\t()"}), afterTick);
    EXPECT_TRUE(enabledAfterTick);
    EXPECT_EQ('D', dialog.GetDriveLetter());
    EXPECT_TRUE(dialog.GetEject());
    EXPECT_FALSE(dialog.GetShowAgain());
    EXPECT_EQ(1, profile.GetInt("add_cddlg", "eject", 0));
}

TEST(AddCdromDlg, RealDrivesWaitWindowAndEjectOrder)
{
    ScopedProfile profile("AddCdromReal");
    std::vector<std::string> lines;
    DialogDriver driver([&](HWND dlg) {
        lines = Lines(dlg);
        PostMessage(dlg, WM_COMMAND, IDCANCEL, 0);
    });
    CAddCdromDlg dialog;
    dialog.DoModal();
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(0u, lines[0].find("E:\\\t"));
    EXPECT_EQ("M:\\\t(THE_MATRIX)", lines[1]);
    EXPECT_EQ("S:\\\t(REREAD)", lines[2]);

    // The wait window disables the main window while it shows.
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, AfxRegisterWndClass(0), "frame", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, NULL, NULL));
    AfxGetApp()->m_pMainWnd = &frame;
    {
        CWaitDlg wait;
        wait.SetText("Processing CD-ROM/DVD");
        wait.Show();
        EXPECT_FALSE(IsWindowEnabled(frame.m_hWnd));
        EXPECT_EQ("Processing CD-ROM/DVD", ItemText(wait.m_hWnd, IDC_WAIT_TEXT));
        wait.Close();
        EXPECT_TRUE(IsWindowEnabled(frame.m_hWnd));
    }
    AfxGetApp()->m_pMainWnd = nullptr;
    frame.DestroyWindow();

    // The whole order; a failure at any step still closes the volume.
    g_steps.clear();
    g_failAt.clear();
    EXPECT_TRUE(EjectDrive('m', kRecording));
    EXPECT_EQ((std::vector<std::string>{"open", "lock", "dismount", "allow", "eject", "close"}), g_steps);
    for (const char* step : {"lock", "dismount", "allow", "eject"}) {
        g_steps.clear();
        g_failAt = step;
        EXPECT_FALSE(EjectDrive('m', kRecording)) << step;
        EXPECT_EQ("close", g_steps.back()) << step;
    }
    g_failAt.clear();
}

TEST(AddCdrom, WholeDiscsOfTheCdromDrive)
{
    ScopedProfile profile("AddCdromDiscs");
    profile.SetInt("movie_name", "always", 0);
    profile.SetInt("movie_name", "severe", 0);
    theCollection.Clear();
    AddCdromDisc('m', false);
    EXPECT_EQ(1u, theCollection.GetDiscCount());
    // Both parts of the series in one movie.
    std::vector<DWORD> parts;
    for (DWORD id = theCollection.GetNextIdOfFile(NO_ID); id != NO_ID; id = theCollection.GetNextIdOfFile(id)) {
        CMovieFile* file = theCollection.GetFileCopy(id);
        if (file->m_fileName != nullptr && std::string(file->m_fileName).find("Show cd") == 0)
            parts.push_back(id);
        theCollection.ReleaseFileCopy(&file);
    }
    ASSERT_EQ(2u, parts.size());
    CMovie* first = theCollection.GetMovieCopyByFile(parts[0]);
    CMovie* second = theCollection.GetMovieCopyByFile(parts[1]);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, second);
    theCollection.ReleaseMovieCopy(&second);
    theCollection.ReleaseMovieCopy(&first);

    // The same disc again: declining the question adds nothing.
    SetRecordedAnswer(IDCANCEL);
    AddCdromDisc('m', false);
    SetRecordedAnswer(IDOK);
    EXPECT_EQ("Unable to add CD-ROM/DVD info to database.", LastErrorBoxText());
    EXPECT_EQ(1u, theCollection.GetDiscCount());

    // "Don't add" for every guessed name: the disc goes again.
    theCollection.Clear();
    profile.SetInt("movie_name", "always", 1);
    int asked = 0;
    {
        DialogDriver dontAdd([&](HWND dlg) {
            asked++;
            PostClick(dlg, IDCANCEL);
        });
        AddCdromDisc('m', false);
    }
    EXPECT_GT(asked, 1);
    EXPECT_EQ("No movie files where found on cd, removing it", LastErrorBoxText());
    EXPECT_EQ(0u, theCollection.GetDiscCount());
    profile.SetInt("movie_name", "always", 0);

    // Wine's CD-ROM folders can't be dismounted: the real eject reports it,
    // once, after the empty disc was refused.
    int boxes = ErrorBoxCount();
    AddCdromDisc('e', true);
    EXPECT_EQ(boxes + 2, ErrorBoxCount());
    EXPECT_EQ("Unable to eject media", LastErrorBoxText());
    theCollection.Clear();
}

// Shown for screenshots only: the drive choice on the test drives, then the
// wait window over a frame.
TEST(AddCdromDlg, DISABLED_Showcase)
{
    ScopedProfile profile("AddCdromShowcase");
    if (getenv("SHOWCASE_WAIT") != nullptr) {
        CWnd frame;
        frame.CreateEx(0, AfxRegisterWndClass(0, NULL, HBRUSH(COLOR_APPWORKSPACE + 1)), "Vistrel", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 700, 500, NULL, NULL);
        AfxGetApp()->m_pMainWnd = &frame;
        CWaitDlg wait;
        wait.SetText("Processing CD-ROM/DVD");
        wait.Show();
        DWORD end = GetTickCount() + 8000;
        while (GetTickCount() < end) {
            MSG msg;
            while (PeekMessage(&msg, NULL, 0, 0, PM_REMOVE))
                DispatchMessage(&msg);
            Sleep(20);
        }
        wait.Close();
        AfxGetApp()->m_pMainWnd = nullptr;
        return;
    }
    DialogDriver driver([](HWND) {});
    CAddCdromDlg dialog;
    dialog.DoModal();
}
