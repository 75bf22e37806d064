#include "net/ManagedSocket.h"

#ifdef _WIN32

#include <cstdlib>

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
    free(m_receive);
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
    // Growing by half again keeps the copies few and the spare room small.
    size_t capacity = m_receiveCapacity + m_receiveCapacity / 2;
    if (capacity < m_receiveLength + n)
        capacity = m_receiveLength + n;
    char* grown = static_cast<char*>(realloc(m_receive, capacity));
    if (grown == nullptr)
        return false;
    m_receive = grown;
    m_receiveCapacity = capacity;
    return true;
}

char* CManagedSocket::TakeReceived(size_t* length)
{
    *length = 0;
    if (m_receiveLength == 0)
        return nullptr;
    // The spare room of the growth goes back to the heap.
    char* data = static_cast<char*>(realloc(m_receive, m_receiveLength));
    if (data == nullptr)
        data = m_receive;
    *length = m_receiveLength;
    m_receive = nullptr;
    m_receiveLength = 0;
    m_receiveCapacity = 0;
    return data;
}

#endif
