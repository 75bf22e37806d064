#include "net/HttpClient.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "net/DownloadStatus.h"

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
    char stack[512];
    va_list args;
    va_start(args, format);
    int needed = vsnprintf(stack, sizeof stack, format, args);
    va_end(args);
    std::string text;
    if (needed >= int(sizeof stack)) {
        text.resize(size_t(needed) + 1);
        va_start(args, format);
        vsnprintf(&text[0], text.size(), format, args);
        va_end(args);
        text.resize(size_t(needed));
    } else if (needed > 0) {
        text = stack;
    }

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
