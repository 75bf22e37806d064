// The sockets of one HTTP request. A select thread of the manager's own
// receives whatever arrives into each socket's buffer, sends what is queued
// and reports the speed; the request thread queues bytes and waits for
// replies with a time-out that counts from the last bytes moved. Stop, from
// any thread, closes the sockets and joins the select thread, which ends
// the request at once.
//
// One lock guards the sockets and their buffers; it is never held across a
// wait or a blocking call.
#pragma once

#ifdef _WIN32

#include <winsock2.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "classlib/WinThread.h"
#include "net/ManagedSocket.h"

class CHttpClient;

class CSocketManager {
public:
    enum { kMaxSockets = 64 };
    enum State { RUNNING = 0, STOPPING = 1, FINISHED = 2 };

    // Starts the select thread. Errors go to the owner.
    CSocketManager(CHttpClient* owner, unsigned long readTimeoutMs = 20000);
    // Stops the thread and closes every socket.
    virtual ~CSocketManager();

    // False when the select thread could not start.
    bool IsStarted() const { return m_thread != nullptr; }

    // Takes over a connected socket, made non-blocking (even on failure the
    // manager closes it).
    bool AddSocket(SOCKET socket);
    // Queues the bytes; they leave at once when the socket takes them.
    bool Send(SOCKET socket, const void* bytes, size_t n);
    // Once everything queued is sent, waits for n received bytes and takes
    // them.
    bool Read(SOCKET socket, void* buffer, size_t n);
    // Once everything queued is sent, waits until the peer closes (or falls
    // silent for the time-out) and takes all that was received, as a heap
    // buffer freed with free. False when nothing came, the connection
    // failed or the manager was stopped.
    bool ReadAll(SOCKET socket, char** buffer, size_t* length);
    // Closes the sockets and joins the select thread; from any thread.
    void Stop();

    int GetState() const { return m_state; }

private:
    CSocketManager(const CSocketManager&) = delete;
    CSocketManager& operator=(const CSocketManager&) = delete;

    static UINT SelectThread(LPVOID param);
    void RunSelect();
    void ReceivePass(const fd_set& readable);
    void ReceiveFrom(CManagedSocket* socket);
    void SendPass();
    // Sends what the socket has queued until it takes no more; the lock is
    // held.
    void FlushSend(CManagedSocket* socket);
    CManagedSocket* Find(SOCKET socket);
    // Find for the request thread: a socket never added is the caller's
    // error, reported with the lock released.
    CManagedSocket* FindAdded(std::unique_lock<std::mutex>& lock, SOCKET socket);
    // Waits until ready() holds, the socket closes, the manager stops or
    // the socket has been idle for the time-out; the lock is held.
    template <class Ready>
    void Wait(std::unique_lock<std::mutex>& lock, CManagedSocket* socket, Ready ready);

    unsigned long m_readTimeout;
    CHttpClient* m_owner;
    CWinThread* m_thread;
    std::atomic<int> m_state;
    std::mutex m_joinLock;

    // The speed reported by the select thread: bytes since the span began.
    DWORD m_spanStart;
    size_t m_spanBytes;

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<std::unique_ptr<CManagedSocket>> m_sockets;
};

#endif
