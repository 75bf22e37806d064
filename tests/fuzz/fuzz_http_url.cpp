// Runs arbitrary text through the address parser and the request texts
// built from what it accepts.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/HttpReply.h"
#include "net/HttpRequest.h"
#include "net/HttpUrl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    CHttpUrl url;
    if (ParseUrl(text.c_str(), &url)) {
        // An accepted address can't smuggle a line into the request.
        if (url.host.empty() || url.port == 0 || url.path.empty() || url.path[0] != '/')
            abort();
        CHttpRequestText request;
        request.hostText = url.hostText;
        request.path = url.path;
        if (url.hasCredentials)
            request.auth = BasicAuthLine("Authorization", url.user, url.password);
        std::string sent = BuildHttpRequest(request);
        if (sent.find("\r\n\r\n") != sent.size() - 4)
            abort();
    }
    std::string collapsed = CollapseSlashes(text);
    if (collapsed.size() > text.size())
        abort();
    return 0;
}
