#include "dialogs/SearchWalk.h"

#include <cstdio>
#include <cstring>

#include "core/StrUtil.h"

namespace {

// Whether text holds the piece of n bytes.
bool HasPiece(const char* text, const char* piece, size_t n, bool caseSensitive)
{
    if (n == 0)
        return true;
    if (caseSensitive) {
        for (const char* at = strchr(text, piece[0]); at != NULL; at = strchr(at + 1, piece[0])) {
            if (strncmp(at, piece, n) == 0)
                return true;
        }
        return false;
    }
    const char first = LowerAscii(piece[0]);
    for (; *text != '\0'; text++) {
        if (LowerAscii(*text) != first)
            continue;
        size_t i = 1;
        while (i < n && text[i] != '\0' && LowerAscii(text[i]) == LowerAscii(piece[i]))
            i++;
        if (i == n)
            return true;
    }
    return false;
}

} // namespace

bool MatchSearchWords(const char* text, const char* search, bool exact, bool caseSensitive)
{
    if (text == NULL || search == NULL)
        return false;
    if (exact)
        return HasPiece(text, search, strlen(search), caseSensitive);
    const char* piece = search;
    for (;;) {
        const char* end = strchr(piece, ' ');
        size_t n = end != NULL ? size_t(end - piece) : strlen(piece);
        if (n > 0 && HasPiece(text, piece, n, caseSensitive))
            return true;
        if (end == NULL)
            return false;
        piece = end + 1;
    }
}

bool MovieMatchesSearch(const CMovie& movie, const SearchOptions& options)
{
    const char* search = options.text.c_str();
    auto match = [&](const char* text) { return MatchSearchWords(text, search, options.exact, options.caseSensitive); };
    if (match(movie.m_title))
        return true;
    if (!options.extra)
        return false;
    if (match(movie.m_language) || (movie.m_hasSubtitles && match(movie.m_subtitles)) ||
        match(movie.GetDisplayName()))
        return true;
    const CImdbInfo* info = movie.m_imdbInfo.get();
    if (info == NULL)
        return false;
    if (match(info->m_genre) || match(info->m_director) || match(info->m_country) || match(info->m_tagline) ||
        match(info->m_plot) || match(info->m_comment))
        return true;
    for (const std::unique_ptr<CImdbCastEntry>& entry : info->m_cast) {
        if (match(entry->m_actor) || match(entry->m_character))
            return true;
    }
    if (info->m_year != 0) {
        char year[16];
        std::snprintf(year, sizeof year, "%u", unsigned(info->m_year));
        return match(year);
    }
    return false;
}

long SearchCollection(CMovieCollection& collection, const SearchOptions& options, const std::atomic<bool>& stop,
                      const SearchResultSink& found)
{
    long count = 0;
    if (options.movies) {
        for (DWORD id = collection.GetNextIdOfMovie(NO_ID); id != NO_ID && !stop;
             id = collection.GetNextIdOfMovie(id)) {
            // Matched under the store's lock on the stored record: no copy
            // of covers and texts per movie.
            std::string title;
            bool hit = false;
            collection.ReadMovie(id, [&](const CMovie& movie) {
                hit = MovieMatchesSearch(movie, options);
                if (hit && movie.m_title != NULL)
                    title = movie.m_title;
            });
            if (hit) {
                found(SEARCH_MOVIE, id, title.c_str());
                count++;
            }
        }
    }
    if (!options.files)
        return count;
    // Names are matched on the stored records, under the store's lock: a
    // copy handed back would be written into the store.
    const char* search = options.text.c_str();
    auto matchName = [&](const char* name, std::string* hit) {
        if (!MatchSearchWords(name, search, options.exact, options.caseSensitive))
            return false;
        *hit = name;    // a matching name is never NULL
        return true;
    };
    for (DWORD id = collection.GetNextIdOfFile(NO_ID); id != NO_ID && !stop; id = collection.GetNextIdOfFile(id)) {
        std::string name;
        bool hit = false;
        collection.ReadMovieFile(id, [&](const CMovieFile& file) { hit = matchName(file.m_fileName, &name); });
        if (hit) {
            found(SEARCH_FILE, id, name.c_str());
            count++;
        }
    }
    for (DWORD id = collection.GetNextIdOfDisc(NO_ID); id != NO_ID && !stop; id = collection.GetNextIdOfDisc(id)) {
        std::string name;
        bool hit = false;
        collection.ReadDisc(id, [&](const CDisc& disc) { hit = matchName(disc.m_name, &name); });
        if (hit) {
            found(SEARCH_DISC, id, name.c_str());
            count++;
        }
    }
    return count;
}
