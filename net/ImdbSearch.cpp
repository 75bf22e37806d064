#include "net/ImdbSearch.h"

#include <cstdlib>
#include <cstring>
#include <set>
#include <unordered_set>

#include "core/HtmlEntities.h"
#include "core/ImdbInfo.h"
#include "core/StrUtil.h"
#include "net/HtmlText.h"
#include "net/ImdbHost.h"
#include "net/ImdbParse.h"
#include "net/ImdbParseText.h"
#include "net/ImdbSite.h"

using namespace imdbparse;

namespace {

// A result list can lead to another one; this many nested retrievals are
// enough for a name search, its second attempt and one followed hit.
const int kMaxDepth = 4;

struct Search {
    IImdbHost& host;
    std::set<std::string> fetchedLinks;
};

// Keeps the first hit of each link, in order.
void DropDuplicateHits(CImdbInfo& record)
{
    std::unordered_set<std::string> seen;
    size_t kept = 0;
    for (size_t i = 0; i < record.m_hits.size(); i++) {
        const char* link = record.m_hits[i]->m_address;
        if (seen.insert(link != nullptr ? link : "").second)
            record.m_hits[kept++] = std::move(record.m_hits[i]);
    }
    record.m_hits.resize(kept);
}

// The content of the page's keywords tag, when it has one.
bool FindKeywords(const std::string& page, std::string* keywords)
{
    long length = long(page.size());
    long meta = FindHtmlTag(0, "META", "name", "keywords", page.c_str(), length, true);
    char* content = nullptr;
    if (meta < 0 || !FindTagAttribute(page.c_str(), length, meta, "content", &content))
        return false;
    *keywords = content;
    free(content);
    return true;
}

bool ReadTitlePage(CImdbInfo& record, IImdbHost& host, const std::string& page, const std::string& keywords)
{
    CImdbInfo scratch;
    scratch.CopyFrom(record);
    std::string title;
    ImdbKeywordsTitle(keywords.c_str(), &title, &scratch.m_year);
    StrAssign(&scratch.m_title, title.c_str());
    DecodeHtmlEntities(&scratch.m_title, NULL);
    if (!ParseTitlePage(scratch, page.data(), page.size(), host))
        return false;
    record.CopyFrom(scratch);
    return true;
}

bool Get(Search& search, CImdbInfo& record, const char* name, bool showErrors, bool post, long lastCount,
         bool isLink, int depth)
{
    IImdbHost& host = search.host;
    host.ClearErrors();
    if (name == nullptr)
        return false;

    std::string url, body;
    if (isLink) {
        url = name;
        search.fetchedLinks.insert(url);
    } else {
        char* encoded = nullptr;
        StrAssign(&encoded, name);
        UrlEncode(&encoded);
        std::string query = encoded != nullptr ? encoded : "";
        free(encoded);
        if (query.empty())
            return false;
        if (post) {
            url = ImdbFindAddress();
            body = std::string(kImdbFindFormBody) + query;
        } else {
            url = ImdbSearchAddress() + kImdbSearchQuery + query;
        }
    }

    std::string page;
    if (!host.Fetch(url.c_str(), post && !isLink ? body.c_str() : nullptr, &page)) {
        ShowHostError(host, !showErrors, "Unable to retrieve site.\r\n%s", host.GetErrorText().c_str());
        return false;
    }

    std::string keywords;
    if (FindKeywords(page, &keywords))
        return ReadTitlePage(record, host, page, keywords);

    host.SetStatus("Multiple results returned...");
    bool parsed = ParseMultipleResults(record, page.data(), page.size(), showErrors, host);
    if (parsed && record.m_complete)
        return true;
    // A name is searched both ways, and the hits of both are kept.
    if (lastCount == -1 && depth < kMaxDepth)
        return Get(search, record, name, showErrors, !post, long(record.m_hits.size()), isLink, depth + 1);

    DropDuplicateHits(record);
    if (record.m_hits.size() == 1 && depth < kMaxDepth) {
        const char* link = record.m_hits[0]->m_address;
        if (link != nullptr && search.fetchedLinks.count(link) == 0) {
            std::string target = link;
            return Get(search, record, target.c_str(), showErrors, false, -1, true, depth + 1);
        }
    }
    return parsed;
}

} // namespace

bool ImdbKeywordsTitle(const char* keywords, std::string* title, WORD* year)
{
    std::string text = keywords != nullptr ? keywords : "";
    for (;;) {
        size_t open = text.rfind('(');
        size_t close = text.rfind(')');
        if (open == npos || close == npos)
            break;
        if (close > open && (close - open - 1 == 4 || (open + 5 < text.size() && text[open + 5] == '/'))) {
            unsigned long number = 0;
            *year = ReadLeadingDecimal(text.c_str() + open + 1, 0xFFFF, &number) ? WORD(number) : 0;
            size_t last = text.find_last_not_of(" \t", open == 0 ? npos : open - 1);
            *title = open == 0 || last == npos ? std::string() : text.substr(0, last + 1);
            return true;
        }
        text.erase(open);
    }
    *title = keywords != nullptr ? keywords : "";
    return false;
}

bool GetInfo(CImdbInfo& record, IImdbHost& host, const char* name, bool showErrors, bool post, long lastCount,
             bool isLink)
{
    Search search{ host, {} };
    return Get(search, record, name, showErrors, post, lastCount, isLink, 1);
}
