// Worker threads and the message loop with idle processing.
#include <gtest/gtest.h>

#include <atomic>

#include "TestSupport.h"

namespace {

struct ThreadProbe {
    std::atomic<int> value{ 0 };
    CWinThread* pSeen = nullptr;
};

UINT SetValueThread(LPVOID pParam)
{
    ThreadProbe* probe = static_cast<ThreadProbe*>(pParam);
    probe->pSeen = AfxGetThread();
    probe->value = 42;
    return 7;
}

class CCountingWnd : public CWnd {
public:
    int m_nHits = 0;

protected:
    LRESULT OnHit(WPARAM, LPARAM)
    {
        ++m_nHits;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCountingWnd, CWnd)
    ON_MESSAGE(WM_APP + 5, OnHit)
END_MESSAGE_MAP()

// A loop that ends itself the first time it falls idle.
class CQuittingLoop : public CWinThread {
public:
    CCountingWnd* m_pWnd = nullptr;
    int m_nHitsAtIdle = -1;
    int m_nPreTranslate = 0;

    BOOL OnIdle(LONG lCount) override
    {
        if (m_nHitsAtIdle < 0) {
            m_nHitsAtIdle = m_pWnd->m_nHits;
            ::PostQuitMessage(9);
        }
        CWinThread::OnIdle(lCount);
        return FALSE;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        ++m_nPreTranslate;
        return CWinThread::PreTranslateMessage(pMsg);
    }
};

} // namespace

TEST(Thread, WorkerRunsAndItsHandleStaysWaitableAfterItEnds)
{
    ThreadProbe probe;
    CWinThread* pThread = AfxBeginThread(&SetValueThread, &probe);
    ASSERT_NE(pThread, nullptr);
    ASSERT_EQ(::WaitForSingleObject(pThread->m_hThread, 60000), WAIT_OBJECT_0);
    ::Sleep(20);
    EXPECT_EQ(::WaitForSingleObject(pThread->m_hThread, 0), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    EXPECT_TRUE(::GetExitCodeThread(pThread->m_hThread, &exitCode));
    EXPECT_EQ(exitCode, 7u);
    EXPECT_EQ(probe.value, 42);
    EXPECT_EQ(probe.pSeen, pThread);
    EXPECT_NE(pThread->m_nThreadID, 0u);
    delete pThread;

    EXPECT_EQ(AfxGetThread(), &theTestApp);
}

TEST(Thread, SuspendedWorkerWaitsForResume)
{
    ThreadProbe probe;
    CWinThread* pThread = AfxBeginThread(&SetValueThread, &probe, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(pThread, nullptr);
    EXPECT_EQ(::WaitForSingleObject(pThread->m_hThread, 100), (DWORD)WAIT_TIMEOUT);
    EXPECT_EQ(probe.value, 0);
    pThread->ResumeThread();
    ASSERT_EQ(::WaitForSingleObject(pThread->m_hThread, 60000), WAIT_OBJECT_0);
    EXPECT_EQ(probe.value, 42);
    delete pThread;

    EXPECT_EQ(AfxBeginThread(nullptr, nullptr), nullptr);
}

TEST(Thread, MessageLoopDispatchesThenIdlesThenEndsOnQuit)
{
    PumpPending();
    CCountingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "loop", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr));
    for (int i = 0; i < 3; ++i)
        wnd.PostMessage(WM_APP + 5);

    CQuittingLoop loop;
    loop.m_pWnd = &wnd;
    EXPECT_EQ(loop.Run(), 9);
    EXPECT_EQ(wnd.m_nHits, 3);
    EXPECT_EQ(loop.m_nHitsAtIdle, 3);
    EXPECT_GE(loop.m_nPreTranslate, 3);
    wnd.DestroyWindow();
}
