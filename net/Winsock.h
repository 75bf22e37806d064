// Winsock start-up for the internet functions.
#pragma once

#ifdef _WIN32
// Starts Winsock 2.2: true when the call succeeded and version 2 was
// granted (the program calls WSACleanup once at exit then).
bool InitWinsock();
#endif
