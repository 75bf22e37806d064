#include "net/InternetSettings.h"

#include "net/HttpClient.h"

#ifdef _WIN32
#include <string>

#include "classlib/WinApp.h"
#endif

int ProxyTypeFromSetting(int stored)
{
    switch (stored % 5) {
    case 1:
        return HTTP_PROXY_HTTP;
    case 2:
        return HTTP_PROXY_SOCKS5;
    case 3:
        return HTTP_PROXY_SOCKS4;
    case 4:
        return HTTP_PROXY_SOCKS4A;
    default:
        return HTTP_PROXY_NONE;
    }
}

int PortToSetting(unsigned short port)
{
    return port > 32767 ? int(port) - 65536 : int(port);
}

unsigned short PortFromSetting(int stored)
{
    return (unsigned short)(unsigned(stored) & 0xFFFF);
}

void ApplyInternetSettings(CHttpClient& client, int storedType, const char* server, int storedPort,
                           const char* login, const char* password, int httpVersion)
{
    if (login == nullptr || *login == '\0' || password == nullptr || *password == '\0') {
        login = nullptr;
        password = nullptr;
    }
    client.SetProxy(ProxyTypeFromSetting(storedType), server, PortFromSetting(storedPort), login, password);
    client.SetHttpVersion((unsigned char)(httpVersion & 1));
}

#ifdef _WIN32

void LoadInternetSettings()
{
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return;
    int type = int(app->GetProfileInt("inet", "proxy_type", 0));
    std::string server = app->GetProfileString("inet", "proxy_server", "");
    int port = int(app->GetProfileInt("inet", "proxy_port", 8080));
    std::string login = app->GetProfileString("inet", "proxy_login", "");
    std::string password = app->GetProfileString("inet", "proxy_passwd", "");
    int version = int(app->GetProfileInt("inet", "http_version", 1));
    ApplyInternetSettings(theHttpClient, type, server.c_str(), port, login.c_str(), password.c_str(), version);
}

#endif
