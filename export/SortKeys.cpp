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

} // namespace

const char* MovieTitleKey(const CMovie& movie)
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

void SetCustomSortScriptSource(CustomSortScriptSource source)
{
    theScriptSource.store(source);
}

const char* MovieSortKeyText(int code, const CMovie& movie, std::string* room)
{
    switch (code) {
    case SORT_BY_ID: {
        char text[32];
        snprintf(text, sizeof(text), "%12lu", (unsigned long)movie.m_id);
        *room = text;
        return room->c_str();
    }
    case SORT_BY_TYPE:
        return movie.GetDisplayName();
    case SORT_BY_GENRE: {
        const CImdbInfo* info = movie.m_imdbInfo.get();
        bool known = info != NULL && info->m_genre != NULL && info->m_genre[0] != '\0';
        return known ? info->m_genre : "[unknown]";
    }
    case SORT_BY_CUSTOM: {
        CustomSortScriptSource source = theScriptSource.load();
        const char* script = source != NULL ? source() : NULL;
        room->clear();
        ExpandScriptTokensTo(room, script != NULL ? script : "", &movie, -1, NULL, NULL);
        return room->c_str();
    }
    default:
        return MovieTitleKey(movie);
    }
}

void MovieSortKey(int code, const CMovie* movie, char** key)
{
    std::string room;
    StrAssign(key, movie != NULL ? MovieSortKeyText(code, *movie, &room) : "");
}

void MovieSortKeys(int code, const CMovie* movie, char** key, char** key2)
{
    MovieSortKey(code, movie, key);
    StrAssign(key2, movie != NULL ? MovieTitleKey(*movie) : "");
}

void MovieSortKeysById(int code, DWORD id, char** key, char** key2)
{
    // Read in place: a copy would duplicate every cover just for its keys.
    if (!theCollection.ReadMovie(id, [&](const CMovie& movie) { MovieSortKeys(code, &movie, key, key2); }))
        MovieSortKeys(code, NULL, key, key2);
}
