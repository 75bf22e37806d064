// The progress window under Wine: its text and bar, one waiting message per
// step, its place over the frame, closing and showing again, the wait
// cursor, and a real database load that shows and closes it.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ProgramRun.h"
#include "app/ProgressWindow.h"
#include "classlib/ClassLib.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"

namespace {

const UINT WM_PROBE = WM_APP + 7;

void Pump()
{
    MSG msg;
    while (::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
}

// Takes every probe still queued for the window; answers how many there were.
int TakeProbes(HWND window)
{
    int n = 0;
    MSG msg;
    while (::PeekMessage(&msg, window, WM_PROBE, WM_PROBE, PM_REMOVE))
        n++;
    return n;
}

struct FoundDialogs { HWND last = NULL; int count = 0; };

BOOL CALLBACK CountProgressDialog(HWND hwnd, LPARAM lp)
{
    if (::GetDlgItem(hwnd, CProgressDlg::IDC_PROGRESS_BAR) != NULL) {
        FoundDialogs* f = reinterpret_cast<FoundDialogs*>(lp);
        f->last = hwnd;
        f->count++;
    }
    return TRUE;
}

// The progress dialogs of this thread: their handles, the last one found.
HWND FindProgressDialog(int* count = NULL)
{
    FoundDialogs found;
    ::EnumThreadWindows(::GetCurrentThreadId(), CountProgressDialog,
                        reinterpret_cast<LPARAM>(&found));
    if (count != NULL)
        *count = found.count;
    return found.last;
}

std::string TextOf(HWND dialog)
{
    char text[256] = "";
    ::GetDlgItemTextA(dialog, CProgressDlg::IDC_PROGRESS_TEXT, text, sizeof text);
    return text;
}

LRESULT BarPos(HWND dialog)
{
    return ::SendDlgItemMessage(dialog, CProgressDlg::IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0);
}

PBRANGE BarRange(HWND dialog)
{
    PBRANGE range = { 0, 0 };
    ::SendDlgItemMessage(dialog, CProgressDlg::IDC_PROGRESS_BAR, PBM_GETRANGE, TRUE, LPARAM(&range));
    return range;
}

RECT RectOf(HWND window)
{
    RECT r;
    ::GetWindowRect(window, &r);
    return r;
}

class ProgressWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorBoxRecording(true);
        // A frame deletes itself when its window goes.
        m_frame = new CFrameWnd;
        ASSERT_TRUE(m_frame->CreateEx(0, AfxRegisterWndClass(0), "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                      40, 30, 600, 420, NULL, NULL));
        Pump();
    }
    void TearDown() override
    {
        if (m_frame != NULL && ::IsWindow(m_frame->m_hWnd))
            m_frame->DestroyWindow();
        Pump();
    }

    void ExpectCentredOver(HWND dialog, HWND over)
    {
        RECT o = RectOf(over), d = RectOf(dialog);
        EXPECT_EQ(o.left + ((o.right - o.left) - (d.right - d.left)) / 2, d.left);
        EXPECT_EQ(o.top + ((o.bottom - o.top) - (d.bottom - d.top)) / 2, d.top);
    }

    CWinApp m_app{ "Vistrel Progress Test" };
    CFrameWnd* m_frame = NULL;
};

TEST_F(ProgressWindowTest, ShowsTextAndRangeCentredOverTheFrame)
{
    CProgressWindow progress;
    progress.SetText("Reading movies...", 0, 32000);
    progress.Show(m_frame);
    int count = 0;
    HWND dialog = FindProgressDialog(&count);
    ASSERT_NE(HWND(NULL), dialog);
    EXPECT_EQ(1, count);
    EXPECT_TRUE(::IsWindowVisible(dialog));
    EXPECT_EQ(m_frame->m_hWnd, ::GetWindow(dialog, GW_OWNER));
    EXPECT_EQ("Reading movies...", TextOf(dialog));
    PBRANGE range = BarRange(dialog);
    EXPECT_EQ(0, range.iLow);
    EXPECT_EQ(32000, range.iHigh);
    ExpectCentredOver(dialog, m_frame->m_hWnd);
    EXPECT_TRUE(m_app.IsWaitCursorShown());

    progress.SetPos(16000);
    EXPECT_EQ(16000, BarPos(dialog));
    progress.SetPos(32000);
    EXPECT_EQ(32000, BarPos(dialog));

    progress.Close();
    EXPECT_FALSE(::IsWindow(dialog));
    EXPECT_EQ(HWND(NULL), FindProgressDialog());
    EXPECT_FALSE(m_app.IsWaitCursorShown());
}

// Without a text the window asks to wait; without a range the bar keeps its own.
TEST_F(ProgressWindowTest, DefaultsWithoutTextOrRange)
{
    CProgressWindow progress;
    progress.Show(m_frame);
    HWND dialog = FindProgressDialog();
    ASSERT_NE(HWND(NULL), dialog);
    EXPECT_EQ("Please wait...", TextOf(dialog));
    PBRANGE range = BarRange(dialog);
    EXPECT_EQ(0, range.iLow);
    EXPECT_EQ(100, range.iHigh);
}

// A window shown for a control inside the frame is placed over the frame.
TEST_F(ProgressWindowTest, ShownForAControlCentresOverItsFrame)
{
    CWnd child;
    ASSERT_TRUE(child.CreateEx(0, AfxRegisterWndClass(0), "child", WS_CHILD | WS_VISIBLE, 10, 10, 80, 40,
                               m_frame->m_hWnd, HMENU(101)));
    CProgressWindow progress;
    progress.SetText("Updating listing...", 0, 10);
    progress.Show(&child);
    HWND dialog = FindProgressDialog();
    ASSERT_NE(HWND(NULL), dialog);
    EXPECT_EQ(m_frame->m_hWnd, ::GetWindow(dialog, GW_OWNER));
    ExpectCentredOver(dialog, m_frame->m_hWnd);
    progress.Close();
    child.DestroyWindow();
}

// Each step handles one waiting message of the window and nothing of others.
TEST_F(ProgressWindowTest, EachStepHandlesOneWaitingMessage)
{
    CProgressWindow progress;
    progress.SetText("Loading movies...", 0, 100);
    progress.Show(m_frame);
    HWND dialog = FindProgressDialog();
    ASSERT_NE(HWND(NULL), dialog);
    Pump();

    for (int i = 0; i < 3; i++)
        ASSERT_TRUE(::PostMessage(dialog, WM_PROBE, i, 0));
    ASSERT_TRUE(::PostMessage(m_frame->m_hWnd, WM_PROBE, 0, 0));
    progress.SetPos(10);
    EXPECT_EQ(10, BarPos(dialog));
    progress.SetPos(20);
    EXPECT_EQ(1, TakeProbes(dialog));
    EXPECT_EQ(1, TakeProbes(m_frame->m_hWnd));

    // With nothing waiting a step just moves the bar.
    progress.SetPos(30);
    EXPECT_EQ(30, BarPos(dialog));
}

// Closing a window never shown, or twice, does nothing; a closed window can
// be shown again, with a text set while it was up.
TEST_F(ProgressWindowTest, ClosesSafelyAndShowsAgain)
{
    {
        CProgressWindow never;
        never.Close();
        never.SetPos(5);
        never.Close();
    }
    EXPECT_EQ(HWND(NULL), FindProgressDialog());
    EXPECT_FALSE(m_app.IsWaitCursorShown());

    CProgressWindow progress;
    progress.SetText("Exporting info...", 0, 50);
    progress.Show(m_frame);
    HWND first = FindProgressDialog();
    ASSERT_NE(HWND(NULL), first);
    progress.SetText("Exporting covers...", 0, 200);
    EXPECT_EQ("Exporting info...", TextOf(first));
    EXPECT_EQ(50, BarRange(first).iHigh);

    // Showing again replaces the earlier window.
    progress.Show(m_frame);
    int count = 0;
    HWND second = FindProgressDialog(&count);
    EXPECT_EQ(1, count);
    ASSERT_NE(HWND(NULL), second);
    EXPECT_EQ("Exporting covers...", TextOf(second));
    EXPECT_EQ(200, BarRange(second).iHigh);
    progress.SetPos(150);
    EXPECT_EQ(150, BarPos(second));
    EXPECT_TRUE(m_app.IsWaitCursorShown());

    progress.Close();
    progress.Close();
    EXPECT_EQ(HWND(NULL), FindProgressDialog());
    EXPECT_FALSE(m_app.IsWaitCursorShown());

    progress.Show(m_frame);
    HWND third = FindProgressDialog();
    ASSERT_NE(HWND(NULL), third);
    EXPECT_TRUE(::IsWindowVisible(third));
    EXPECT_EQ("Exporting covers...", TextOf(third));
}

// Destroying the object takes its window with it.
TEST_F(ProgressWindowTest, DestructionClosesTheWindow)
{
    {
        CProgressWindow progress;
        progress.Show(m_frame);
        ASSERT_NE(HWND(NULL), FindProgressDialog());
    }
    EXPECT_EQ(HWND(NULL), FindProgressDialog());
    EXPECT_FALSE(m_app.IsWaitCursorShown());
}

// Notes what is on screen at each step of a load.
class WatchedLoadProgress : public CLoadProgressWindow {
public:
    explicit WatchedLoadProgress(CWnd* over) : CLoadProgressWindow(over) {}
    void SetPos(int pos) override
    {
        CLoadProgressWindow::SetPos(pos);
        HWND dialog = FindProgressDialog();
        if (dialog == NULL)
            return;
        steps++;
        text = TextOf(dialog);
        high = BarRange(dialog).iHigh;
        last = int(BarPos(dialog));
    }
    int steps = 0, high = 0, last = -1;
    std::string text;
};

TEST_F(ProgressWindowTest, DatabaseLoadShowsAndClosesTheWindow)
{
    std::string path = std::string(VISTREL_TEST_DATA) + "/vdb/v12.vdb";
    WatchedLoadProgress progress(m_frame);
    ASSERT_TRUE(theCollection.Load(path.c_str(), &progress));
    EXPECT_EQ(3u, theCollection.GetMovieCount());
    EXPECT_EQ(9, progress.steps);
    EXPECT_EQ("Loading " + path + "...", progress.text);
    EXPECT_EQ(32000, progress.high);
    // The bar follows the bytes read: the last record starts before the end.
    EXPECT_GT(progress.last, 16000);
    EXPECT_LT(progress.last, 32000);
    EXPECT_EQ(HWND(NULL), FindProgressDialog());
    EXPECT_FALSE(m_app.IsWaitCursorShown());
    theCollection.Clear();
}

// Counts the bar's moves on this thread, with the bar's width and the last
// position.
int g_barMoves = 0;
int g_barWidth = 0;
int g_barLast = -1;

LRESULT CALLBACK CountBarMoves(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == PBM_SETPOS) {
        g_barMoves++;
        g_barLast = int(call->wParam);
        RECT bar;
        if (::GetClientRect(call->hwnd, &bar))
            g_barWidth = bar.right - bar.left;
    }
    return ::CallNextHookEx(NULL, code, wParam, lParam);
}

TEST_F(ProgressWindowTest, ALargeLoadMovesTheBarOnlyWhereItShows)
{
    char folder[MAX_PATH] = "";
    ASSERT_NE(0u, ::GetTempPathA(sizeof folder, folder));
    std::string path = std::string(folder) + "vistrel-progress-steps.vdb";
    ASSERT_TRUE(WriteCatalogue(path, 10000));
    g_barMoves = 0;
    g_barWidth = 0;
    g_barLast = -1;
    HHOOK hook = ::SetWindowsHookExA(WH_CALLWNDPROC, CountBarMoves, NULL, ::GetCurrentThreadId());
    CLoadProgressWindow progress(m_frame);
    bool loaded = theCollection.Load(path.c_str(), &progress);
    ::UnhookWindowsHookEx(hook);
    ::DeleteFileA(path.c_str());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(10000u, theCollection.GetMovieCount());
    // One move per pixel at most, and the bar ends near its end.
    EXPECT_GT(g_barWidth, 50);
    EXPECT_GE(g_barMoves, g_barWidth / 2);
    EXPECT_LE(g_barMoves, g_barWidth + 1);
    EXPECT_GT(g_barLast, 31000);
    theCollection.Clear();
}

} // namespace

#endif // _WIN32
