// Labelled values, cleaning and numbers of the site's pages.
#include "net/ImdbParseText.h"
#include "core/StrUtil.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "net/HtmlText.h"
#include "net/ImdbHost.h"
#include "net/ImdbParse.h"

namespace imdbparse {

void ShowHostError(IImdbHost& host, bool quiet, const char* format, ...)
{
    if (quiet)
        return;
    va_list args;
    va_start(args, format);
    std::string text = StrFormatV(format, args);
    va_end(args);
    host.ShowError(text.c_str());
}

bool StartsWithNoCase(const char* text, size_t length, size_t i, const char* word)
{
    size_t n = strlen(word);
    if (i > length || length - i < n)
        return false;
    for (size_t k = 0; k < n; k++) {
        if (LowerAscii(text[i + k]) != LowerAscii(word[k]))
            return false;
    }
    return true;
}

size_t FindNoCase(const char* text, size_t length, size_t from, const char* word)
{
    size_t n = strlen(word);
    if (n == 0)
        return from <= length ? from : npos;
    char first = LowerAscii(word[0]);
    for (size_t i = from; i + n <= length; i++) {
        if (LowerAscii(text[i]) != first)
            continue;
        size_t k = 1;
        while (k < n && LowerAscii(text[i + k]) == LowerAscii(word[k]))
            k++;
        if (k == n)
            return i;
    }
    return npos;
}

bool IsTagNamed(const char* text, size_t length, size_t i, const char* name)
{
    size_t n = strlen(name);
    if (i >= length || text[i] != '<' || length - i - 1 <= n)
        return false;
    for (size_t k = 0; k < n; k++) {
        if (LowerAscii(text[i + 1 + k]) != LowerAscii(name[k]))
            return false;
    }
    char after = text[i + 1 + n];
    return after == ' ' || after == '\t' || after == '/' || after == '>';
}

size_t FindTagBefore(const char* text, size_t length, size_t before, const char* name)
{
    for (size_t i = before < length ? before : length; i-- > 0;) {
        if (IsTagNamed(text, length, i, name))
            return i;
    }
    return npos;
}

namespace {

// Past blanks and complete tags (each "<" with its ">") from i.
size_t SkipBlanksAndTags(const char* text, size_t length, size_t i)
{
    for (;;) {
        while (i < length && (text[i] == ' ' || text[i] == '\t'))
            i++;
        if (i >= length || text[i] != '<')
            return i;
        const void* close = memchr(text + i, '>', length - i);
        if (close == NULL)
            return i;
        i = size_t(static_cast<const char*>(close) - text) + 1;
    }
}

bool PieceAt(const char* text, size_t length, size_t i, const std::string& piece)
{
    return piece.size() <= length - i && memcmp(text + i, piece.data(), piece.size()) == 0;
}

} // namespace

bool FindLabelValue(IImdbHost& host, const char* text, size_t length, const char* label, const char* endText1,
                    const char* endText2, bool* found, size_t* start, size_t* end)
{
    *found = false;
    std::vector<std::string> pieces(1);
    for (const char* p = label; *p != '\0'; p++) {
        if (*p == '?')
            pieces.emplace_back();
        else
            pieces.back() += *p;
    }

    const std::string_view page(text, length);
    size_t valueStart = npos;
    for (size_t at = 0; at <= length && valueStart == npos; at++) {
        at = page.find(pieces[0], at);
        if (at == npos)
            break;
        size_t i = at + pieces[0].size();
        bool matches = true;
        for (size_t k = 1; k < pieces.size() && matches; k++) {
            i = SkipBlanksAndTags(text, length, i);
            matches = PieceAt(text, length, i, pieces[k]);
            i += pieces[k].size();
        }
        if (matches)
            valueStart = i;
    }
    if (valueStart == npos)
        return true;

    if (valueStart >= length) {
        ShowHostError(host, false, "Search go to far...");
        return false;
    }
    size_t valueEnd = npos;
    if (endText1 == NULL && endText2 == NULL) {
        const void* open = memchr(text + valueStart, '<', length - valueStart);
        if (open != NULL)
            valueEnd = size_t(static_cast<const char*>(open) - text);
    } else {
        size_t end1 = endText1 != NULL ? FindNoCase(text, length, valueStart, endText1) : npos;
        size_t end2 = endText2 != NULL ? FindNoCase(text, length, valueStart, endText2) : npos;
        valueEnd = end1 < end2 ? end1 : end2;
    }
    if (valueEnd == npos || valueEnd >= length) {
        ShowHostError(host, false, "Search after an end did get to far...");
        return false;
    }
    *found = true;
    *start = valueStart;
    *end = valueEnd;
    return true;
}

std::string CleanedText(const char* text, size_t n, const char* keepTag)
{
    char* work = NULL;
    StrAssignN(&work, text, n);
    DecodeHtmlEntities(&work, keepTag);
    std::string cleaned = work != NULL ? work : "";
    free(work);
    return cleaned;
}

std::string CleanedBlock(const char* text, size_t n)
{
    std::string kept = CleanedText(text, n, "BR");
    // Each line-break tag ("<br>", "<BR/>"...) becomes a line end.
    std::string lines;
    for (size_t i = 0; i < kept.size(); i++) {
        size_t close = kept[i] == '<' ? kept.find('>', i) : npos;
        if (close != npos && IsTagNamed(kept.data(), kept.size(), i, "br")) {
            lines += "\r\n";
            i = close;
        } else {
            lines += kept[i];
        }
    }
    char* work = NULL;
    StrAssign(&work, lines.c_str());
    StripHtmlTags(&work);
    NormalizeWhitespace(&work);
    std::string block = work != NULL ? work : "";
    free(work);
    return block;
}

bool ReadLeadingDecimal(const char* text, unsigned long limit, unsigned long* value)
{
    if (text == NULL || !IsAsciiDigit(*text))
        return false;
    unsigned long n = 0;
    for (; IsAsciiDigit(*text); text++) {
        unsigned long digit = static_cast<unsigned long>(*text - '0');
        if (n > (limit - digit) / 10)
            return false;
        n = n * 10 + digit;
    }
    *value = n;
    return true;
}

} // namespace imdbparse

bool HtmlFindText(IImdbHost& host, const char* text, size_t length, const char* label, char** field,
                  const char* keepTag, const char* endText1, const char* endText2)
{
    bool found = false;
    size_t start = 0, end = 0;
    if (!imdbparse::FindLabelValue(host, text, length, label, endText1, endText2, &found, &start, &end))
        return false;
    if (!found) {
        StrAssign(field, NULL);
        return true;
    }
    StrAssign(field, imdbparse::CleanedText(text + start, end - start, keepTag).c_str());
    return true;
}
