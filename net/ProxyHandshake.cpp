#include "net/ProxyHandshake.h"

#include <cstring>
#include <vector>

#include "net/HttpClient.h"

namespace {

typedef std::vector<unsigned char> Bytes;

// The longest name, login or password a SOCKS5 length byte can give.
const size_t kMaxSocks5Field = 255;

bool Fail(CHttpClient& client, const char* text)
{
    client.AddError(HTTP_ERROR_PROXY, 0, "%s", text);
    return false;
}

bool SendBytes(CHttpClient& client, IProxyChannel& channel, const Bytes& bytes)
{
    return channel.Send(bytes.data(), bytes.size()) || Fail(client, "Unable to send data to proxy");
}

bool ReadBytes(CHttpClient& client, IProxyChannel& channel, unsigned char* buffer, size_t n)
{
    return channel.Read(buffer, n) || Fail(client, "Unable to retrieve data from proxy");
}

void AppendText(Bytes& bytes, const std::string& text)
{
    bytes.insert(bytes.end(), text.begin(), text.end());
}

void AppendPort(Bytes& bytes, unsigned short port)
{
    bytes.push_back((unsigned char)(port >> 8));
    bytes.push_back((unsigned char)(port & 0xFF));
}

std::string HostName(const CProxyTarget& target)
{
    return target.hostText.substr(0, target.hostText.find(':'));
}

const char* Socks5ReplyText(unsigned char code)
{
    switch (code) {
    case 1: return "General SOCKS server failure";
    case 2: return "Connection not allowed by ruleset";
    case 3: return "Network unreachable";
    case 4: return "Host unreachable";
    case 5: return "Connection refused";
    case 6: return "TTL expired";
    case 7: return "Command not supported";
    case 8: return "Address type not supported";
    default: return "Unknown proxy error.";
    }
}

const char kNotSocks5[] = "Proxy is not a SOCKS5 server as stated";
const char kMustAuthenticate[] = "You must authenticate to this server";
const char kUnsupportedMethod[] = "The proxy uses an unsupported method.";

bool Socks5Login(CHttpClient& client, IProxyChannel& channel, const std::string& login, const std::string& password)
{
    Bytes request = { 1, (unsigned char)login.size() };
    AppendText(request, login);
    request.push_back((unsigned char)password.size());
    AppendText(request, password);
    unsigned char reply[2];
    if (!SendBytes(client, channel, request) || !ReadBytes(client, channel, reply, 2))
        return false;
    if (reply[0] != 1)
        return Fail(client, kNotSocks5);
    if (reply[1] != 0)
        return Fail(client, "Invalid username/password.");
    return true;
}

} // namespace

bool Socks5Handshake(CHttpClient& client, IProxyChannel& channel, const CProxyTarget& target)
{
    client.SetStatusText("Talking to SOCKS5 proxy...");
    std::string login = client.GetProxyLogin() != nullptr ? client.GetProxyLogin() : "";
    std::string password = client.GetProxyPassword() != nullptr ? client.GetProxyPassword() : "";
    bool withLogin = !login.empty() && !password.empty();
    std::string name = HostName(target);
    // A length byte holds at most 255: longer texts can't be sent at all.
    if ((withLogin && (login.size() > kMaxSocks5Field || password.size() > kMaxSocks5Field)) ||
        (target.IsUnresolved() && (name.empty() || name.size() > kMaxSocks5Field))) {
        client.AddError(HTTP_ERROR_PROGRAM, 0, "Internal proxy handling error");
        return false;
    }

    Bytes greeting = withLogin ? Bytes{ 5, 2, 0, 2 } : Bytes{ 5, 1, 0 };
    unsigned char reply[4];
    if (!SendBytes(client, channel, greeting) || !ReadBytes(client, channel, reply, 2))
        return false;
    if (reply[0] != 5)
        return Fail(client, kNotSocks5);
    switch (reply[1]) {
    case 0:
        break;
    case 1:
        return Fail(client, "GSSAPI is not supported");
    case 2:
        if (!withLogin)
            return Fail(client, kMustAuthenticate);
        if (!Socks5Login(client, channel, login, password))
            return false;
        break;
    case 0xFF:
        return Fail(client, withLogin ? kUnsupportedMethod : kMustAuthenticate);
    default:
        return Fail(client, kUnsupportedMethod);
    }

    Bytes connect = { 5, 1, 0 };
    if (target.IsUnresolved()) {
        connect.push_back(3);
        connect.push_back((unsigned char)name.size());
        AppendText(connect, name);
    } else {
        connect.push_back(1);
        connect.insert(connect.end(), target.address, target.address + 4);
    }
    AppendPort(connect, target.port);
    if (!SendBytes(client, channel, connect) || !ReadBytes(client, channel, reply, 4))
        return false;
    if (reply[0] != 5)
        return Fail(client, kNotSocks5);
    if (reply[1] != 0)
        return Fail(client, Socks5ReplyText(reply[1]));

    // The rest of the reply, the bound address and port, is read and
    // dropped so that the HTTP reply starts clean.
    unsigned char bound[1 + kMaxSocks5Field + 2];
    switch (reply[3]) {
    case 1:
        return ReadBytes(client, channel, bound, 6);
    case 4:
        return ReadBytes(client, channel, bound, 18);
    case 3:
        return ReadBytes(client, channel, bound, 1) && ReadBytes(client, channel, bound + 1, size_t(bound[0]) + 2);
    default:
        return Fail(client, "Unknown proxy error.");
    }
}

bool Socks4Handshake(CHttpClient& client, IProxyChannel& channel, const CProxyTarget& target, bool socks4a,
                     const char* userId)
{
    client.SetStatusText("Talking to SOCKS4(A) proxy...");
    if (target.IsUnresolved() && !socks4a) {
        client.AddError(HTTP_ERROR_PROGRAM, 0, "Internal proxy handling error");
        return false;
    }
    Bytes request = { 4, 1 };
    AppendPort(request, target.port);
    request.insert(request.end(), target.address, target.address + 4);
    AppendText(request, userId != nullptr ? userId : "");
    request.push_back(0);
    if (target.IsUnresolved()) {
        AppendText(request, HostName(target));
        request.push_back(0);
    }
    unsigned char reply[8];
    if (!SendBytes(client, channel, request) || !ReadBytes(client, channel, reply, 8))
        return false;
    if (reply[0] != 0)
        return Fail(client, "Proxy is not a SOCKS4 server as stated");
    switch (reply[1]) {
    case 90:
        return true;
    case 91:
        return Fail(client, "Request rejected or failed");
    case 92:
        return Fail(client, "Request rejected becasue SOCKS server cannot connect to identd on the client");
    case 93:
        return Fail(client, "Request rejected because the client program and identd report different user-ids");
    default:
        return Fail(client, "Unknown proxy error.");
    }
}
