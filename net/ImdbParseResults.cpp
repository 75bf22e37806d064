// A page of search results: the hits of its movie, video and TV movie
// sections.
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/ImdbInfo.h"
#include "net/HtmlText.h"
#include "net/ImdbHost.h"
#include "net/ImdbParse.h"
#include "net/ImdbParseText.h"
#include "net/ImdbSite.h"

using namespace imdbparse;

namespace {

typedef std::vector<std::pair<std::string, std::string>> HitList;

// Where a section that starts at from ends: at the next named anchor, else
// the special titles link, else the table's end, else the wide rule.
long SectionEnd(const char* text, long length, long from)
{
    long end = FindHtmlTag(from, "A", "NAME", "", text, length, true);
    if (end < 0)
        end = FindHtmlTag(from, "A", "HREF", "/special-titles", text, length, true);
    if (end < 0)
        end = FindHtmlTag(from, "/TABLE", NULL, NULL, text, length, true);
    if (end < 0)
        end = FindHtmlTag(from, "HR", "width", "80%", text, length, true);
    return end;
}

// Each link of the section is a hit, titled by the text up to the next
// link. The first tag of "A" kind that is no link ends the section.
void ReadSection(IImdbHost& host, bool showErrors, const char* text, size_t from, size_t end, HitList* hits)
{
    size_t link = npos;     // the open link's tag
    size_t titleFrom = 0;   // where its title text starts
    std::string address;
    for (size_t i = from; i <= end; i++) {
        bool linkTag = i < end && text[i] == '<' && LowerAscii(text[i + 1]) == 'a';
        if (i < end && !linkTag)
            continue;
        if (link != npos)
            hits->emplace_back(address, CleanedText(text + titleFrom, i - titleFrom, NULL));
        if (i == end)
            return;
        const void* close = memchr(text + i, '>', end - i);
        if (close == nullptr)
            return;
        char* href = nullptr;
        if (!FindTagAttribute(text, long(end), long(i), "HREF", &href)) {
            ShowHostError(host, !showErrors, "First <A> tag was not a link.");
            return;
        }
        address = std::string(ImdbBaseAddress()) + href;
        free(href);
        link = i;
        i = size_t(static_cast<const char*>(close) - text);
        titleFrom = i + 1;
    }
}

} // namespace

bool ParseMultipleResults(CImdbInfo& record, const char* page, size_t pageLength, bool showErrors, IImdbHost& host)
{
    char* text = nullptr;
    size_t length = 0;
    JoinLines(page != nullptr ? page : "", page != nullptr ? pageLength : 0, &text, &length);
    if (text == nullptr)
        return false;
    HitList hits;
    static const char* const kSections[] = { "mov", "vid", "tvm" };
    for (const char* section : kSections) {
        long anchor = FindHtmlTag(0, "A", "NAME", section, text, long(length), false);
        if (anchor < 0)
            continue;
        long end = SectionEnd(text, long(length), anchor + 1);
        if (end < 0) {
            ShowHostError(host, !showErrors, "Unable to find a end in multiple searches");
            free(text);
            return false;
        }
        ReadSection(host, showErrors, text, size_t(anchor + 1), size_t(end), &hits);
    }
    free(text);
    record.m_complete = 0;
    for (const auto& hit : hits)
        record.AddSearchHit(hit.first.c_str(), hit.second.c_str());
    return true;
}
