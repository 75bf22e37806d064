// Handlers that throw: the window or dialog answers the message's default
// result, the failure is reported once; a worker that throws ends as failed.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <set>

#include "TestResource.h"
#include "TestSupport.h"
#include "classlib/Exception.h"
#include "classlib/WorkerJob.h"

namespace {

int g_failure = 0;
int g_nPaints = 0;
bool g_failedInsideBox = false;

LRESULT Fail()
{
    if (g_failure == 0)
        throw std::bad_alloc();
    if (g_failure == 1)
        throw CFileException(CFileException::diskFull, -1, "C:\\films.vdb");
    throw 42;
}

// Both fail on WM_GETTEXTLENGTH, whose default result is the caption's length.
class CFailingWnd : public CWnd {
protected:
    LRESULT OnTextLength(WPARAM, LPARAM) { return Fail(); }
    void OnPaint()
    {
        ++g_nPaints;
        Fail();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFailingWnd, CWnd)
    ON_MESSAGE(WM_GETTEXTLENGTH, OnTextLength)
    ON_WM_PAINT()
END_MESSAGE_MAP()

class CFailingDialog : public CDialog {
public:
    CFailingDialog() : CDialog(IDD_TESTDIALOG) {}

protected:
    LRESULT OnTextLength(WPARAM, LPARAM) { return Fail(); }
    LRESULT OnApp(WPARAM, LPARAM)
    {
        g_failedInsideBox = true;
        return Fail();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFailingDialog, CDialog)
    ON_MESSAGE(WM_GETTEXTLENGTH, OnTextLength)
    ON_MESSAGE(WM_APP, OnApp)
END_MESSAGE_MAP()

// Run by a timer of the user-interface thread: closes its failure boxes
// (captioned with the application's name) once the dialog has failed
// inside one, and keeps them.
std::set<HWND> g_boxes;

BOOL CALLBACK CloseFailureBox(HWND hWnd, LPARAM)
{
    char caption[64] = "";
    ::GetWindowText(hWnd, caption, sizeof(caption));
    if (::IsWindowVisible(hWnd) && std::strcmp(caption, theTestApp.m_pszAppName) == 0
        && g_boxes.insert(hWnd).second)
        ::PostMessage(hWnd, WM_CLOSE, 0, 0);
    return TRUE;
}

void CALLBACK CloseFailureBoxes(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_failedInsideBox)
        ::EnumThreadWindows(::GetCurrentThreadId(), &CloseFailureBox, 0);
}

// Fails in creation (WM_NCCREATE or WM_CREATE, as told), in close (after
// destroying itself, if told), in WM_APP after destroying itself, and in
// two commands. Counts default handling that reaches it once destroyed.
class CFailingStepsWnd : public CWnd {
public:
    UINT m_failIn = 0;
    bool m_destroyFirst = false;
    int m_defaultOnDestroyed = 0;

    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (m_hWnd == nullptr)
            ++m_defaultOnDestroyed;
        return CWnd::DefWindowProc(message, wParam, lParam);
    }

protected:
    LRESULT OnNcCreateMsg(WPARAM wParam, LPARAM lParam)
    {
        if (m_failIn == WM_NCCREATE)
            Fail();
        return DefWindowProc(WM_NCCREATE, wParam, lParam);
    }
    int OnCreate(LPCREATESTRUCT)
    {
        if (m_failIn == WM_CREATE)
            Fail();
        return 0;
    }
    void OnClose()
    {
        if (m_destroyFirst)
            DestroyWindow();
        Fail();
    }
    LRESULT OnDestroyAndFail(WPARAM, LPARAM)
    {
        DestroyWindow();
        return Fail();
    }
    void OnFirst() { Fail(); }
    void OnSecond() { Fail(); }
    DECLARE_MESSAGE_MAP()
};

const UINT ID_FIRST = 101, ID_SECOND = 102;

BEGIN_MESSAGE_MAP(CFailingStepsWnd, CWnd)
    ON_MESSAGE(WM_NCCREATE, OnNcCreateMsg)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_MESSAGE(WM_APP, OnDestroyAndFail)
    ON_COMMAND(ID_FIRST, OnFirst)
    ON_COMMAND(ID_SECOND, OnSecond)
END_MESSAGE_MAP()

bool CreateSteps(CFailingStepsWnd& wnd)
{
    return wnd.CreateEx(0, nullptr, "steps", WS_OVERLAPPEDWINDOW, 0, 0, 100, 50, nullptr, nullptr) != FALSE;
}

UINT Worker(LPVOID pParam)
{
    return pParam != nullptr ? (UINT)Fail() : 0;
}

} // namespace

TEST(Guard, FailedHandlersAnswerTheDefaultAndAreReportedOnce)
{
    CFailingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "failing window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 240, 120,
                             nullptr, nullptr));
    CFailingDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_TESTDIALOG));
    struct {
        CWnd* pWnd;
        const char* caption;
        const char* report;
    } cases[] = {
        { &wnd, "failing window", "Out of memory." },
        { &dlg, "Test dialog", "The file C:\\films.vdb could not be read or written." },
        // The same window and message again, after another failure between.
        { &wnd, "failing window", "An unexpected error occurred." },
    };
    for (g_failure = 0; g_failure < 3; ++g_failure) {
        for (int round = 0; round < 2; ++round) {
            AfxShowMessageBox(nullptr, "none", "", MB_OK);
            const auto& c = cases[g_failure];
            EXPECT_EQ((LRESULT)std::strlen(c.caption), c.pWnd->SendMessage(WM_GETTEXTLENGTH)) << c.report;
            EXPECT_EQ(round == 0 ? c.report : "none", AfxLastMessageBoxText());
        }
    }

    // A failed paint is reported once and its region validated, so that it
    // is not painted again and again.
    g_nPaints = 0;
    for (int round = 0; round < 2; ++round) {
        AfxShowMessageBox(nullptr, "none", "", MB_OK);
        wnd.Invalidate();
        wnd.UpdateWindow();
        EXPECT_EQ(round == 0 ? "An unexpected error occurred." : "none", AfxLastMessageBoxText());
        EXPECT_FALSE(::GetUpdateRect(wnd.m_hWnd, nullptr, FALSE));
    }
    EXPECT_EQ(2, g_nPaints);
}

TEST(Guard, NothingIsReportedWhileAReportIsOnScreen)
{
    CFailingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 50, nullptr, nullptr));
    CFailingDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_TESTDIALOG));
    g_failure = 0;
    g_failedInsideBox = false;
    dlg.PostMessage(WM_APP);    // dispatched by the loop of the window's failure box
    UINT_PTR timer = ::SetTimer(nullptr, 0, 10, &CloseFailureBoxes);
    AfxSetMessageBoxRecording(false);
    wnd.SendMessage(WM_GETTEXTLENGTH);
    AfxSetMessageBoxRecording(true, IDOK);
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(g_failedInsideBox);
    EXPECT_EQ(1u, g_boxes.size());
}

TEST(Guard, WorkerThatThrowsEndsItsJobAsFailed)
{
    CWorkerJob job;
    for (LPVOID fails : { (LPVOID)&job, (LPVOID)nullptr }) {
        ASSERT_TRUE(job.Start(&Worker, fails));
        ASSERT_TRUE(job.Join(60000));
        EXPECT_EQ(fails != nullptr, job.HasFailed());
        EXPECT_EQ(fails != nullptr, job.IsDone());    // the other one never says it is done
    }
    // A thread without a job tells by its exit code.
    CWinThread* pThread = AfxBeginThread(&Worker, &job);
    ASSERT_TRUE(pThread != nullptr && WaitPumping(pThread->m_hThread));
    DWORD exitCode = 0;
    EXPECT_TRUE(::GetExitCodeThread(pThread->m_hThread, &exitCode));
    EXPECT_EQ(exitCode, AFX_THREAD_FAILED);
    delete pThread;
}

TEST(Guard, EachFailingCommandIsReportedOnlyItsRepeatsAreHeldBack)
{
    CFailingStepsWnd wnd;
    ASSERT_TRUE(CreateSteps(wnd));
    g_failure = 0;
    struct {
        WPARAM command;
        bool reported;
    } steps[] = {
        { ID_FIRST, true },
        { ID_FIRST, false },                      // the same command again
        { ID_SECOND, true },                      // another command of the window
        { MAKEWPARAM(ID_SECOND, 1), true },       // the same id, from an accelerator
        { ID_FIRST, true },
    };
    for (const auto& step : steps) {
        AfxShowMessageBox(nullptr, "none", "", MB_OK);
        wnd.SendMessage(WM_COMMAND, step.command, 0);
        EXPECT_EQ(step.reported ? "Out of memory." : "none", AfxLastMessageBoxText()) << step.command;
    }
}

TEST(Guard, FailedCreationFailsTheWindowAndAFailedCloseKeepsItOpen)
{
    g_failure = 1;
    for (UINT failIn : { UINT(WM_NCCREATE), UINT(WM_CREATE) }) {
        CFailingStepsWnd wnd;
        wnd.m_failIn = failIn;
        AfxShowMessageBox(nullptr, "none", "", MB_OK);
        EXPECT_FALSE(CreateSteps(wnd)) << failIn;
        EXPECT_EQ(nullptr, wnd.m_hWnd);
        EXPECT_EQ("The file C:\\films.vdb could not be read or written.", AfxLastMessageBoxText());
    }

    // The close answers 0 and the window stays (the default close would
    // destroy it).
    g_failure = 2;
    CFailingStepsWnd kept;
    ASSERT_TRUE(CreateSteps(kept));
    EXPECT_EQ(0, kept.SendMessage(WM_CLOSE));
    EXPECT_TRUE(::IsWindow(kept.m_hWnd));

    // A handler that destroyed its window, closing or not: nothing more
    // reaches it.
    for (UINT message : { UINT(WM_CLOSE), UINT(WM_APP) }) {
        CFailingStepsWnd gone;
        gone.m_destroyFirst = true;
        ASSERT_TRUE(CreateSteps(gone));
        HWND hWnd = gone.m_hWnd;
        EXPECT_EQ(0, ::SendMessage(hWnd, message, 0, 0));
        EXPECT_FALSE(::IsWindow(hWnd));
        EXPECT_EQ(0, gone.m_defaultOnDestroyed) << message;
    }
}
