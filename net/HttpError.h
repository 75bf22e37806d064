// One failure recorded by the HTTP client: its kind (which decides the
// heading and the hint the user reads), the Win32/Winsock code (0 = none)
// and the text.
#pragma once

#include <string>

enum HttpErrorKind {
    HTTP_ERROR_PROGRAM = 0,
    HTTP_ERROR_PROXY = 1,
    HTTP_ERROR_PARSING = 2,
    HTTP_ERROR_RECEIVE = 3,
    HTTP_ERROR_SEND = 4,
    HTTP_ERROR_CLOSED = 5,
    HTTP_ERROR_CONNECT = 6,
    HTTP_ERROR_HOST_NAME = 7,
    HTTP_ERROR_SOCKET_MODE = 8,
};

class CHttpError {
public:
    CHttpError(int kind, int code, const std::string& text) : m_kind(kind), m_code(code), m_text(text) {}

    int GetKind() const { return m_kind; }
    int GetCode() const { return m_code; }
    const std::string& GetText() const { return m_text; }

    // The heading, the text, what the system said of the code and the
    // possible solution, each block ending with CR LF.
    std::string Format() const;

private:
    int m_kind;
    int m_code;
    std::string m_text;
};
