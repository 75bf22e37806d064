// Cleaning text taken from web pages and file names: entities, tags and
// blanks.
//
// Every step is one pass over the text from front to back that writes its
// result over the part already read. No step lengthens the text, so the write
// position never overtakes the read position and the text from the read
// position on is still the step's own input. The cleaning therefore takes
// time in proportion to the text, whatever the text holds.
#include "core/HtmlEntities.h"

#include <cstring>

#include "core/StrUtil.h"

namespace {

// The first c in [p, end), or end. Near bytes are looked at one by one, so
// that dense hits cost no call; the rest is left to memchr.
const char* FindByte(const char* p, const char* end, char c)
{
    if (end - p > 16) {
        for (const char* near = p + 16; p < near; p++) {
            if (*p == c)
                return p;
        }
    }
    const void* hit = p < end ? memchr(p, c, size_t(end - p)) : NULL;
    return hit != NULL ? static_cast<const char*>(hit) : end;
}

// True when the n bytes at text equal word, compared without case.
bool SameNoCase(const char* text, const char* word, size_t n)
{
    for (size_t i = 0; i < n; i++) {
        if (LowerAscii(text[i]) != LowerAscii(word[i]))
            return false;
    }
    return true;
}

// The output end of one pass over a text: what is written goes over bytes
// the pass has already read.
class Rewriter {
public:
    explicit Rewriter(char* text) : m_out(text) {}
    void Put(char c) { *m_out++ = c; }
    // Keeps the input bytes [from, to). Short runs are moved byte by byte,
    // which the write position being behind the read position allows.
    void Keep(const char* from, const char* to)
    {
        size_t n = size_t(to - from);
        if (m_out == from)
            m_out += n;
        else if (n > 16)
            m_out = static_cast<char*>(memmove(m_out, from, n)) + n;
        else
            while (from < to)
                *m_out++ = *from++;
    }
    char* End() const { return m_out; }

private:
    char* m_out;
};

// One pass over the length bytes of text: at each byte first, replace(at,
// end, out) either writes a replacement and answers how many input bytes it
// took, or answers 0 to keep that byte. Bytes in between are kept. Returns
// the new length; the text stays NUL-terminated.
template <typename Replace> size_t ReplaceEach(char* text, size_t length, char first, Replace replace)
{
    Rewriter out(text);
    const char* p = text;
    const char* end = text + length;
    while (p < end) {
        const char* at = FindByte(p, end, first);
        out.Keep(p, at);
        if (at == end)
            break;
        size_t taken = replace(at, end, out);
        if (taken == 0) {
            out.Keep(at, at + 1);
            taken = 1;
        }
        p = at + taken;
    }
    *out.End() = '\0';
    return size_t(out.End() - text);
}

// Cuts the text at the last open bracket when no close bracket follows it.
size_t CutUnclosed(char* text, size_t length, char open, char close)
{
    char* at = strrchr(text, open);
    if (at == NULL || strchr(at, close) != NULL)
        return length;
    *at = '\0';
    return size_t(at - text);
}

// Removes every tag from "<" to the next ">", except those whose text after
// the "<" begins with keepTag. An unterminated "<" cuts the text.
size_t RemoveTags(char* text, size_t length, const char* keepTag)
{
    size_t keepLength = keepTag != NULL ? strlen(keepTag) : 0;
    return ReplaceEach(text, length, '<', [=](const char* at, const char* end, Rewriter& out) {
        const char* close = FindByte(at, end, '>');
        if (close == end)
            return size_t(end - at);
        if (keepLength > 0 && size_t(end - at) - 1 >= keepLength && SameNoCase(at + 1, keepTag, keepLength))
            out.Keep(at, close + 1);
        return size_t(close + 1 - at);
    });
}

// Replaces each find, left to right and not overlapping, by replacement,
// which is not longer. Text made by a replacement is not looked at again.
size_t ReplaceAll(char* text, size_t length, const char* find, const char* replacement)
{
    size_t findLength = strlen(find);
    return ReplaceEach(text, length, find[0], [=](const char* at, const char* end, Rewriter& out) {
        if (size_t(end - at) < findLength || memcmp(at, find, findLength) != 0)
            return size_t(0);
        for (const char* r = replacement; *r != '\0'; r++)
            out.Put(*r);
        return findLength;
    });
}

// "&nbsp;", the name compared without case, becomes one blank.
size_t ReplaceNbsp(char* text, size_t length)
{
    return ReplaceEach(text, length, '&', [](const char* at, const char* end, Rewriter& out) {
        if (end - at < 6 || !SameNoCase(at + 1, "nbsp;", 5))
            return size_t(0);
        out.Put(' ');
        return size_t(6);
    });
}

// Each run of blanks becomes a single blank.
size_t SqueezeBlanks(char* text, size_t length)
{
    return ReplaceEach(text, length, ' ', [](const char* at, const char* end, Rewriter& out) {
        const char* p = at + 1;
        while (end - p >= 8 && memcmp(p, "        ", 8) == 0)
            p += 8;
        while (p < end && *p == ' ')
            p++;
        out.Put(' ');
        return size_t(p - at);
    });
}

// Drops leading and trailing blanks and TABs; inner TABs become blanks.
size_t TrimBlanks(char* text, size_t length)
{
    size_t first = 0;
    while (first < length && (text[first] == ' ' || text[first] == '\t'))
        first++;
    while (length > first && (text[length - 1] == ' ' || text[length - 1] == '\t'))
        length--;
    length -= first;
    memmove(text, text + first, length);
    return ReplaceEach(text, length, '\t', [](const char*, const char*, Rewriter& out) {
        out.Put(' ');
        return size_t(1);
    });
}

// "&#" + exactly three digits + ";" becomes the byte of that value. Values
// above 255 become a blank, and so does 0, which would end the text.
size_t DecodeNumericEntities(char* text, size_t length)
{
    return ReplaceEach(text, length, '&', [](const char* at, const char* end, Rewriter& out) {
        if (end - at < 6 || at[1] != '#' || !IsAsciiDigit(at[2]) || !IsAsciiDigit(at[3]) || !IsAsciiDigit(at[4]) ||
            at[5] != ';')
            return size_t(0);
        int value = (at[2] - '0') * 100 + (at[3] - '0') * 10 + (at[4] - '0');
        out.Put((value > 255 || value == 0) ? ' ' : char(value));
        return size_t(6);
    });
}

} // namespace

void DecodeHtmlEntities(char** text, const char* keepTag)
{
    if (text == NULL || *text == NULL)
        return;
    // The steps work on the heap text itself; it only ever gets shorter.
    char* work = *text;
    size_t length = strlen(work);
    size_t original = length;

    length = CutUnclosed(work, length, '(', ')');
    length = CutUnclosed(work, length, '[', ']');
    length = RemoveTags(work, length, keepTag);
    length = ReplaceNbsp(work, length);
    length = SqueezeBlanks(work, length);
    length = ReplaceAll(work, length, "()", "");
    length = ReplaceAll(work, length, "[]", "");
    length = ReplaceAll(work, length, "( )", "");
    length = ReplaceAll(work, length, "[ ]", "");
    length = TrimBlanks(work, length);
    length = DecodeNumericEntities(work, length);

    // A text that shrank gets a buffer of its new size.
    if (length < original)
        StrAssignN(text, work, length);
}
