#include "net/ManagedSocket.h"

#ifdef _WIN32

#include <cstdlib>

#include <cstring>

#include "net/HttpReply.h"

namespace {

// The receive buffer's address space: the largest reply and one receive
// step more, committed a step at a time.
const size_t kReservedBytes = kMaxHttpReply + 64 * 1024;
const size_t kCommitStep = 256 * 1024;

} // namespace

CManagedSocket::CManagedSocket(CSocketManager* manager, SOCKET socket)
    : m_socket(socket),
      m_id(socket),
      m_manager(manager),
      m_receive(nullptr),
      m_receiveLength(0),
      m_receiveCapacity(0),
      m_failed(false),
      m_lastActivity(Clock::now())
{
}

CManagedSocket::~CManagedSocket()
{
    Close(false);
    FreeReceive();
}

void CManagedSocket::Close(bool failed)
{
    if (failed)
        m_failed = true;
    if (m_socket == INVALID_SOCKET)
        return;
    shutdown(m_socket, SD_BOTH);
    closesocket(m_socket);
    m_socket = INVALID_SOCKET;
    m_send.clear();
}

bool CManagedSocket::Reserve(size_t n)
{
    if (m_receiveCapacity - m_receiveLength >= n)
        return true;
    size_t needed = m_receiveLength + n;
    if (needed > kReservedBytes)
        return false;
    // The whole limit is reserved once as address space and committed as
    // the reply grows, so growing never copies what came.
    if (m_receive == nullptr) {
        m_receive = static_cast<char*>(VirtualAlloc(nullptr, kReservedBytes, MEM_RESERVE, PAGE_NOACCESS));
        if (m_receive == nullptr)
            return false;
    }
    size_t capacity = (needed + kCommitStep - 1) / kCommitStep * kCommitStep;
    if (capacity > kReservedBytes)
        capacity = kReservedBytes;
    if (VirtualAlloc(m_receive + m_receiveCapacity, capacity - m_receiveCapacity, MEM_COMMIT, PAGE_READWRITE) ==
        nullptr)
        return false;
    m_receiveCapacity = capacity;
    return true;
}

char* CManagedSocket::TakeReceived(size_t* length)
{
    *length = 0;
    if (m_receiveLength == 0)
        return nullptr;
    char* data = static_cast<char*>(malloc(m_receiveLength));
    if (data == nullptr)
        return nullptr;
    // Each step copied is given back at once: the reply is held about once,
    // not twice, while it moves.
    for (size_t at = 0; at < m_receiveLength; at += kCommitStep) {
        size_t n = m_receiveLength - at < kCommitStep ? m_receiveLength - at : kCommitStep;
        memcpy(data + at, m_receive + at, n);
        VirtualFree(m_receive + at, kCommitStep, MEM_DECOMMIT);
    }
    *length = m_receiveLength;
    FreeReceive();
    return data;
}

void CManagedSocket::FreeReceive()
{
    if (m_receive != nullptr)
        VirtualFree(m_receive, 0, MEM_RELEASE);
    m_receive = nullptr;
    m_receiveLength = 0;
    m_receiveCapacity = 0;
}

#endif
