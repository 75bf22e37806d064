// A job done by one worker thread for a window. The owner starts it, may
// ask it to stop, and waits for it with a wait that serves what the worker
// sends to the owner's windows (and their painting) but lets no user input
// in. The thread object is deleted only once the thread has ended, and a
// job must not be destroyed while its thread runs: the destructor waits.
// A worker function that throws ends the job as failed, which also counts
// as done.
#pragma once

#include <windows.h>

#include <atomic>

#include "classlib/WinThread.h"

class CWorkerJob {
public:
    CWorkerJob() : m_thread(nullptr), m_stop(false), m_done(true), m_failed(false) {}
    virtual ~CWorkerJob() { Join(INFINITE); }
    CWorkerJob(const CWorkerJob&) = delete;
    CWorkerJob& operator=(const CWorkerJob&) = delete;

    // Starts proc(param) unless a thread of this job still runs.
    bool Start(AFX_THREADPROC proc, LPVOID param)
    {
        if (!Join(0))
            return false;
        m_stop = false;
        m_done = false;
        m_failed = false;
        m_thread = AfxBeginThread(proc, param, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
        if (m_thread == nullptr) {
            m_done = true;
            return false;
        }
        m_thread->m_pJob = this;
        m_thread->ResumeThread();
        return true;
    }

    void RequestStop() { m_stop = true; }
    bool IsStopRequested() const { return m_stop; }
    const std::atomic<bool>& StopFlag() const { return m_stop; }
    // The worker's own word that its work is over.
    void SetDone() { m_done = true; }
    bool IsDone() const { return m_done; }
    // The worker's function ended by an exception.
    bool HasFailed() const { return m_failed; }
    // A thread was started and has not been joined.
    bool IsRunning() const { return m_thread != nullptr; }

    // Waits up to ms for the thread to end, serving sent messages and paint
    // meanwhile; true (and the thread object gone) once it has ended.
    bool Join(DWORD ms)
    {
        if (m_thread == nullptr)
            return true;
        DWORD start = ::GetTickCount();
        for (;;) {
            HANDLE handle = m_thread->m_hThread;
            DWORD waited = ::GetTickCount() - start;
            DWORD left = ms == INFINITE ? INFINITE : (waited >= ms ? 0 : ms - waited);
            DWORD result = ::MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_SENDMESSAGE | QS_PAINT);
            if (result == WAIT_OBJECT_0) {
                delete m_thread;
                m_thread = nullptr;
                return true;
            }
            if (result != WAIT_OBJECT_0 + 1)
                return false;
            // Sent messages are served inside PeekMessage; only paint
            // messages are taken from the queue.
            MSG msg;
            ::PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            while (::PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
                ::DispatchMessage(&msg);
        }
    }

private:
    friend class CWinThread;
    void Fail()
    {
        m_failed = true;
        m_done = true;
    }

    CWinThread* m_thread;
    std::atomic<bool> m_stop;
    std::atomic<bool> m_done;
    std::atomic<bool> m_failed;
};
