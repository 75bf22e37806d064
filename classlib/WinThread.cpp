#include "classlib/WinThread.h"
#include "classlib/FrameWnd.h"
#include "classlib/WinApp.h"
#include "classlib/WorkerJob.h"
#include "classlib/Wnd.h"

#include <process.h>

namespace {

// The thread object of the running thread, in a system TLS slot: the
// runtime's thread_local takes a heap block on a thread's first use, and
// ends the process when it cannot get one.
DWORD ThreadSlot()
{
    static const DWORD slot = ::TlsAlloc();
    return slot;
}

void SetCurrentThreadObject(CWinThread* pThread)
{
    if (ThreadSlot() != TLS_OUT_OF_INDEXES)
        ::TlsSetValue(ThreadSlot(), pThread);
}

CWinThread* CurrentThreadObject()
{
    return ThreadSlot() != TLS_OUT_OF_INDEXES ? static_cast<CWinThread*>(::TlsGetValue(ThreadSlot())) : nullptr;
}

} // namespace

CWinThread::CWinThread()
{
}

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam)
{
}

CWinThread::~CWinThread()
{
    if (m_hThread != nullptr)
        ::CloseHandle(m_hThread);
}

unsigned __stdcall CWinThread::ThreadEntry(void* pParam)
{
    CWinThread* pThread = static_cast<CWinThread*>(pParam);
    // Everything the thread needs is taken now: unless it deletes itself,
    // the object may be deleted by its owner while the function runs.
    AFX_THREADPROC pfn = pThread->m_pfnThreadProc;
    LPVOID param = pThread->m_pThreadParams;
    bool autoDelete = pThread->m_bAutoDelete != FALSE;
    CWorkerJob* pJob = pThread->m_pJob;
    SetCurrentThreadObject(pThread);
    UINT result;
    try {
        result = pfn(param);
    } catch (...) {
        // The worker shows nothing; whoever waits for it learns it failed.
        result = AFX_THREAD_FAILED;
        if (pJob != nullptr)
            pJob->Fail();
    }
    SetCurrentThreadObject(nullptr);
    if (autoDelete)
        delete pThread;
    return result;
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (m_hThread != nullptr || m_pfnThreadProc == nullptr)
        return FALSE;
    unsigned id = 0;
    // Started suspended so that the handle and id are stored before it runs.
    uintptr_t h = _beginthreadex(lpSecurityAttrs, nStackSize, &ThreadEntry, this,
                                 CREATE_SUSPENDED, &id);
    if (h == 0)
        return FALSE;
    m_hThread = (HANDLE)h;
    m_nThreadID = id;
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        ::ResumeThread(m_hThread);
    return TRUE;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority,
                           UINT nStackSize, DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (pfnThreadProc == nullptr)
        return nullptr;
    CWinThread* pThread = new CWinThread(pfnThreadProc, pParam);
    if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
        delete pThread;
        return nullptr;
    }
    pThread->SetThreadPriority(nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        pThread->ResumeThread();
    return pThread;
}

CWinThread* AfxGetThread()
{
    if (CWinThread* pThread = CurrentThreadObject())
        return pThread;
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->m_nThreadID == ::GetCurrentThreadId())
        return pApp;
    return nullptr;
}

// ---------------------------------------------------------------------------
// The message loop

int CWinThread::ExitInstance()
{
    return (int)m_msgCur.wParam;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    return AfxPreTranslateMessage(pMsg);
}

BOOL CWinThread::PumpMessage()
{
    if (!::GetMessage(&m_msgCur, nullptr, 0, 0))
        return FALSE;
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessage(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg)
{
    // A mouse that did not move, painting and caret blinks do not end idleness.
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        if (pMsg->message == m_nLastMouseMsg && pMsg->pt.x == m_ptLastMouse.x
            && pMsg->pt.y == m_ptLastMouse.y)
            return FALSE;
        m_ptLastMouse = pMsg->pt;
        m_nLastMouseMsg = pMsg->message;
        return TRUE;
    }
    return pMsg->message != WM_PAINT && pMsg->message != 0x0118;   // 0x0118: caret timer
}

BOOL CWinThread::OnIdle(LONG lCount)
{
    if (lCount <= 0) {
        // Tool-bar buttons follow their command-update handlers.
        CFrameWnd* pFrame = dynamic_cast<CFrameWnd*>(GetMainWnd());
        if (pFrame != nullptr && pFrame->m_hWnd != nullptr && pFrame->IsWindowVisible())
            pFrame->OnIdleUpdateCmdUI();
        return TRUE;
    }
    CWnd::DeleteTempMap();
    return FALSE;
}

int CWinThread::Run()
{
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    for (;;) {
        while (bIdle && !::PeekMessage(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(lIdleCount++))
                bIdle = FALSE;
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            if (IsIdleMessage(&m_msgCur)) {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessage(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE));
    }
}
