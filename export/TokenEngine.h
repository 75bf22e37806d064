// The template token engine. Export scripts, listing texts, background rules,
// the compare key and the custom sort script are plain text with "%" tokens
// ("%movie_name", "%date_year", "%movie_file2_path", ...). This expands such a
// text for one movie, or for none (the head and foot of an export list), and
// tells the script editor where a token starts and how long it is.
//
// Thread-safe: the date and time are read once per expansion and kept on the
// caller's stack, and records are read through collection copies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/WinTypes.h"

class CMovie;
class CMovieCollection;

// Where the date and time tokens get the time from.
class ITokenClock {
public:
    virtual ~ITokenClock() {}
    // The current date and time in UTC.
    virtual void GetTime(SYSTEMTIME* now) = 0;
};

// The settings the engine reads.
class ITokenSettings {
public:
    virtual ~ITokenSettings() {}
    // "script"/"imdb_runtime": the running time of a movie comes from its
    // IMDb runtime when that is known.
    virtual bool UseImdbRuntime() = 0;
};

// Install the clock and the settings, normally once at start-up. NULL
// restores the system clock / the default settings (imdb_runtime 0). The
// objects must outlive every expansion.
void SetTokenClock(ITokenClock* clock);
void SetTokenSettings(ITokenSettings* settings);

enum TokenKind {
    TOKEN_TEXT,
    TOKEN_INTEGER,
    TOKEN_REAL
};

// While it lives, expansions on this thread read the files, borrowers and
// counts of the given collection instead of theCollection (the movies of
// another catalogue name that catalogue's files).
class CTokenCollectionScope {
public:
    explicit CTokenCollectionScope(CMovieCollection* collection);
    ~CTokenCollectionScope();
    CTokenCollectionScope(const CTokenCollectionScope&) = delete;
    CTokenCollectionScope& operator=(const CTokenCollectionScope&) = delete;

private:
    CMovieCollection* m_previous;
};

// The counts that a run of expansions over a catalogue that does not change
// meanwhile (an export) takes once, at the first token that asks, and
// keeps: the seen movies of "%movies_total_seen". -1 until counted.
struct TokenRunCounts {
    long long seen = -1;
};

// Replaces every token of the heap text *text, for the movie (or none),
// the running number (-1 for none), the cover prefix and the no-cover name
// (NULL for none). A NULL *text is left alone. An inserted value is never
// expanded again; unknown tokens stay as written. Throws std::bad_alloc when
// memory runs out (the text is then left as it was).
void ExpandScriptTokens(char** text, const CMovie* movie, int32_t number,
                        const char* coverPrefix, const char* noCoverName);

// The same for a text of the caller's: the expansion is appended to *out,
// so that one buffer can serve a run of expansions, and the run's counts
// (or none) are taken once.
void ExpandScriptTokensTo(std::string* out, const char* text, const CMovie* movie, int32_t number,
                          const char* coverPrefix, const char* noCoverName, TokenRunCounts* counts = NULL);

// Looks at the text at position (a "%"). On a match returns a heap string
// (the caller frees it) and stores the characters used in *consumed; in
// check-only mode the string is empty and only the length counts. NULL when
// no token starts there; std::bad_alloc when memory runs out. now is the
// time for the date and time tokens; NULL reads the clock.
char* ExpandScriptToken(const char* position, size_t* consumed, const CMovie* movie,
                        int32_t number, const char* coverPrefix, const char* noCoverName,
                        bool checkOnly, const SYSTEMTIME* now = NULL);

// Check-only lookup for highlighting. With a movie, "%movie_number" and
// "%movie_cover_file" count as tokens; without one, only the tokens that need
// no movie do.
bool IsScriptToken(const CMovie* movie, const char* position, size_t* consumed);

// The last step of every match: reads a width ("5", "5.2", "3.") directly
// after the token at position + *consumed for integer and real values, adds
// it to *consumed and formats the value with it. Real values without a width
// lose their trailing zeros. Text values come back unchanged.
std::string FormatTokenNumber(const std::string& value, TokenKind kind,
                              const char* position, size_t* consumed);
