#include "net/SocketManager.h"

#ifdef _WIN32

#include <cstring>

#include "net/HttpClient.h"
#include "net/HttpReply.h"

namespace {

// The first receive step; it grows while recv returns within one tick.
const size_t kFirstStep = 512;
const size_t kStepGrowth = 256;
const size_t kMaxStep = 64 * 1024;
// select waits this long, which bounds the reaction to anything that does
// not wake it.
const long kSelectSeconds = 1;
const long kSelectMicroseconds = 1000;
// With no socket, or after a select error, the thread rests this long.
const std::chrono::milliseconds kIdleRest(100);
// The speed is reported over spans of at least this long.
const DWORD kSpeedSpanMs = 250;

} // namespace

CSocketManager::CSocketManager(CHttpClient* owner, unsigned long readTimeoutMs)
    : m_readTimeout(readTimeoutMs),
      m_owner(owner),
      m_thread(nullptr),
      m_state(RUNNING),
      m_spanStart(GetTickCount()),
      m_spanBytes(0)
{
    m_thread = AfxBeginThread(SelectThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (m_thread != nullptr)
        m_thread->ResumeThread();
    else
        m_state = FINISHED;
}

CSocketManager::~CSocketManager()
{
    Stop();
    std::lock_guard<std::mutex> guard(m_lock);
    m_sockets.clear();
}

UINT CSocketManager::SelectThread(LPVOID param)
{
    static_cast<CSocketManager*>(param)->RunSelect();
    return 0;
}

void CSocketManager::Stop()
{
    int running = RUNNING;
    m_state.compare_exchange_strong(running, STOPPING);
    {
        std::lock_guard<std::mutex> guard(m_lock);
        for (auto& socket : m_sockets)
            socket->Close(false);
    }
    m_changed.notify_all();
    // Closing the sockets wakes select; the join is bounded by its wait.
    std::lock_guard<std::mutex> join(m_joinLock);
    if (m_thread != nullptr) {
        WaitForSingleObject(m_thread->m_hThread, INFINITE);
        delete m_thread;
        m_thread = nullptr;
    }
}

CManagedSocket* CSocketManager::Find(SOCKET socket)
{
    for (auto& managed : m_sockets) {
        if (managed->m_id == socket)
            return managed.get();
    }
    return nullptr;
}

CManagedSocket* CSocketManager::FindAdded(std::unique_lock<std::mutex>& lock, SOCKET socket)
{
    CManagedSocket* managed = Find(socket);
    if (managed == nullptr) {
        lock.unlock();
        m_owner->AddError(HTTP_ERROR_PROGRAM, 0, "This socket was never added");
    }
    return managed;
}

bool CSocketManager::AddSocket(SOCKET socket)
{
    std::unique_lock<std::mutex> lock(m_lock);
    if (Find(socket) != nullptr)
        return true;
    if (m_state != RUNNING || m_sockets.size() >= kMaxSockets) {
        lock.unlock();
        closesocket(socket);
        m_owner->AddError(HTTP_ERROR_CONNECT, 0, "Unable to connect");
        return false;
    }
    m_sockets.emplace_back(new CManagedSocket(this, socket));
    u_long nonBlocking = 1;
    if (ioctlsocket(socket, FIONBIO, &nonBlocking) != 0) {
        int error = WSAGetLastError();
        m_sockets.pop_back();
        lock.unlock();
        m_owner->AddError(HTTP_ERROR_SOCKET_MODE, error, "Unable to set socket to non-blocking mode");
        return false;
    }
    lock.unlock();
    m_changed.notify_all();
    return true;
}

void CSocketManager::FlushSend(CManagedSocket* socket)
{
    size_t sent = 0;
    while (socket->IsOpen() && sent < socket->m_send.size()) {
        socket->NoteActivity();
        int n = send(socket->m_socket, socket->m_send.data() + sent, int(socket->m_send.size() - sent), 0);
        if (n == SOCKET_ERROR) {
            int error = WSAGetLastError();
            if (error == WSAEWOULDBLOCK)
                break;
            // A broken connection fails its waiting reader now rather than
            // after the time-out.
            m_owner->AddError(HTTP_ERROR_SEND, error, "Unable to send data");
            socket->Close(true);
            return;
        }
        sent += size_t(n);
    }
    socket->m_send.erase(socket->m_send.begin(), socket->m_send.begin() + ptrdiff_t(sent));
}

bool CSocketManager::Send(SOCKET socket, const void* bytes, size_t n)
{
    std::unique_lock<std::mutex> lock(m_lock);
    CManagedSocket* managed = FindAdded(lock, socket);
    if (managed == nullptr)
        return false;
    if (!managed->IsOpen() || m_state != RUNNING)
        return false;
    const char* data = static_cast<const char*>(bytes);
    managed->m_send.insert(managed->m_send.end(), data, data + n);
    FlushSend(managed);
    bool open = managed->IsOpen();
    lock.unlock();
    m_changed.notify_all();
    return open;
}

template <class Ready>
void CSocketManager::Wait(std::unique_lock<std::mutex>& lock, CManagedSocket* socket, Ready ready)
{
    const std::chrono::milliseconds timeout(m_readTimeout);
    while (!ready() && socket->IsOpen() && m_state == RUNNING) {
        CManagedSocket::Clock::time_point deadline = socket->m_lastActivity + timeout;
        if (CManagedSocket::Clock::now() >= deadline)
            return;
        m_changed.wait_until(lock, deadline);
    }
}

bool CSocketManager::Read(SOCKET socket, void* buffer, size_t n)
{
    std::unique_lock<std::mutex> lock(m_lock);
    CManagedSocket* managed = FindAdded(lock, socket);
    if (managed == nullptr)
        return false;
    Wait(lock, managed, [&] { return managed->m_send.empty() && managed->m_receiveLength >= n; });
    if (m_state != RUNNING || !managed->m_send.empty() || managed->m_receiveLength < n)
        return false;
    memcpy(buffer, managed->m_receive, n);
    memmove(managed->m_receive, managed->m_receive + n, managed->m_receiveLength - n);
    managed->m_receiveLength -= n;
    return true;
}

bool CSocketManager::ReadAll(SOCKET socket, char** buffer, size_t* length)
{
    *buffer = nullptr;
    *length = 0;
    std::unique_lock<std::mutex> lock(m_lock);
    CManagedSocket* managed = FindAdded(lock, socket);
    if (managed == nullptr)
        return false;
    // Until the peer closes; one that falls silent without closing gives
    // what it sent once the time-out has passed.
    Wait(lock, managed, [] { return false; });
    if (m_state != RUNNING || managed->m_failed || !managed->m_send.empty())
        return false;
    *buffer = managed->TakeReceived(length);
    return *buffer != nullptr;
}

void CSocketManager::RunSelect()
{
    while (m_state == RUNNING) {
        fd_set readable;
        fd_set writable;
        FD_ZERO(&readable);
        FD_ZERO(&writable);
        {
            std::unique_lock<std::mutex> lock(m_lock);
            for (auto& socket : m_sockets) {
                if (!socket->IsOpen())
                    continue;
                FD_SET(socket->m_socket, &readable);
                if (!socket->m_send.empty())
                    FD_SET(socket->m_socket, &writable);
            }
            if (readable.fd_count == 0) {
                m_changed.wait_for(lock, kIdleRest);
                continue;
            }
        }
        timeval wait = { kSelectSeconds, kSelectMicroseconds };
        int ready = select(0, &readable, &writable, nullptr, &wait);
        if (m_state != RUNNING)
            break;
        if (ready == SOCKET_ERROR) {
            // A socket closed under select, or the network gone: rest, then
            // look again with the set as it is now.
            std::unique_lock<std::mutex> lock(m_lock);
            m_changed.wait_for(lock, kIdleRest);
            continue;
        }
        if (ready > 0)
            ReceivePass(readable);
        SendPass();
    }
    m_state = FINISHED;
    m_changed.notify_all();
}

void CSocketManager::ReceivePass(const fd_set& readable)
{
    std::vector<CManagedSocket*> sockets;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        for (auto& socket : m_sockets) {
            if (socket->IsOpen() && FD_ISSET(socket->m_socket, &readable))
                sockets.push_back(socket.get());
        }
    }
    // The sockets live as long as the manager: only its destructor, after
    // the join, deletes them.
    for (CManagedSocket* socket : sockets)
        ReceiveFrom(socket);
    m_changed.notify_all();
}

void CSocketManager::ReceiveFrom(CManagedSocket* socket)
{
    size_t step = kFirstStep;
    bool received = false;
    for (;;) {
        std::unique_lock<std::mutex> lock(m_lock);
        if (m_state != RUNNING || !socket->IsOpen())
            break;
        // One byte past the limit is room enough to tell a reply of the
        // limit's size from a larger one.
        size_t room = kMaxHttpReply + 1 - socket->m_receiveLength;
        size_t want = step < room ? step : room;
        if (!socket->Reserve(want)) {
            socket->Close(true);
            lock.unlock();
            m_owner->AddError(HTTP_ERROR_RECEIVE, 0, "Unable to read from socket.");
            break;
        }
        socket->NoteActivity();
        DWORD before = GetTickCount();
        int n = recv(socket->m_socket, socket->m_receive + socket->m_receiveLength, int(want), 0);
        DWORD after = GetTickCount();
        if (n == SOCKET_ERROR) {
            int error = WSAGetLastError();
            if (error == WSAEWOULDBLOCK)
                break;
            socket->Close(true);
            lock.unlock();
            if (error == WSAECONNRESET)
                m_owner->AddError(HTTP_ERROR_CLOSED, 0, "Connection was closed by server.");
            else
                m_owner->AddError(HTTP_ERROR_RECEIVE, error, "Unable to read from socket.");
            break;
        }
        if (n == 0) {
            // The peer has closed; what came in this pass is taken next
            // time round, when the close is seen again.
            if (!received)
                socket->Close(false);
            break;
        }
        socket->m_receiveLength += size_t(n);
        received = true;
        if (socket->m_receiveLength > kMaxHttpReply) {
            socket->Close(true);
            lock.unlock();
            m_owner->AddError(HTTP_ERROR_RECEIVE, 0, "The reply is larger than 16 MB.");
            break;
        }
        if (after == before && step < kMaxStep)
            step += kStepGrowth;
        lock.unlock();

        m_spanBytes += size_t(n);
        DWORD span = after - m_spanStart;
        if (span >= kSpeedSpanMs) {
            m_owner->ReportSpeed(double(m_spanBytes) * 1000.0 / double(span));
            m_spanStart = after;
            m_spanBytes = 0;
        }
    }
}

void CSocketManager::SendPass()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        for (auto& socket : m_sockets) {
            if (socket->IsOpen() && !socket->m_send.empty())
                FlushSend(socket.get());
        }
    }
    m_changed.notify_all();
}

#endif
