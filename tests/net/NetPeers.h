// What the Windows tests of the internet retrieval share: the ports of the
// peers that peers.sh started, and one request through a client of the
// test's own.
#pragma once

#ifdef _WIN32

#include <string>

#include "net/HttpClient.h"

// The port of a peer named in the ports file ("http", "socks",
// "tinyproxy"...); 0 when it is not there.
int PeerPort(const char* name);
// "http://127.0.0.1:<web server port>" followed by the path.
std::string PeerUrl(const char* path);
// A Windows path of a file in the peers' folder.
std::string PeerFile(const char* name);

// The outcome of one Fetch.
struct FetchResult {
    bool ok = false;
    std::string body;
    std::string errors;        // the whole report
    size_t errorCount = 0;
    int firstKind = -1;
    std::string firstText;
    unsigned long elapsedMs = 0;
};

// Clears the client's errors, fetches, and checks that a failure leaves
// the buffer empty. A status, when given, follows the request's steps.
FetchResult FetchWith(CHttpClient& client, const std::string& url, const char* body = nullptr,
                      CDownloadStatus* status = nullptr);

#endif
