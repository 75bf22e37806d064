// Sort keys of movies.
#include "export/SortKeys.h"

#include <atomic>
#include <cstdio>

#include "core/ImdbInfo.h"
#include "core/Movie.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "export/TokenEngine.h"

namespace {

std::atomic<CustomSortScriptSource> theScriptSource(nullptr);

// The title with a leading "the " (any case) skipped; "" without a title.
const char* TitleKey(const CMovie& movie)
{
    const char* title = movie.m_title;
    if (title == NULL)
        return "";
    const char* the = "the ";
    for (int i = 0; i < 4; i++) {
        if (LowerAscii(title[i]) != the[i])
            return title;
    }
    return title + 4;
}

} // namespace

void SetCustomSortScriptSource(CustomSortScriptSource source)
{
    theScriptSource.store(source);
}

void MovieSortKey(int code, const CMovie* movie, char** key)
{
    if (movie == NULL) {
        StrAssign(key, "");
        return;
    }
    switch (code) {
    case SORT_BY_ID: {
        char text[32];
        snprintf(text, sizeof(text), "%12lu", (unsigned long)movie->m_id);
        StrAssign(key, text);
        break;
    }
    case SORT_BY_TYPE:
        StrAssign(key, movie->GetDisplayName());
        break;
    case SORT_BY_GENRE: {
        const CImdbInfo* info = movie->m_imdbInfo.get();
        bool known = info != NULL && info->m_genre != NULL && info->m_genre[0] != '\0';
        StrAssign(key, known ? info->m_genre : "[unknown]");
        break;
    }
    case SORT_BY_CUSTOM: {
        CustomSortScriptSource source = theScriptSource.load();
        const char* script = source != NULL ? source() : NULL;
        StrAssign(key, script != NULL ? script : "");
        ExpandScriptTokens(key, movie, -1, NULL, NULL);
        break;
    }
    default:
        StrAssign(key, TitleKey(*movie));
        break;
    }
}

void MovieSortKeys(int code, const CMovie* movie, char** key, char** key2)
{
    MovieSortKey(code, movie, key);
    StrAssign(key2, movie != NULL ? TitleKey(*movie) : "");
}

void MovieSortKeysById(int code, DWORD id, char** key, char** key2)
{
    // Read in place: a copy would duplicate every cover just for its keys.
    if (!theCollection.ReadMovie(id, [&](const CMovie& movie) { MovieSortKeys(code, &movie, key, key2); }))
        MovieSortKeys(code, NULL, key, key2);
}
