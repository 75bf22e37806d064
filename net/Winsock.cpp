#include "net/Winsock.h"

#ifdef _WIN32

#include <winsock2.h>

bool InitWinsock()
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return false;
    if (LOBYTE(data.wVersion) != 2) {
        WSACleanup();
        return false;
    }
    return true;
}

#endif
