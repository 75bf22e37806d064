#include "net/HttpClient.h"
#include "core/StrUtil.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "net/DownloadStatus.h"

#ifdef _WIN32
#include <winsock2.h>

#include "net/HttpReply.h"
#include "net/HttpRequest.h"
#include "net/HttpUrl.h"
#include "net/ProxyHandshake.h"
#include "net/SocketManager.h"
#endif

// The program's one client, built at start with no proxy and HTTP/1.1.
CHttpClient theHttpClient;

namespace {

const unsigned long kDefaultReadTimeout = 20000;

bool IsConnectionKind(int kind)
{
    return kind >= HTTP_ERROR_RECEIVE && kind <= HTTP_ERROR_SOCKET_MODE;
}

// Kinds that a closed connection explains already.
bool FollowsClosedConnection(int kind)
{
    return kind == HTTP_ERROR_PROXY || kind == HTTP_ERROR_RECEIVE || kind == HTTP_ERROR_SEND ||
           kind == HTTP_ERROR_CONNECT || kind == HTTP_ERROR_HOST_NAME || kind == HTTP_ERROR_SOCKET_MODE;
}

} // namespace

CHttpClient::CHttpClient()
    : m_proxyServer(nullptr),
      m_proxyLogin(nullptr),
      m_proxyPassword(nullptr),
      m_proxyType(HTTP_PROXY_NONE),
      m_proxyPort(0),
      m_minorVersion(1),
      m_readTimeout(kDefaultReadTimeout),
      m_manager(nullptr),
      m_cancelled(false),
      m_status(nullptr)
{
    StrSet(&m_proxyServer, "");
}

CHttpClient::~CHttpClient()
{
    free(m_proxyServer);
    free(m_proxyLogin);
    free(m_proxyPassword);
}

void CHttpClient::SetProxy(int type, const char* server, unsigned short port, const char* login,
                           const char* password)
{
    m_proxyType = type;
    StrAssign(&m_proxyServer, server != nullptr ? server : "");
    m_proxyPort = port;
    StrAssign(&m_proxyLogin, login);
    StrAssign(&m_proxyPassword, password);
}

void CHttpClient::SetHttpVersion(unsigned char minorVersion)
{
    m_minorVersion = minorVersion;
}

void CHttpClient::AddError(int kind, int code, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = StrFormatV(format, args);
    va_end(args);

    std::lock_guard<std::mutex> guard(m_errorLock);
    for (const CHttpError& error : m_errors) {
        if (error.GetKind() == kind && IsConnectionKind(kind))
            return;
        if (error.GetKind() == HTTP_ERROR_CLOSED && FollowsClosedConnection(kind))
            return;
    }
    m_errors.emplace_back(kind, code, text);
}

char* CHttpClient::GetErrorText() const
{
    std::string text = "Error(s) returned:\r\n";
    {
        std::lock_guard<std::mutex> guard(m_errorLock);
        for (const CHttpError& error : m_errors)
            text += error.Format();
    }
    char* heap = nullptr;
    StrAssign(&heap, text.c_str());
    return heap;
}

void CHttpClient::ClearErrors()
{
    std::lock_guard<std::mutex> guard(m_errorLock);
    m_errors.clear();
}

size_t CHttpClient::GetErrorCount() const
{
    std::lock_guard<std::mutex> guard(m_errorLock);
    return m_errors.size();
}

std::vector<CHttpError> CHttpClient::GetErrors() const
{
    std::lock_guard<std::mutex> guard(m_errorLock);
    return m_errors;
}

void CHttpClient::SetStatusText(const char* text)
{
    if (CDownloadStatus* status = m_status)
        status->SetSpeed(0, text);
}

void CHttpClient::ReportSpeed(double bytesPerSecond)
{
    if (CDownloadStatus* status = m_status)
        status->SetSpeed(bytesPerSecond, nullptr);
}

bool CHttpClient::IsCancelled()
{
    std::lock_guard<std::mutex> guard(m_requestLock);
    return m_cancelled;
}

#ifndef _WIN32

// The host build has no sockets: every request fails to connect.
bool CHttpClient::Fetch(const char* url, const char* postBody, char** buffer, size_t* length,
                        CDownloadStatus* status)
{
    free(*buffer);
    *buffer = nullptr;
    *length = 0;
    AddError(HTTP_ERROR_CONNECT, 0, "Unable to connect");
    return false;
}

void CHttpClient::Close()
{
}

#endif

#ifdef _WIN32

// The socket manager of one request, known to the client while it lives so
// that Close can stop it from another thread.
class CRequestScope {
public:
    explicit CRequestScope(CHttpClient& client) : m_client(client), m_manager(nullptr) {}
    ~CRequestScope() { End(); }

    CSocketManager* Start()
    {
        m_manager = new CSocketManager(&m_client, m_client.m_readTimeout);
        std::lock_guard<std::mutex> guard(m_client.m_requestLock);
        m_client.m_manager = m_manager;
        if (m_client.m_cancelled)
            m_manager->Stop();
        return m_manager;
    }

    // The client forgets the manager before it goes, so Close never meets
    // a manager being deleted.
    void End()
    {
        {
            std::lock_guard<std::mutex> guard(m_client.m_requestLock);
            if (m_client.m_manager == m_manager)
                m_client.m_manager = nullptr;
        }
        delete m_manager;
        m_manager = nullptr;
    }

private:
    CHttpClient& m_client;
    CSocketManager* m_manager;
};

namespace {

const int kMaxRedirects = 10;
// A connect looks at the cancel flag this often.
const long kConnectSliceMs = 200;

// The handshakes' bytes go through the request's manager.
class CManagerChannel : public IProxyChannel {
public:
    CManagerChannel(CSocketManager& manager, SOCKET socket) : m_manager(manager), m_socket(socket) {}
    bool Send(const void* bytes, size_t n) override { return m_manager.Send(m_socket, bytes, n); }
    bool Read(void* buffer, size_t n) override { return m_manager.Read(m_socket, buffer, n); }

private:
    CSocketManager& m_manager;
    SOCKET m_socket;
};

// A socket not yet handed to a manager.
class CRawSocket {
public:
    CRawSocket() : m_socket(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {}
    ~CRawSocket()
    {
        if (m_socket != INVALID_SOCKET)
            closesocket(m_socket);
    }
    SOCKET Get() const { return m_socket; }
    SOCKET Release()
    {
        SOCKET socket = m_socket;
        m_socket = INVALID_SOCKET;
        return socket;
    }

private:
    SOCKET m_socket;
};

// The IPv4 address of a name or a dotted address, in network order.
bool ResolveHost(const char* name, unsigned char address[4])
{
    hostent* host = gethostbyname(name);
    if (host != nullptr && host->h_addrtype == AF_INET && host->h_length == 4 && host->h_addr_list[0] != nullptr) {
        memcpy(address, host->h_addr_list[0], 4);
        return true;
    }
    unsigned long dotted = inet_addr(name);
    if (dotted == INADDR_NONE)
        return false;
    memcpy(address, &dotted, 4);
    return true;
}

sockaddr_in Address(const unsigned char address[4], unsigned short port)
{
    sockaddr_in peer = {};
    peer.sin_family = AF_INET;
    memcpy(&peer.sin_addr, address, 4);
    peer.sin_port = htons(port);
    return peer;
}

// Connects without blocking, so that a cancel or the time-out ends the
// attempt; *error is the Winsock code of a failure.
template <class Cancelled>
bool ConnectSocket(SOCKET socket, const sockaddr_in& peer, unsigned long timeoutMs, Cancelled cancelled, int* error)
{
    u_long nonBlocking = 1;
    if (ioctlsocket(socket, FIONBIO, &nonBlocking) != 0) {
        *error = WSAGetLastError();
        return false;
    }
    *error = 0;
    if (connect(socket, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0)
        return true;
    *error = WSAGetLastError();
    if (*error != WSAEWOULDBLOCK)
        return false;
    DWORD start = GetTickCount();
    for (;;) {
        if (cancelled()) {
            *error = WSAEINTR;
            return false;
        }
        fd_set writable, failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(socket, &writable);
        FD_SET(socket, &failed);
        timeval wait = { 0, kConnectSliceMs * 1000 };
        int ready = select(0, nullptr, &writable, &failed, &wait);
        if (ready == SOCKET_ERROR) {
            *error = WSAGetLastError();
            return false;
        }
        if (ready > 0) {
            if (FD_ISSET(socket, &writable) && !FD_ISSET(socket, &failed)) {
                *error = 0;
                return true;
            }
            int code = 0;
            int size = sizeof code;
            getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&code), &size);
            *error = code != 0 ? code : WSAECONNREFUSED;
            return false;
        }
        if (GetTickCount() - start >= timeoutMs) {
            *error = WSAETIMEDOUT;
            return false;
        }
    }
}

// The user a SOCKS4 proxy is told of.
std::string UserId()
{
    char name[257];
    DWORD size = sizeof name;
    if (GetUserNameA(name, &size) && name[0] != '\0')
        return name;
    return "anonymous";
}

bool HasText(const char* text)
{
    return text != nullptr && *text != '\0';
}

} // namespace

bool CHttpClient::Fetch(const char* url, const char* postBody, char** buffer, size_t* length,
                        CDownloadStatus* status)
{
    {
        std::lock_guard<std::mutex> guard(m_requestLock);
        m_cancelled = false;
    }
    if (status != nullptr)
        status->EnableCancel(true);
    bool fetched = FetchFollowing(url, postBody, buffer, length, status, 0);
    if (status != nullptr)
        status->EnableCancel(false);
    m_status = nullptr;
    return fetched;
}

void CHttpClient::Close()
{
    std::lock_guard<std::mutex> guard(m_requestLock);
    m_cancelled = true;
    if (m_manager != nullptr)
        m_manager->Stop();
}

bool CHttpClient::FetchFollowing(const char* url, const char* postBody, char** buffer, size_t* length,
                                 CDownloadStatus* status, int redirects)
{
    free(*buffer);
    *buffer = nullptr;
    *length = 0;
    m_status = status;
    SetStatusText("Parsing HTTP address...");
    CHttpUrl target;
    if (!ParseUrl(url, &target)) {
        AddError(HTTP_ERROR_PROGRAM, 0, "Unable to parse http address: %s", url);
        return false;
    }
    std::string auth = target.hasCredentials ? BasicAuthLine("Authorization", target.user, target.password) : "";

    CRawSocket raw;
    if (raw.Get() == INVALID_SOCKET) {
        AddError(HTTP_ERROR_CONNECT, WSAGetLastError(), "Unable to connect");
        return false;
    }
    int type = m_proxyType;
    unsigned char proxyAddress[4] = { 0, 0, 0, 0 };
    if (type != HTTP_PROXY_NONE && !ResolveHost(m_proxyServer, proxyAddress)) {
        AddError(HTTP_ERROR_HOST_NAME, WSAGetLastError(), "Unable to parse proxy hostname");
        return false;
    }
    CProxyTarget tunnel;
    tunnel.port = target.port;
    tunnel.hostText = target.hostText;
    // An HTTP proxy finds the server itself; the others may take the name
    // when it is unknown here.
    if (type != HTTP_PROXY_HTTP && !ResolveHost(target.host.c_str(), tunnel.address) &&
        (type == HTTP_PROXY_NONE || type == HTTP_PROXY_SOCKS4)) {
        AddError(HTTP_ERROR_HOST_NAME, WSAGetLastError(), "Unable to get hostname to http server.");
        return false;
    }

    SetStatusText("Starting engine...");
    CRequestScope request(*this);
    CSocketManager* manager = request.Start();
    if (type != HTTP_PROXY_NONE && type != HTTP_PROXY_SOCKS4 && type != HTTP_PROXY_SOCKS4A &&
        type != HTTP_PROXY_SOCKS5 && type != HTTP_PROXY_HTTP) {
        AddError(HTTP_ERROR_PROGRAM, 0, "Somehow you've selected an unknown proxy");
        return false;
    }

    SetStatusText("Connecting...");
    sockaddr_in peer = type == HTTP_PROXY_NONE ? Address(tunnel.address, target.port)
                                               : Address(proxyAddress, m_proxyPort);
    int error = 0;
    if (!ConnectSocket(raw.Get(), peer, m_readTimeout, [this] { return IsCancelled(); }, &error)) {
        AddError(HTTP_ERROR_CONNECT, error, "Unable to connect");
        return false;
    }
    SOCKET socket = raw.Release();
    if (!manager->AddSocket(socket))
        return false;

    CManagerChannel channel(*manager, socket);
    if (type == HTTP_PROXY_SOCKS5 && !Socks5Handshake(*this, channel, tunnel))
        return false;
    if ((type == HTTP_PROXY_SOCKS4 || type == HTTP_PROXY_SOCKS4A) &&
        !Socks4Handshake(*this, channel, tunnel, type == HTTP_PROXY_SOCKS4A, UserId().c_str()))
        return false;

    SetStatusText("Sending data...");
    CHttpRequestText text;
    text.minorVersion = m_minorVersion;
    text.viaHttpProxy = type == HTTP_PROXY_HTTP;
    text.hostText = target.hostText;
    text.path = target.path;
    text.auth = auth;
    if (text.viaHttpProxy && HasText(m_proxyLogin) && HasText(m_proxyPassword))
        text.proxyAuth = BasicAuthLine("Proxy-Authorization", m_proxyLogin, m_proxyPassword);
    text.body = postBody;
    std::string sent = BuildHttpRequest(text);
    if (!manager->Send(socket, sent.data(), sent.size())) {
        AddError(HTTP_ERROR_SEND, 0, "Unable to send data to http server (threw proxy ?)");
        return false;
    }

    SetStatusText("Download data...");
    char* data = nullptr;
    size_t received = 0;
    if (!manager->ReadAll(socket, &data, &received)) {
        AddError(HTTP_ERROR_RECEIVE, 0, "Unable to read data from http server (threw proxy ?)");
        return false;
    }
    request.End();

    CHttpReplyOutcome outcome;
    InterpretHttpReply(data, received, url, &outcome);
    if (outcome.result == CHttpReplyOutcome::FAILED) {
        free(data);
        AddError(outcome.kind, 0, "%s", outcome.text.c_str());
        return false;
    }
    if (outcome.result == CHttpReplyOutcome::REDIRECT) {
        free(data);
        if (redirects >= kMaxRedirects) {
            AddError(HTTP_ERROR_PARSING, 0, "Too many 301/302 responses in a row. %s", outcome.location.c_str());
            return false;
        }
        if (IsCancelled()) {
            AddError(HTTP_ERROR_RECEIVE, 0, "Unable to read data from http server (threw proxy ?)");
            return false;
        }
        return FetchFollowing(outcome.location.c_str(), postBody, buffer, length, nullptr, redirects + 1);
    }
    char* body = static_cast<char*>(realloc(data, outcome.bodyLength + 10));
    if (body == nullptr) {
        free(data);
        AddError(HTTP_ERROR_RECEIVE, 0, "Unable to read data from http server (threw proxy ?)");
        return false;
    }
    body[outcome.bodyLength] = '\0';
    *buffer = body;
    *length = outcome.bodyLength;
    SetStatusText("Done!");
    return true;
}

#endif
