// Cleaning text taken from web pages and file names: entities, tags and
// blanks.
#include "core/HtmlEntities.h"

#include <cstring>
#include <string>

#include "core/StrUtil.h"

namespace {

// True when text at pos begins with word, compared without case.
bool StartsWithNoCase(const std::string& text, size_t pos, const char* word)
{
    size_t n = strlen(word);
    if (pos > text.size() || text.size() - pos < n)
        return false;
    for (size_t i = 0; i < n; i++) {
        if (LowerAscii(text[pos + i]) != LowerAscii(word[i]))
            return false;
    }
    return true;
}

// Cuts the text at the last open bracket when no close bracket follows it.
void CutUnclosed(std::string& text, char open, char close)
{
    size_t at = text.rfind(open);
    if (at != std::string::npos && text.find(close, at) == std::string::npos)
        text.erase(at);
}

void RemoveTags(std::string& text, const char* keepTag)
{
    bool keepSome = keepTag != NULL && keepTag[0] != '\0';
    size_t pos = 0;
    while ((pos = text.find('<', pos)) != std::string::npos) {
        size_t end = text.find('>', pos);
        if (end == std::string::npos) {
            text.erase(pos);
            break;
        }
        if (keepSome && StartsWithNoCase(text, pos + 1, keepTag))
            pos = end + 1;
        else
            text.erase(pos, end - pos + 1);
    }
}

void ReplaceAll(std::string& text, const char* find, const char* replacement)
{
    size_t findLength = strlen(find);
    size_t replacementLength = strlen(replacement);
    size_t pos = 0;
    while ((pos = text.find(find, pos)) != std::string::npos) {
        text.replace(pos, findLength, replacement);
        pos += replacementLength;
    }
}

void ReplaceNbsp(std::string& text)
{
    size_t pos = 0;
    while ((pos = text.find('&', pos)) != std::string::npos) {
        if (StartsWithNoCase(text, pos + 1, "nbsp;"))
            text.replace(pos, 6, " ");
        pos++;
    }
}

void TrimBlanks(std::string& text)
{
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        text.clear();
        return;
    }
    size_t last = text.find_last_not_of(" \t");
    text = text.substr(first, last - first + 1);
    for (char& c : text) {
        if (c == '\t')
            c = ' ';
    }
}

// "&#" + exactly three digits + ";" becomes the byte of that value. Values
// above 255 become a blank, and so does 0, which would end the text.
void DecodeNumericEntities(std::string& text)
{
    size_t pos = 0;
    while ((pos = text.find("&#", pos)) != std::string::npos) {
        if (text.size() - pos >= 6 && IsAsciiDigit(text[pos + 2]) && IsAsciiDigit(text[pos + 3]) &&
            IsAsciiDigit(text[pos + 4]) && text[pos + 5] == ';') {
            int value = (text[pos + 2] - '0') * 100 + (text[pos + 3] - '0') * 10 + (text[pos + 4] - '0');
            char byte = (value > 255 || value == 0) ? ' ' : char(value);
            text.replace(pos, 6, 1, byte);
        }
        pos++;
    }
}

} // namespace

void DecodeHtmlEntities(char** text, const char* keepTag)
{
    if (text == NULL || *text == NULL)
        return;
    std::string work(*text);

    CutUnclosed(work, '(', ')');
    CutUnclosed(work, '[', ']');
    RemoveTags(work, keepTag);
    ReplaceNbsp(work);
    while (work.find("  ") != std::string::npos)
        ReplaceAll(work, "  ", " ");
    ReplaceAll(work, "()", "");
    ReplaceAll(work, "[]", "");
    ReplaceAll(work, "( )", "");
    ReplaceAll(work, "[ ]", "");
    TrimBlanks(work);
    DecodeNumericEntities(work);

    StrAssign(text, work.c_str());
}
