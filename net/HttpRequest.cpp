#include "net/HttpRequest.h"

#include <cstring>
#include <vector>

#include "net/Base64Coding.h"

const char kHttpUserAgent[] = "vistrel/1.3.x";

std::string BasicAuthLine(const char* header, const std::string& user, const std::string& password)
{
    std::string credentials = user + ":" + password;
    // The byte encoder breaks no lines: a header must stay on one.
    std::vector<BYTE> encoded;
    CBase64Coding coder;
    coder.Encode(reinterpret_cast<const BYTE*>(credentials.data()), credentials.size(), encoded);
    return std::string(header) + ": Basic " + std::string(encoded.begin(), encoded.end()) + "\r\n";
}

std::string BuildHttpRequest(const CHttpRequestText& request)
{
    bool post = request.body != nullptr && *request.body != '\0';
    std::string text = post ? "POST " : "GET ";
    if (request.viaHttpProxy)
        text += "http://" + request.hostText;
    text += request.path + " HTTP/1." + std::to_string(request.minorVersion) + "\r\nAccept: */*\r\n";
    if (request.minorVersion == 1 && !request.hostText.empty())
        text += "Host: " + request.hostText + "\r\n";
    text += std::string("User-Agent: ") + kHttpUserAgent + "\r\nConnection: close\r\n";
    if (post) {
        text += "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                std::to_string(strlen(request.body)) + "\r\n";
    }
    text += request.auth;
    if (request.viaHttpProxy)
        text += request.proxyAuth;
    text += "\r\n";
    if (post)
        text += request.body;
    return text;
}
