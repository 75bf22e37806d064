// The program's HTTP client. It fetches one page or image at a time over
// HTTP/1.0 or 1.1 with "Connection: close", directly or through an HTTP,
// SOCKS4, SOCKS4A or SOCKS5 proxy, and reads each reply until the server
// closes the connection. Failures are collected as typed records and given
// to the user as one explaining text.
//
// Fetch runs on a worker thread; Close may be called from any other thread
// while it runs and makes it end soon with false. The settings are set
// between requests.
#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "core/StrUtil.h"
#include "net/HttpError.h"

class CSocketManager;
class CDownloadStatus;

// The client's proxy types.
enum HttpProxyType {
    HTTP_PROXY_NONE = 0,
    HTTP_PROXY_SOCKS4 = 2,
    HTTP_PROXY_SOCKS4A = 3,
    HTTP_PROXY_SOCKS5 = 4,
    HTTP_PROXY_HTTP = 5,
};

class CHttpClient {
public:
    CHttpClient();
    virtual ~CHttpClient();

    // Heap copies are kept; NULL texts count as empty.
    void SetProxy(int type, const char* server, unsigned short port, const char* login, const char* password);
    void SetHttpVersion(unsigned char minorVersion);

    int GetProxyType() const { return m_proxyType; }
    const char* GetProxyServer() const { return m_proxyServer; }
    unsigned short GetProxyPort() const { return m_proxyPort; }
    const char* GetProxyLogin() const { return m_proxyLogin; }
    const char* GetProxyPassword() const { return m_proxyPassword; }
    unsigned char GetHttpVersion() const { return m_minorVersion; }

    // How long a request waits for the server after its last sign of life
    // (20000 ms); tests shorten it.
    void SetReadTimeout(unsigned long ms) { m_readTimeout = ms; }
    unsigned long GetReadTimeout() const { return m_readTimeout; }

    // One request: GET, or form POST when postBody is not empty. On success
    // *buffer is a heap buffer of the body (freed with free) with a NUL
    // after its *length bytes; on failure it is NULL, *length 0 and the
    // reasons are recorded. A buffer already in *buffer is freed first. The
    // status window, when given, shows the progress.
    bool Fetch(const char* url, const char* postBody, char** buffer, size_t* length, CDownloadStatus* status);

    // "Error(s) returned:\r\n" and the report of every recorded error, as
    // a heap text the caller frees.
    char* GetErrorText() const;
    void ClearErrors();
    size_t GetErrorCount() const;
    std::vector<CHttpError> GetErrors() const;

    // Ends the running request, from any thread.
    void Close();

    // Records an error; a connection error of a kind already recorded, or
    // any connection or proxy error after the connection was found closed,
    // adds nothing.
    void AddError(int kind, int code, const char* format, ...) VISTREL_PRINTF(4, 5);

    // Progress of the running request, for the socket manager and the
    // proxy handshakes.
    void SetStatusText(const char* text);
    void ReportSpeed(double bytesPerSecond);

private:
    CHttpClient(const CHttpClient&) = delete;
    CHttpClient& operator=(const CHttpClient&) = delete;

    bool FetchFollowing(const char* url, const char* postBody, char** buffer, size_t* length,
                        CDownloadStatus* status, int redirects);
    bool IsCancelled();

    char* m_proxyServer;
    char* m_proxyLogin;
    char* m_proxyPassword;
    int m_proxyType;
    unsigned short m_proxyPort;
    unsigned char m_minorVersion;
    unsigned long m_readTimeout;

    mutable std::mutex m_errorLock;
    std::vector<CHttpError> m_errors;

    // The running request's manager and the cancel flag, under their lock.
    std::mutex m_requestLock;
    CSocketManager* m_manager;
    bool m_cancelled;
    std::atomic<CDownloadStatus*> m_status;

    friend class CRequestScope;
};

extern CHttpClient theHttpClient;
