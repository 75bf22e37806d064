// Heap C-string helpers. Every routine builds the new text in a fresh buffer
// before it frees the old one, so a source may point into the destination.
#include "core/StrUtil.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace {

// Buffers get a few spare bytes beyond the text and its NUL.
const size_t kSpare = 5;

char* Join(const char* a, size_t na, const char* b, size_t nb)
{
    char* text = static_cast<char*>(MallocOrThrow(na + nb + kSpare));
    if (na)
        memcpy(text, a, na);
    if (nb)
        memcpy(text + na, b, nb);
    text[na + nb] = '\0';
    return text;
}

void Replace(char** dst, char* text)
{
    free(*dst);
    *dst = text;
}

// Stores a copy of the n bytes at src, or frees *dst for a NULL src.
void Copy(char** dst, const char* src, size_t n)
{
    Replace(dst, src != NULL ? Join(src, n, NULL, 0) : NULL);
}

void Extend(char** dst, const char* src, size_t n)
{
    Replace(dst, Join(*dst, strlen(*dst), src, n));
}

} // namespace

void* MallocOrThrow(size_t bytes)
{
    return ReallocOrThrow(NULL, bytes);
}

void* ReallocOrThrow(void* block, size_t bytes)
{
    // A zero size may legitimately answer NULL: one byte is asked for instead.
    void* grown = realloc(block, bytes > 0 ? bytes : 1);
    if (grown == NULL)
        throw std::bad_alloc();
    return grown;
}

HeapText StrCopy(const char* text)
{
    char* copy = NULL;
    StrSet(&copy, text);
    return HeapText(copy, free);
}

void StrSet(char** dst, const char* src)
{
    if (src == *dst)
        return;
    Copy(dst, src, src ? strlen(src) : 0);
}

void StrAssign(char** dst, const char* src)
{
    Copy(dst, src, src ? strlen(src) : 0);
}

void StrAppend(char** dst, const char* src)
{
    if (src == NULL)
        return;
    if (*dst == NULL) {
        StrAssign(dst, src);
        return;
    }
    Extend(dst, src, strlen(src));
}

std::string StrFormatV(const char* format, va_list args)
{
    std::string text;
    if (format == NULL)
        return text;
    // Most texts fit the stack buffer; a longer one is formatted again.
    char small[256];
    va_list again;
    va_copy(again, args);
    int length = vsnprintf(small, sizeof small, format, args);
    if (length > 0 && size_t(length) < sizeof small) {
        text.assign(small, size_t(length));
    } else if (length > 0) {
        text.resize(size_t(length) + 1);
        vsnprintf(&text[0], text.size(), format, again);
        text.resize(size_t(length));
    }
    va_end(again);
    return text;
}

void StrAppendFormat(char** dst, const char* format, ...)
{
    if (format == NULL)
        return;
    va_list args, measure;
    va_start(args, format);
    va_copy(measure, args);
    int length = vsnprintf(NULL, 0, format, measure);
    va_end(measure);
    char* text = NULL;
    if (length >= 0) {
        try {
            text = static_cast<char*>(MallocOrThrow(size_t(length) + kSpare));
        } catch (const std::bad_alloc&) {
            va_end(args);
            throw;
        }
        vsnprintf(text, size_t(length) + 1, format, args);
    }
    va_end(args);
    if (text == NULL)
        return;
    try {
        StrAppend(dst, text);
    } catch (const std::bad_alloc&) {
        free(text);
        throw;
    }
    free(text);
}

void StrAssignN(char** dst, const char* src, size_t n)
{
    Copy(dst, src, n);
}

void StrAppendN(char** dst, const char* src, size_t n)
{
    if (src == NULL)
        return;
    if (*dst == NULL) {
        StrAssignN(dst, src, n);
        return;
    }
    Extend(dst, src, n);
}

bool StrEqual(const char* a, const char* b)
{
    if (a == b)
        return true;
    if (a == NULL)
        return *b == '\0';
    if (b == NULL)
        return *a == '\0';
    return strcmp(a, b) == 0;
}

bool IsUpperLatin1(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
}

bool IsLowerLatin1(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || c >= 0xDF;
}

constexpr LowerLatin1Table kLowerLatin1;

bool StrEqualNoCase(const char* a, const char* b)
{
    if (a == NULL)
        a = "";
    if (b == NULL)
        b = "";
    while (*a != 0 && LowerAscii(*a) == LowerAscii(*b)) {
        a++;
        b++;
    }
    return LowerAscii(*a) == LowerAscii(*b);
}

void StrReplace(char** text, const char* find, const char* replacement)
{
    if (*text == NULL || find == NULL || *find == '\0')
        return;
    if (replacement == NULL)
        replacement = "";
    // The result is built in one pass into a new buffer, which gives the same
    // text as replacing match by match and searching on after each inserted
    // replacement, and lets the replacement point into the old text.
    const char* hit = strstr(*text, find);
    if (hit == NULL)
        return;
    const size_t findLength = strlen(find);
    const size_t withLength = strlen(replacement);
    std::string result;
    const char* from = *text;
    while (hit != NULL) {
        result.append(from, hit);
        result.append(replacement, withLength);
        from = hit + findLength;
        hit = strstr(from, find);
    }
    result.append(from);
    Copy(text, result.c_str(), result.size());
}

bool ParseDecimal(const char* text, unsigned long long limit, unsigned long long* value)
{
    if (text == NULL || *text == '\0')
        return false;
    unsigned long long result = 0;
    for (; *text != '\0'; text++) {
        if (!IsAsciiDigit(*text))
            return false;
        unsigned digit = unsigned(*text - '0');
        if (result > (limit - digit) / 10)
            return false;
        result = result * 10 + digit;
    }
    *value = result;
    return true;
}
