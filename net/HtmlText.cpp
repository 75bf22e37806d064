#include "net/HtmlText.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/ErrorBox.h"
#include "core/StrUtil.h"

namespace {

bool SameNoCase(const char* a, const char* b, size_t n)
{
    for (size_t i = 0; i < n; i++) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}


// Where the attribute name starts in [from, end) outside double quotes, as a
// whole name (after a blank or the tag name); -1 when it isn't there.
long FindAttributeName(const char* text, long from, long end, const char* name)
{
    size_t n = strlen(name);
    bool quoted = false;
    for (long i = from; i < end; i++) {
        char c = text[i];
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (quoted || long(n) > end - i)
            continue;
        bool startsWord = i > from && (text[i - 1] == ' ' || text[i - 1] == '\t' || text[i - 1] == '\r' ||
                                       text[i - 1] == '\n' || text[i - 1] == '"');
        if (startsWord && SameNoCase(text + i, name, n))
            return i;
    }
    return -1;
}

// After the attribute name at i: blanks, "=", blanks or quotes; the offset
// of the value, or -1 without "=".
long ValueStart(const char* text, long i, long end)
{
    while (i < end && (text[i] == ' ' || text[i] == '\t'))
        i++;
    if (i >= end || text[i] != '=')
        return -1;
    i++;
    while (i < end && (text[i] == ' ' || text[i] == '\t' || text[i] == '"'))
        i++;
    return i;
}

} // namespace

long FindHtmlTag(long start, const char* tag, const char* filterName, const char* filterValue, const char* text,
                 long length, bool returnStart)
{
    if (text == NULL || tag == NULL || start < 0 || length < 0)
        return -1;
    size_t tagLength = strlen(tag);
    std::string value;
    if (filterName != NULL) {
        value = filterValue != NULL ? filterValue : "";
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
    }
    for (long i = start; i < length; i++) {
        if (text[i] != '<' || long(tagLength) > length - i - 1 || !SameNoCase(text + i + 1, tag, tagLength))
            continue;
        const void* close = memchr(text + i, '>', size_t(length - i));
        if (close == NULL)
            return -1;
        long end = long(static_cast<const char*>(close) - text);
        if (filterName == NULL)
            return returnStart ? i : end;
        long inside = i + 1 + long(tagLength);
        for (long at = FindAttributeName(text, inside, end, filterName); at >= 0;
             at = FindAttributeName(text, at + 1, end, filterName)) {
            long v = ValueStart(text, at + long(strlen(filterName)), end);
            if (v >= 0 && long(value.size()) <= end - v && SameNoCase(text + v, value.c_str(), value.size()))
                return returnStart ? i : end;
        }
    }
    return -1;
}

bool FindTagAttribute(const char* text, long length, long offset, const char* name, char** value)
{
    if (text == NULL || name == NULL || offset < 0 || offset >= length)
        return false;
    // The tag around offset: back to its "<", on to its ">".
    long open = offset;
    while (open > 0 && text[open] != '<')
        open--;
    const void* close = memchr(text + offset, '>', size_t(length - offset));
    long end = close != NULL ? long(static_cast<const char*>(close) - text) : length;
    long at = FindAttributeName(text, open, end, name);
    while (at >= 0) {
        long i = at + long(strlen(name));
        while (i < end && (text[i] == ' ' || text[i] == '\t'))
            i++;
        if (i < end && text[i] == '=') {
            i++;
            while (i < end && (text[i] == ' ' || text[i] == '\t'))
                i++;
            long from = i, to = i;
            if (i < end && text[i] == '"') {
                from = i + 1;
                const void* quote = memchr(text + from, '"', size_t(end - from));
                to = quote != NULL ? long(static_cast<const char*>(quote) - text) : end;
            } else {
                while (to < end && text[to] != ' ' && text[to] != '\t')
                    to++;
            }
            StrAssignN(value, text + from, size_t(to - from));
            return true;
        }
        at = FindAttributeName(text, at + 1, end, name);
    }
    return false;
}

void StripHtmlTags(char** text)
{
    if (text == NULL || *text == NULL)
        return;
    std::string out;
    for (const char* p = *text; *p != '\0'; p++) {
        if (*p != '<') {
            out += *p;
            continue;
        }
        const char* close = strchr(p, '>');
        if (close == NULL)
            break;
        p = close;
    }
    StrAssign(text, out.c_str());
}

void JoinLines(const char* text, size_t length, char** out, size_t* outLength)
{
    std::string joined(text != NULL ? text : "", text != NULL ? length : 0);
    for (char& c : joined) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    StrAssignN(out, joined.data(), joined.size());
    *outLength = joined.size();
}

void NormalizeWhitespace(char** text)
{
    if (text == NULL || *text == NULL)
        return;
    std::string out;
    for (const char* p = *text; *p != '\0'; p++) {
        if (*p == '\t')
            out += "    ";
        else if (*p == ' ' && p > *text && (p[-1] == '\n' || p[-1] == '\r'))
            continue;
        else
            out += *p;
    }
    StrAssign(text, out.c_str());
}

void UrlEncode(char** text)
{
    if (text == NULL || *text == NULL)
        return;
    static const char kHex[] = "0123456789ABCDEF";
    size_t capacity = 1024;
    char* work = static_cast<char*>(malloc(capacity));
    size_t used = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(*text); work != NULL; p++) {
        // Room for one encoded byte and the terminating zero.
        if (used + 4 > capacity) {
            char* grown = capacity < size_t(-1) / 2 ? static_cast<char*>(realloc(work, capacity + 1024)) : NULL;
            if (grown == NULL) {
                ShowError(1, "tmpname buffer grows to BIG [%ld]", long(capacity + 1024));
                free(work);
                work = NULL;
                break;
            }
            work = grown;
            capacity += 1024;
        }
        unsigned char c = *p;
        if (c == '\0') {
            work[used] = '\0';
            break;
        }
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || IsAsciiDigit(c) || c == '@' || c == '_' || c == '*') {
            work[used++] = char(c);
        } else if (c == ' ') {
            work[used++] = '+';
        } else {
            work[used++] = '%';
            work[used++] = kHex[c >> 4];
            work[used++] = kHex[c & 15];
        }
    }
    free(*text);
    *text = work;
}

void UrlDecode(char** text)
{
    if (text == NULL || *text == NULL)
        return;
    std::string out;
    for (const char* p = *text; *p != '\0'; p++) {
        int high = p[0] == '%' ? HexDigitValue(p[1]) : -1;
        int low = high >= 0 ? HexDigitValue(p[2]) : -1;
        if (low >= 0) {
            out += char(high * 16 + low);
            p += 2;
        } else {
            out += *p;
        }
    }
    StrAssignN(text, out.data(), out.size());
}

bool IsDigitChar(char c)
{
    return IsAsciiDigit(c);
}

void StrAppendBuffer(const char* text, char** buffer, size_t* length)
{
    if (text == NULL || buffer == NULL || length == NULL)
        return;
    size_t n = strlen(text);
    char* grown = static_cast<char*>(realloc(*buffer, *length + n + 5));
    if (grown == NULL)
        return;
    memcpy(grown + *length, text, n);
    *length += n;
    grown[*length] = '\0';
    *buffer = grown;
}
