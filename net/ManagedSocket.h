// One connected non-blocking socket of a request and its two buffers:
// bytes received and not yet read, and bytes queued and not yet sent. Its
// manager's lock guards every field.
#pragma once

#ifdef _WIN32

#include <winsock2.h>

#include <chrono>
#include <cstddef>
#include <vector>

class CSocketManager;

class CManagedSocket {
public:
    typedef std::chrono::steady_clock Clock;

    CManagedSocket(CSocketManager* manager, SOCKET socket);
    // Closes the connection and frees the buffers.
    virtual ~CManagedSocket();

    // Shuts the connection down and closes it; what was received stays
    // readable. A socket that failed (a receive error, a reply over the
    // size limit) is marked so that its data is not taken as a whole reply.
    void Close(bool failed);
    bool IsOpen() const { return m_socket != INVALID_SOCKET; }

    // Room for n more received bytes; false when memory runs out or the
    // reply would pass the largest the client takes.
    bool Reserve(size_t n);
    // Hands the received bytes over as a heap buffer and empties the
    // receive buffer; NULL when nothing was received.
    char* TakeReceived(size_t* length);
    void NoteActivity() { m_lastActivity = Clock::now(); }

    SOCKET m_socket;       // INVALID_SOCKET once closed
    SOCKET m_id;           // the handle it was added with, for look-ups
    CSocketManager* m_manager;
    char* m_receive;
    size_t m_receiveLength;
    size_t m_receiveCapacity;
    std::vector<char> m_send;
    bool m_failed;
    Clock::time_point m_lastActivity;

private:
    void FreeReceive();

    CManagedSocket(const CManagedSocket&) = delete;
    CManagedSocket& operator=(const CManagedSocket&) = delete;
};

#endif
