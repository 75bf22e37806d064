// Handlers that throw: the window or dialog answers the message's default
// result and goes on, the failure is reported once, and a worker whose
// function throws ends its job as failed.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <new>
#include <set>

#include "TestResource.h"
#include "TestSupport.h"
#include "classlib/Exception.h"
#include "classlib/WorkerJob.h"

namespace {

enum Failure { OutOfMemory, FileFailure, Unknown };
Failure g_failure = OutOfMemory;
int g_nPaints = 0;
std::atomic<bool> g_failedInsideBox(false);

void Fail()
{
    if (g_failure == OutOfMemory)
        throw std::bad_alloc();
    if (g_failure == FileFailure)
        throw CFileException(CFileException::diskFull, -1, "C:\\films.vdb");
    throw 42;
}

// Both fail on WM_GETTEXTLENGTH, whose default result is the caption's
// length; the window on every paint, the dialog on WM_APP.
class CFailingWnd : public CWnd {
protected:
    LRESULT OnTextLength(WPARAM, LPARAM) { Fail(); return 0; }
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
    LRESULT OnTextLength(WPARAM, LPARAM) { Fail(); return 0; }
    LRESULT OnApp(WPARAM, LPARAM)
    {
        g_failedInsideBox = true;
        Fail();
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFailingDialog, CDialog)
    ON_MESSAGE(WM_GETTEXTLENGTH, OnTextLength)
    ON_MESSAGE(WM_APP, OnApp)
END_MESSAGE_MAP()

// Closes every failure box on screen (captioned with the application's
// name) once the dialog has failed inside one, until told to stop.
struct BoxCloser {
    DWORD uiThread = ::GetCurrentThreadId();
    std::atomic<bool> stop{ false };
    std::set<HWND> closed;
};

BOOL CALLBACK CloseFailureBox(HWND hWnd, LPARAM lParam)
{
    char caption[64] = "";
    ::GetWindowText(hWnd, caption, sizeof(caption));
    if (::IsWindowVisible(hWnd) && std::strcmp(caption, theTestApp.m_pszAppName) == 0) {
        reinterpret_cast<BoxCloser*>(lParam)->closed.insert(hWnd);
        ::PostMessage(hWnd, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

UINT CloseFailureBoxes(LPVOID pParam)
{
    BoxCloser* closer = static_cast<BoxCloser*>(pParam);
    while (!closer->stop) {
        if (g_failedInsideBox)
            ::EnumThreadWindows(closer->uiThread, &CloseFailureBox, (LPARAM)closer);
        ::Sleep(10);
    }
    return 0;
}

UINT FailingWorker(LPVOID)
{
    throw std::bad_alloc();
}

UINT QuietWorker(LPVOID)
{
    return 0;
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
        Failure failure;
        const char* caption;
        const char* report;
    } cases[] = {
        { &wnd, OutOfMemory, "failing window", "Out of memory." },
        { &dlg, FileFailure, "Test dialog", "The file C:\\films.vdb could not be read or written." },
        // The same window and message again, after another failure between.
        { &wnd, Unknown, "failing window", "An unexpected error occurred." },
    };
    for (const auto& c : cases) {
        g_failure = c.failure;
        for (int round = 0; round < 2; ++round) {
            AfxShowMessageBox(nullptr, "none", "", MB_OK);
            EXPECT_EQ((LRESULT)std::strlen(c.caption), c.pWnd->SendMessage(WM_GETTEXTLENGTH)) << c.report;
            EXPECT_EQ(round == 0 ? c.report : "none", AfxLastMessageBoxText());
        }
    }

    // A failed paint is reported once, and its region is validated rather
    // than painted again and again.
    g_nPaints = 0;
    for (int round = 0; round < 2; ++round) {
        AfxShowMessageBox(nullptr, "none", "", MB_OK);
        wnd.Invalidate();
        wnd.UpdateWindow();
        EXPECT_EQ(round == 0 ? "An unexpected error occurred." : "none", AfxLastMessageBoxText());
        EXPECT_FALSE(::GetUpdateRect(wnd.m_hWnd, nullptr, FALSE));
    }
    EXPECT_EQ(2, g_nPaints);
    EXPECT_TRUE(::IsWindow(wnd.m_hWnd) && ::IsWindow(dlg.m_hWnd));
}

TEST(Guard, NothingIsReportedWhileAReportIsOnScreen)
{
    CFailingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "boxed window", WS_OVERLAPPEDWINDOW, 0, 0, 100, 50, nullptr, nullptr));
    CFailingDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_TESTDIALOG));
    g_failure = OutOfMemory;
    g_failedInsideBox = false;
    // Dispatched by the loop of the first failure's box.
    dlg.PostMessage(WM_APP);
    BoxCloser closer;
    CWinThread* pCloser = AfxBeginThread(&CloseFailureBoxes, &closer);
    ASSERT_NE(pCloser, nullptr);

    AfxSetMessageBoxRecording(false);
    wnd.SendMessage(WM_GETTEXTLENGTH);
    AfxSetMessageBoxRecording(true, IDOK);
    closer.stop = true;
    // It may be asking this thread's windows for their captions.
    EXPECT_TRUE(WaitPumping(pCloser->m_hThread));
    delete pCloser;
    EXPECT_TRUE(g_failedInsideBox);
    EXPECT_EQ(1u, closer.closed.size());
}

TEST(Guard, WorkerThatThrowsEndsItsJobAsFailed)
{
    CWorkerJob job;
    ASSERT_TRUE(job.Start(&FailingWorker, nullptr));
    ASSERT_TRUE(job.Join(60000));
    EXPECT_TRUE(job.IsDone());
    EXPECT_TRUE(job.HasFailed());
    ASSERT_TRUE(job.Start(&QuietWorker, nullptr));
    ASSERT_TRUE(job.Join(60000));
    EXPECT_FALSE(job.HasFailed());

    // A thread without a job tells by its exit code.
    CWinThread* pThread = AfxBeginThread(&FailingWorker, nullptr);
    ASSERT_NE(pThread, nullptr);
    ASSERT_EQ(::WaitForSingleObject(pThread->m_hThread, 60000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    EXPECT_TRUE(::GetExitCodeThread(pThread->m_hThread, &exitCode));
    EXPECT_EQ(exitCode, AFX_THREAD_FAILED);
    delete pThread;
}
