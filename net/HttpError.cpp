#include "net/HttpError.h"

#include "net/WinsockErrorText.h"

namespace {

const char kHintConnection[] = "Make shore your are connected to the internet/proxy.\r\n";

const char* Heading(int kind)
{
    switch (kind) {
    case HTTP_ERROR_PROGRAM:
        return "Program error:\r\n";
    case HTTP_ERROR_PROXY:
        return "Proxy error:\r\n";
    case HTTP_ERROR_PARSING:
        return "HTTP parsing error:\r\n";
    case HTTP_ERROR_RECEIVE:
    case HTTP_ERROR_SEND:
    case HTTP_ERROR_CLOSED:
    case HTTP_ERROR_CONNECT:
    case HTTP_ERROR_HOST_NAME:
    case HTTP_ERROR_SOCKET_MODE:
        return "Connection error:\r\n";
    default:
        return "What ?";
    }
}

const char* Hint(int kind)
{
    switch (kind) {
    case HTTP_ERROR_PROGRAM:
        return "Try using another proxy protocol if possible and send a bug-report to the developer.\r\n";
    case HTTP_ERROR_PROXY:
        return "Check your proxy settings.\r\n\tTry using another proxy protocol if possible.\r\n";
    case HTTP_ERROR_PARSING:
        return "Try forcing HTTP version 1.0.\r\n\tSend a bug-report to the developer.\r\n";
    case HTTP_ERROR_RECEIVE:
    case HTTP_ERROR_SEND:
    case HTTP_ERROR_SOCKET_MODE:
        return kHintConnection;
    case HTTP_ERROR_CLOSED:
        return "If your using a proxy, this probably means error in the socket protocol.\r\n"
               "\tTry changing protocol if possible.\r\n\tAlso, send a bug-report to the developer.\r\n";
    case HTTP_ERROR_CONNECT:
        return "Check your proxy settings and make shore you are connected to the internet.\r\n";
    case HTTP_ERROR_HOST_NAME:
        return "Check your internet settings (DNS server mainly).\r\n"
               "\tIf your using proxy, try using HTTP1.1, SOCKS5 or SOCKS4A protocol.\r\n";
    default:
        return "...\r\n";
    }
}

} // namespace

std::string CHttpError::Format() const
{
    std::string text = Heading(m_kind);
    if (!m_text.empty())
        text += "\t" + m_text + "\r\n";
    const char* said = m_code != 0 ? WinsockErrorText(m_code) : nullptr;
    if (said != nullptr) {
        // One sentence a line, each indented under the heading.
        std::string description = said;
        for (size_t at = description.find(". "); at != std::string::npos; at = description.find(". ", at + 4))
            description.replace(at, 2, ".\r\n\t");
        text += "System said:\r\n\t" + description + "\r\n";
    }
    text += "Possible solution:\r\n\t";
    text += Hint(m_kind);
    return text;
}
