#include "net/HttpReply.h"

#include <cstring>

#include "core/StrUtil.h"

namespace {

const char kBlankLine[] = "\r\n\r\n";

// The offset of the first blank line, or length when there is none.
size_t HeadLength(const char* data, size_t length)
{
    for (size_t i = 0; i + 4 <= length; i++) {
        if (memcmp(data + i, kBlankLine, 4) == 0)
            return i;
    }
    return length;
}


void Fail(CHttpReplyOutcome* outcome, int kind, const std::string& text)
{
    outcome->result = CHttpReplyOutcome::FAILED;
    outcome->kind = kind;
    outcome->text = text;
}

const char* ErrorStatusText(int code)
{
    switch (code) {
    case 400: return "400 - Bad Request";
    case 401: return "401 - Unauthorized";
    case 403: return "403 - Forbidden";
    case 404: return "404 - Not Found";
    case 500: return "500 - Internal Server Error";
    case 501: return "501 - Not Implemented";
    case 502: return "502 - Bad Gateway";
    case 503: return "503 - Service Unavailable";
    default: return nullptr;
    }
}

} // namespace

bool GetHeaderField(const char* reply, size_t length, const char* name, std::string* value)
{
    size_t head = HeadLength(reply, length);
    size_t nameLength = strlen(name);
    for (size_t i = 0; i + 2 + nameLength < head; i++) {
        if (reply[i] != '\r' || reply[i + 1] != '\n')
            continue;
        const char* at = reply + i + 2;
        size_t k = 0;
        while (k < nameLength && LowerAscii(at[k]) == LowerAscii(name[k]))
            k++;
        if (k < nameLength || at[nameLength] != ':')
            continue;
        size_t start = i + 2 + nameLength + 1;
        while (start < head && (reply[start] == ' ' || reply[start] == '\t'))
            start++;
        size_t end = start;
        while (end < head && !(reply[end] == '\r' && end + 1 < length && reply[end + 1] == '\n'))
            end++;
        while (end > start && (reply[end - 1] == ' ' || reply[end - 1] == '\t'))
            end--;
        value->assign(reply + start, end - start);
        return true;
    }
    return false;
}

bool DecodeChunked(char* body, size_t length, size_t* decodedLength)
{
    size_t in = 0;
    size_t out = 0;
    *decodedLength = 0;
    for (;;) {
        size_t size = 0;
        size_t digits = 0;
        for (; in < length && HexDigitValue(body[in]) >= 0; in++, digits++) {
            size = size * 16 + size_t(HexDigitValue(body[in]));
            if (size > kMaxHttpReply)
                return false;
        }
        if (digits == 0)
            return false;
        // Whatever follows the digits on the size line (an extension) is
        // skipped.
        while (in + 1 < length && !(body[in] == '\r' && body[in + 1] == '\n'))
            in++;
        if (in + 1 >= length)
            return false;
        in += 2;
        if (size == 0)
            break;
        if (size > length - in)
            return false;
        memmove(body + out, body + in, size);
        out += size;
        in += size;
        // The line end after the data; a body cut off here lacks its last
        // chunk.
        if (length - in < 2)
            return false;
        in += 2;
    }
    *decodedLength = out;
    return out > 0;
}

std::string CollapseSlashes(const std::string& address)
{
    std::string out;
    for (char c : address) {
        size_t n = out.size();
        if (c == '/' && n > 0 && out[n - 1] == '/' && !(n > 1 && out[n - 2] == ':'))
            continue;
        out += c;
    }
    return out;
}

void InterpretHttpReply(char* data, size_t length, const char* requestedUrl, CHttpReplyOutcome* outcome)
{
    *outcome = CHttpReplyOutcome();
    if (length < 13 || memcmp(data, "HTTP/", 5) != 0 || data[6] != '.' || data[8] != ' ' || data[12] != ' ') {
        Fail(outcome, 2, "Not a HTML server we're talking to.");
        return;
    }
    if (data[5] != '1' || (data[7] != '0' && data[7] != '1')) {
        Fail(outcome, 2, "Incompatible HTTP version. I only read 1.0 and 1.1");
        return;
    }
    int code = 0;
    for (size_t i = 9; i < 12 && IsAsciiDigit(data[i]); i++)
        code = code * 10 + (data[i] - '0');

    size_t headLength = HeadLength(data, length);
    std::string head(data, headLength);

    if (code >= 300 && code <= 399) {
        std::string location;
        if (!GetHeaderField(data, length, "Location", &location)) {
            Fail(outcome, 0, "Unable to fullfill a 301/302 - Moved Permanently/Temporarily response. " + head);
            return;
        }
        location = CollapseSlashes(location);
        if (location == requestedUrl) {
            Fail(outcome, 2,
                 "A 301/302 respone is pointing to the same address I used to get the document. " + head);
            return;
        }
        outcome->result = CHttpReplyOutcome::REDIRECT;
        outcome->location = location;
        return;
    }
    if (code >= 400 && code <= 599) {
        const char* text = ErrorStatusText(code);
        Fail(outcome, 2, text != nullptr ? std::string(text) : head.substr(0, head.find("\r\n")));
        return;
    }

    if (headLength == length) {
        Fail(outcome, 2, "Found nothing to download");
        return;
    }
    std::string encoding;
    std::string contentLength;
    bool chunked = false;
    if (GetHeaderField(data, length, "Transfer-Encoding", &encoding) && !encoding.empty()) {
        if (encoding.size() < 7 || !StrEqualNoCase(encoding.substr(0, 7).c_str(), "chunked")) {
            Fail(outcome, 2, "Unknown encoding used. Try forcing HTTP version 1.0. " + encoding);
            return;
        }
        chunked = true;
    }
    size_t bodyStart = headLength + 4;
    size_t bodyLength = length - bodyStart;
    if (chunked) {
        if (!DecodeChunked(data + bodyStart, bodyLength, &bodyLength)) {
            Fail(outcome, 2, "Unable to read chunked data. Try forcing HTTP version 1.0.");
            return;
        }
    } else if (GetHeaderField(data, length, "Content-Length", &contentLength)) {
        // A body shorter than announced was cut off on the way.
        unsigned long long announced = 0;
        if (ParseDecimal(contentLength.c_str(), ~0ULL, &announced) && announced > bodyLength) {
            Fail(outcome, 3, "Unable to read data from http server (threw proxy ?)");
            return;
        }
    }
    memmove(data, data + bodyStart, bodyLength);
    outcome->result = CHttpReplyOutcome::BODY;
    outcome->bodyLength = bodyLength;
}
