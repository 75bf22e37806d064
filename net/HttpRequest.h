// The request texts the HTTP client sends: GET or form POST, to the web
// server itself (also through a SOCKS tunnel) or to an HTTP proxy.
#pragma once

#include <string>

extern const char kHttpUserAgent[];

// "<header>: Basic <base64 of user:password>\r\n" on one line, however long
// the credentials are.
std::string BasicAuthLine(const char* header, const std::string& user, const std::string& password);

struct CHttpRequestText {
    int minorVersion = 1;          // HTTP/1.0 or HTTP/1.1
    bool viaHttpProxy = false;     // absolute address and proxy login
    std::string hostText;          // "host" or "host:port"
    std::string path;
    std::string auth;              // the Authorization line or empty
    std::string proxyAuth;         // the Proxy-Authorization line or empty
    const char* body = nullptr;    // NULL or empty: GET
};

std::string BuildHttpRequest(const CHttpRequestText& request);
