#include "net/HttpUrl.h"

#include <cstring>

#include "core/StrUtil.h"

bool ParseHostPort(const std::string& authority, CHttpUrl* out)
{
    std::string rest = authority;
    // The last "@" ends the credentials: a password may hold one, a host
    // never does.
    size_t at = rest.rfind('@');
    out->hasCredentials = at != std::string::npos;
    out->user.clear();
    out->password.clear();
    if (out->hasCredentials) {
        std::string credentials = rest.substr(0, at);
        size_t colon = credentials.find(':');
        if (colon == std::string::npos)
            return false;
        out->user = credentials.substr(0, colon);
        out->password = credentials.substr(colon + 1);
        rest.erase(0, at + 1);
    }
    size_t colon = rest.find(':');
    out->host = rest.substr(0, colon);
    if (out->host.empty())
        return false;
    out->port = 80;
    out->hostText = out->host;
    if (colon != std::string::npos) {
        unsigned long long port = 0;
        if (!ParseDecimal(rest.c_str() + colon + 1, 65535, &port) || port == 0)
            return false;
        out->port = (unsigned short)port;
        out->hostText = rest;
    }
    return true;
}

bool ParseUrl(const char* url, CHttpUrl* out)
{
    if (url == nullptr)
        return false;
    for (const char* p = url; *p != '\0'; p++) {
        if ((unsigned char)*p < 0x20 || *p == 0x7F)
            return false;
    }
    const char* slash = strchr(url, '/');
    if (slash == url)
        return false;
    const char* authority = url;
    if (slash != nullptr && slash[-1] == ':' && slash[1] == '/') {
        if (!StrEqualNoCase(std::string(url, size_t(slash - 1 - url)).c_str(), "http"))
            return false;
        authority = slash + 2;
        slash = strchr(authority, '/');
    }
    size_t authorityLength = slash != nullptr ? size_t(slash - authority) : strlen(authority);
    out->path = slash != nullptr ? std::string(slash) : std::string("/");
    return ParseHostPort(std::string(authority, authorityLength), out);
}
