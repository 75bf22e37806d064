// Searching the catalogue's texts: the matching rule and the walk over the
// movies, files and discs, without any window.
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "core/MovieCollection.h"

// Whether text holds search. Exact: search as one piece. Any word: any of
// the blank-separated words of search (empty pieces are skipped, so a
// search of blanks alone finds nothing). Without case sensitivity A-Z
// equal a-z. A missing text or search never matches.
bool MatchSearchWords(const char* text, const char* search, bool exact, bool caseSensitive);

struct SearchOptions {
    std::string text;
    bool exact = false;
    bool caseSensitive = false;
    bool extra = false;   // the movie's further texts, not only its title
    bool movies = true;
    bool files = false;   // files and discs
};

// Kinds of search results.
enum { SEARCH_MOVIE = 100, SEARCH_FILE = 200, SEARCH_DISC = 230 };

// Whether a movie matches: its title, and with extra its language,
// subtitles, type, site texts, cast and year.
bool MovieMatchesSearch(const CMovie& movie, const SearchOptions& options);

// Walks the collection in ascending id order (movies, then files, then
// discs) and reports each match once; ends early when stop is set. Returns
// the number of matches. A failure (out of memory) ends the walk with its
// exception: the matches reported are then not all.
typedef std::function<void(int kind, DWORD id, const char* text)> SearchResultSink;
long SearchCollection(CMovieCollection& collection, const SearchOptions& options, const std::atomic<bool>& stop,
                      const SearchResultSink& found);
