// Threads. AfxBeginThread starts a worker on a function; the CWinThread it
// returns holds the thread handle, which callers may wait on for as long as
// they keep the object. The object is not deleted when the thread ends
// (unless m_bAutoDelete is set before the thread starts), so a wait on
// m_hThread after the worker has finished is always valid; the owner deletes
// the object, which closes the handle. The layer never terminates a thread.
// A function that throws ends its thread with AFX_THREAD_FAILED as the exit
// code (and its CWorkerJob, if any, as failed): the exception goes no
// further.
//
// CWinThread also carries the message loop with idle processing that the
// application object runs on the user-interface thread.
#pragma once

#include <windows.h>

#include "classlib/CmdTarget.h"

class CWnd;
class CWorkerJob;

typedef UINT (*AFX_THREADPROC)(LPVOID pParam);

const UINT AFX_THREAD_FAILED = 0xFFFFFFFF;

class CWinThread : public CCmdTarget {
public:
    CWinThread();
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    ~CWinThread() override;

    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0,
                      LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
    DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
    DWORD SuspendThread() { return ::SuspendThread(m_hThread); }
    int GetThreadPriority() const { return ::GetThreadPriority(m_hThread); }
    BOOL SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }
    operator HANDLE() const { return m_hThread; }

    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    BOOL m_bAutoDelete = FALSE;
    CWnd* m_pMainWnd = nullptr;     // the thread's main window

    virtual CWnd* GetMainWnd() { return m_pMainWnd; }

    // The message loop: Run pumps messages until WM_QUIT and calls OnIdle
    // while the queue is empty; every message is first offered to
    // PreTranslateMessage.
    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance();
    virtual int Run();
    virtual BOOL PumpMessage();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL OnIdle(LONG lCount);
    virtual BOOL IsIdleMessage(MSG* pMsg);

    MSG m_msgCur = {};

protected:
    AFX_THREADPROC m_pfnThreadProc = nullptr;
    LPVOID m_pThreadParams = nullptr;

private:
    friend class CWorkerJob;
    CWorkerJob* m_pJob = nullptr;   // told when the function fails
    POINT m_ptLastMouse = { -1, -1 };
    UINT m_nLastMouseMsg = 0;

    static unsigned __stdcall ThreadEntry(void* pParam);
};

// Starts pfnThreadProc(pParam) on a new thread. Returns NULL on failure.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);

// The CWinThread of the calling thread: the application object on the
// user-interface thread, the thread's object on a worker, else NULL.
CWinThread* AfxGetThread();
