// Titles and part numbers guessed from media file names.
#include "core/TitleGuess.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/StrUtil.h"
#include "core/HtmlEntities.h"

namespace {

bool IsLetterLatin1(unsigned char c)
{
    return IsUpperLatin1(c) || IsLowerLatin1(c);
}

bool IsWordChar(unsigned char c)
{
    return IsLetterLatin1(c) || IsAsciiDigit(c);
}

bool StartsWith(const char* text, const char* word, bool ignoreCase)
{
    for (; *word != '\0'; text++, word++) {
        char a = ignoreCase ? LowerAscii(*text) : *text;
        char b = ignoreCase ? LowerAscii(*word) : *word;
        if (a != b)  // also ends at the text's NUL
            return false;
    }
    return true;
}

// Release tags and extensions that end a title; the word that holds one
// goes with it.
struct TitleTag {
    const char* text;
    bool ignoreCase;
};

const TitleTag kTitleTags[] = {
    {"divx", true}, {"dvdrip", true}, {"dvd rip", true},
    {"CLASSIC", false}, {"PROPER", false},
    {".avi", true}, {".mpg", true}, {".dat", true}, {".ifo", true},
    {".divx", true}, {".mpeg", true},
};

bool StartsWithTitleTag(const char* text)
{
    for (const TitleTag& tag : kTitleTags) {
        if (StartsWith(text, tag.text, tag.ignoreCase))
            return true;
    }
    return false;
}

bool HasVowel(const std::string& word)
{
    for (unsigned char c : word) {
        unsigned char lower = LowerLatin1(c);
        if (strchr("aeiouy", lower) != NULL && lower != '\0')
            return true;
        if (lower == 0xE5 || lower == 0xE4 || lower == 0xF6)  // å ä ö
            return true;
    }
    return false;
}

// A word without vowels survives when it is a number, an ordinal such as
// 4th, or the s of a possessive.
bool KeepWord(const std::string& word, const char* text, size_t start)
{
    if (HasVowel(word))
        return true;
    size_t digits = 0;
    while (digits < word.size() && IsAsciiDigit(word[digits]))
        digits++;
    if (digits == word.size())
        return true;
    if (digits > 0 && word.size() == digits + 2 && LowerAscii(word[digits]) == 't' &&
        LowerAscii(word[digits + 1]) == 'h')
        return true;
    if ((word == "s" || word == "S") && start > 0 && text[start - 1] == '\'')
        return true;
    return false;
}

} // namespace

int32_t ExtractPartNumber(char** text)
{
    if (text == NULL || *text == NULL)
        return -1;
    char* s = *text;
    long length = long(strlen(s));
    long d = length - 1;
    while (d >= 0 && !IsAsciiDigit(s[d]))
        d--;
    if (d < 2)
        return -1;
    char c = s[d - 1];
    int digit = s[d] - '0';

    if (IsAsciiDigit(c) || c == '#') {
        char after = s[d + 1];
        if (after != ' ' && after != '.' && after != '_' && after != '-')
            return -1;
        if (IsAsciiDigit(s[d - 2]))
            return -1;
        int number = c == '#' ? digit : (c - '0') * 10 + digit;
        s[d - 1] = '\0';
        return number;
    }

    long x = d - 1;
    while (x >= 0 && s[x] == ' ')
        x--;
    if (x >= 1) {
        char first = LowerAscii(s[x - 1]);
        char second = LowerAscii(s[x]);
        if (first == 'c' && second == 'd') {
            s[x - 1] = '\0';
            return digit;
        }
        if (first == 'o' && second == 'f') {
            long y = x - 2;
            while (y >= 0 && s[y] == ' ')
                y--;
            if (y >= 0 && IsAsciiDigit(s[y])) {
                int number = s[y] - '0';
                s[y] = '\0';
                return number;
            }
            return -1;
        }
    }
    // A lone 0 or 1 after one blank is a part; a 2 or more is a sequel.
    if (c == ' ' && s[d - 2] != ' ' && (digit == 0 || digit == 1)) {
        s[d - 1] = '\0';
        return digit;
    }
    return -1;
}

void StripTitleTags(char** text)
{
    if (text == NULL || *text == NULL)
        return;
    char* s = *text;
    for (size_t p = 0; s[p] != '\0'; p++) {
        if (StartsWithTitleTag(s + p)) {
            if (IsWordChar(s[p])) {
                while (p > 0 && IsWordChar(s[p - 1]))
                    p--;
            }
            s[p] = '\0';
            break;
        }
    }

    std::string result;
    size_t i = 0;
    while (s[i] != '\0') {
        if (!IsWordChar(s[i])) {
            result += s[i++];
            continue;
        }
        size_t start = i;
        while (IsWordChar(s[i]))
            i++;
        std::string word(s + start, i - start);
        if (KeepWord(word, s, start)) {
            result += word;
        } else {
            while (s[i] != '\0' && !IsWordChar(s[i]))
                i++;
        }
    }
    StrAssign(text, result.c_str());
}

void CapitaliseTitle(char** text)
{
    if (text == NULL || *text == NULL)
        return;
    unsigned char* s = reinterpret_cast<unsigned char*>(*text);
    for (unsigned char* p = s; *p != '\0'; p++) {
        if (*p == '.' || *p == '-' || *p == '_')
            *p = ' ';
    }
    for (unsigned char* p = s; *p != '\0'; p++) {
        if (*p >= 'a' && *p <= 'z') {
            *p = (unsigned char)(*p - 'a' + 'A');
            break;
        }
        if (*p >= 'A' && *p <= 'Z')
            break;
    }
    for (unsigned char* p = s; *p != '\0';) {
        if (!IsWordChar(*p)) {
            p++;
            continue;
        }
        unsigned char* start = p;
        int letters = 0;
        bool hasLower = false;
        for (; IsWordChar(*p); p++) {
            if (IsLetterLatin1(*p))
                letters++;
            if (IsLowerLatin1(*p))
                hasLower = true;
        }
        if (letters > 2 && !hasLower) {
            bool first = true;
            for (unsigned char* q = start; q < p; q++) {
                if (!IsLetterLatin1(*q))
                    continue;
                if (!first)
                    *q = LowerLatin1(*q);
                first = false;
            }
        }
    }
    DecodeHtmlEntities(text, NULL);
}

int ScoreTitle(const char* text)
{
    if (text == NULL)
        return 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    int words = 0;
    while (*p != '\0') {
        if (!IsWordChar(*p)) {
            p++;
            continue;
        }
        bool hasLetter = false;
        for (; IsWordChar(*p); p++) {
            if (IsLetterLatin1(*p))
                hasLetter = true;
        }
        if (hasLetter)
            words++;
    }
    return words;
}

bool GuessTitleFromFileName(const char* name, const char* altName, char** title, int32_t* partNumber)
{
    if (name == NULL || name[0] == '\0')
        return false;
    char* a = NULL;
    StrSet(&a, name);
    int32_t part = ExtractPartNumber(&a);
    StripTitleTags(&a);
    CapitaliseTitle(&a);
    const char* chosen = a;

    char* b = NULL;
    if (altName != NULL && altName[0] != '\0') {
        StrSet(&b, altName);
        int32_t altPart = ExtractPartNumber(&b);
        if (part == -1)
            part = altPart;
        StripTitleTags(&b);
        CapitaliseTitle(&b);
        if (ScoreTitle(a) < ScoreTitle(b))
            chosen = b;
    }

    StrSet(title, chosen);
    if (partNumber != NULL)
        *partNumber = part;
    free(a);
    free(b);
    return true;
}
