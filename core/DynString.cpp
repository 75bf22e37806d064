// CDynString. Buffers are malloc'd with 5 spare bytes; NULL is the empty text.
#include "core/DynString.h"
#include "core/StrUtil.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const DWORD kSpare = 5;

char* NewBuffer(const char* a, DWORD na, const char* b = NULL, DWORD nb = 0)
{
    char* text = static_cast<char*>(malloc(size_t(na) + nb + kSpare));
    if (text == NULL)
        return NULL;
    if (na)
        memcpy(text, a, na);
    if (nb)
        memcpy(text + na, b, nb);
    text[na + nb] = '\0';
    return text;
}

// The same letter in the other case; other characters are left as they are.
unsigned char FlipLatin1(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<unsigned char>(c + 32);
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<unsigned char>(c - 32);
    return c;
}

bool EqualNoCase(const char* a, const char* b, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (LowerLatin1(static_cast<unsigned char>(a[i])) != LowerLatin1(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// First position at or after start where the text starts with the pattern:
// exactly, or case-insensitively, optionally only where the first character
// is the given one.
bool Search(const char* text, DWORD length, const char* pattern, DWORD patternLength,
            DWORD start, bool noCase, int first, DWORD* at)
{
    if (patternLength == 0 || start >= length || patternLength > length - start)
        return false;
    for (DWORD i = start; i <= length - patternLength; ++i) {
        if (first >= 0 && static_cast<unsigned char>(text[i]) != first)
            continue;
        if (noCase ? EqualNoCase(text + i, pattern, patternLength)
                   : memcmp(text + i, pattern, patternLength) == 0) {
            *at = i;
            return true;
        }
    }
    return false;
}


} // namespace

CDynString::CDynString(const char* text)
    : m_temporary(false), m_text(NULL), m_length(0)
{
    Assign(text);
}

CDynString::CDynString(CDynString* source)
    : m_temporary(false), m_text(NULL), m_length(0)
{
    AssignFrom(source);
}

CDynString::~CDynString()
{
    free(m_text);
}

CDynString* CDynString::NewTemporary(const char* text)
{
    CDynString* s = new CDynString(text);
    s->m_temporary = true;
    return s;
}

void CDynString::Release(CDynString* arg, const CDynString* keep)
{
    if (arg != NULL && arg != keep && arg->m_temporary)
        delete arg;
}

void CDynString::SetBuffer(char* text, DWORD length)
{
    free(m_text);
    m_text = text;
    m_length = text ? length : 0;
}

void CDynString::Assign(const char* text)
{
    if (text == NULL)
        SetBuffer(NULL, 0);
    else
        AssignN(text, DWORD(strlen(text)));
}

void CDynString::AssignFrom(CDynString* other)
{
    if (other == this)
        return;
    if (other == NULL || other->m_text == NULL)
        SetBuffer(NULL, 0);
    else
        SetBuffer(NewBuffer(other->m_text, other->m_length), other->m_length);
    Release(other, this);
}

void CDynString::AssignN(const char* buffer, DWORD n)
{
    SetBuffer(buffer ? NewBuffer(buffer, n) : NULL, n);
}

void CDynString::Append(CDynString* other)
{
    if (other != NULL && other->m_length != 0)
        AppendN(other->m_text, other->m_length);
    Release(other, this);
}

void CDynString::AppendN(const char* buffer, DWORD n)
{
    if (buffer == NULL || n == 0)
        return;
    SetBuffer(NewBuffer(m_text, m_length, buffer, n), m_length + n);
}

void CDynString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = StrFormatV(format, args);
    va_end(args);
    if (text.empty())
        SetBuffer(NULL, 0);
    else
        AssignN(text.data(), DWORD(text.size()));
}

void CDynString::AppendFormat(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = StrFormatV(format, args);
    va_end(args);
    AppendN(text.data(), DWORD(text.size()));
}

CDynString* CDynString::Left(DWORD n, CDynString* source)
{
    CDynString* result = NewTemporary();
    if (source != NULL && source->m_text != NULL && n != 0)
        result->AssignN(source->m_text, n < source->m_length ? n : source->m_length);
    Release(source);
    return result;
}

CDynString* CDynString::Right(DWORD n, CDynString* source)
{
    CDynString* result = NewTemporary();
    if (source != NULL && source->m_text != NULL && n != 0) {
        if (n > source->m_length)
            n = source->m_length;
        result->AssignN(source->m_text + source->m_length - n, n);
    }
    Release(source);
    return result;
}

CDynString* CDynString::Concat(CDynString* first, CDynString* second)
{
    CDynString* result = NewTemporary();
    if (first != NULL && first->m_text != NULL)
        result->AssignN(first->m_text, first->m_length);
    if (second != NULL)
        result->AppendN(second->m_text, second->m_length);
    Release(first);
    Release(second, first);
    return result;
}

DWORD CDynString::FindNoCase(const char* pattern, CDynString* subject, DWORD start, bool* found)
{
    DWORD at = 0;
    bool hit = false;
    if (pattern != NULL && *pattern != '\0' && subject != NULL && subject->m_text != NULL) {
        const DWORD patternLength = DWORD(strlen(pattern));
        const unsigned char first = static_cast<unsigned char>(pattern[0]);
        hit = Search(subject->m_text, subject->m_length, pattern, patternLength, start, true, first, &at);
        // A match in the pattern's own case wins over an earlier one in the
        // other case: the flipped first letter is tried only afterwards.
        const unsigned char flipped = FlipLatin1(first);
        if (!hit && flipped != first)
            hit = Search(subject->m_text, subject->m_length, pattern, patternLength, start, true, flipped, &at);
    }
    Release(subject);
    if (found != NULL)
        *found = hit;
    return hit ? at : 0;
}

DWORD CDynString::FindChar(char c, CDynString* subject, DWORD start, bool* found)
{
    DWORD at = 0;
    bool hit = false;
    if (subject != NULL && subject->m_text != NULL && start < subject->m_length) {
        const void* p = memchr(subject->m_text + start, c, subject->m_length - start);
        if (p != NULL) {
            hit = true;
            at = DWORD(static_cast<const char*>(p) - subject->m_text);
        }
    }
    Release(subject);
    if (found != NULL)
        *found = hit;
    return hit ? at : 0;
}

DWORD CDynString::Replace(const char* find, const char* replacement)
{
    return ReplaceWith(find, replacement, false);
}

DWORD CDynString::ReplaceNoCase(const char* find, const char* replacement)
{
    return ReplaceWith(find, replacement, true);
}

// Builds the result in one pass: the same text as replacing match by match
// and searching on right after each inserted replacement. Case-insensitive
// matches are taken leftmost, so none is skipped.
DWORD CDynString::ReplaceWith(const char* find, const char* replacement, bool noCase)
{
    if (m_text == NULL || m_length == 0 || find == NULL || *find == '\0')
        return 0;
    if (replacement == NULL)
        replacement = "";
    const DWORD findLength = DWORD(strlen(find));
    std::string result;
    DWORD count = 0;
    DWORD from = 0;
    DWORD at = 0;
    while (Search(m_text, m_length, find, findLength, from, noCase, -1, &at)) {
        result.append(m_text + from, at - from);
        result.append(replacement);
        from = at + findLength;
        ++count;
    }
    if (count != 0) {
        result.append(m_text + from, m_length - from);
        AssignN(result.data(), DWORD(result.size()));
    }
    return count;
}
