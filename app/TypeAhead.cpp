#include "app/TypeAhead.h"

#include <algorithm>
#include <string>

#include "core/StrUtil.h"

namespace {

bool HasTitle(const char* title)
{
    return title != NULL && title[0] != 0;
}

}  // namespace

int CompareNoCase(const char* a, const char* b)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a != NULL ? a : "");
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b != NULL ? b : "");
    for (;; p++, q++) {
        int d = int(LowerLatin1(*p)) - int(LowerLatin1(*q));
        if (d != 0 || *p == 0)
            return d;
    }
}

bool StartsWithNoCase(const char* text, const char* prefix)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text != NULL ? text : "");
    const unsigned char* q = reinterpret_cast<const unsigned char*>(prefix);
    for (; *q != 0; p++, q++) {
        if (*p == 0 || LowerLatin1(*p) != LowerLatin1(*q))
            return false;
    }
    return true;
}

DWORD TypeAheadFind(const std::vector<const char*>& titles, DWORD anchor, TypeAheadState& state,
                    char letter)
{
    DWORD count = DWORD(titles.size());
    const char* anchorTitle = anchor < count ? titles[anchor] : NULL;
    std::string old;
    if (anchor < count && anchor == state.entry && HasTitle(anchorTitle))
        old.assign(anchorTitle, std::min<size_t>(state.length, std::string(anchorTitle).size()));

    for (size_t keep = old.size() + 1; keep-- > 0;) {
        std::string prefix = old.substr(0, keep) + letter;
        if (HasTitle(anchorTitle) && StartsWithNoCase(anchorTitle, prefix.c_str()))
            return kNoEntry;  // the anchor already fits; the letter is not counted
        DWORD best = kNoEntry;
        for (DWORD i = 0; i < count; i++) {
            if (i == anchor || !HasTitle(titles[i]) || !StartsWithNoCase(titles[i], prefix.c_str()))
                continue;
            if (best == kNoEntry || CompareNoCase(titles[i], titles[best]) < 0)
                best = i;
        }
        if (best != kNoEntry) {
            state.entry = best;
            state.length = DWORD(prefix.size());
            return best;
        }
    }
    return kNoEntry;
}
