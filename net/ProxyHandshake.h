// The SOCKS5 (with login), SOCKS4 and SOCKS4A handshakes that ask a proxy
// for a tunnel to the web server before the HTTP request goes through it.
// Each failure is recorded in the client; the bytes go through a channel,
// the request's socket manager.
#pragma once

#include <cstddef>
#include <string>

class CHttpClient;

class IProxyChannel {
public:
    virtual ~IProxyChannel() {}
    virtual bool Send(const void* bytes, size_t n) = 0;
    // Exactly n bytes.
    virtual bool Read(void* buffer, size_t n) = 0;
};

// Where the tunnel goes: the web server's IPv4 address (0.0.0.1 when the
// name could not be resolved here and goes to the proxy instead), its port
// and its host text ("host" or "host:port").
struct CProxyTarget {
    unsigned char address[4] = { 0, 0, 0, 1 };
    unsigned short port = 80;
    std::string hostText;

    bool IsUnresolved() const { return address[0] == 0 && address[1] == 0 && address[2] == 0 && address[3] == 1; }
};

// Login and password come from the client's settings.
bool Socks5Handshake(CHttpClient& client, IProxyChannel& channel, const CProxyTarget& target);
// socks4a sends the name of an unresolved target; userId names the user.
bool Socks4Handshake(CHttpClient& client, IProxyChannel& channel, const CProxyTarget& target, bool socks4a,
                     const char* userId);
