// The keys by which movies are listed and exported. The sort codes are those
// of the listing's sort menu.
#pragma once

#include <string>

#include "core/WinTypes.h"

class CMovie;

enum SortCode {
    SORT_BY_ID = 44,
    SORT_BY_TITLE = 55,
    SORT_BY_TYPE = 66,
    SORT_BY_GENRE = 77,
    SORT_BY_CUSTOM = 88
};

// Gives the program's custom sort script (NULL for none). Installed once at
// start-up; without one the custom key is empty.
typedef const char* (*CustomSortScriptSource)();
void SetCustomSortScriptSource(CustomSortScriptSource source);

// The title without a leading "the " (any case); "" without a title.
const char* MovieTitleKey(const CMovie& movie);

// The movie's key for the sort code, as MovieSortKey gives it, without a
// copy where the movie holds the text: a text of the movie, a constant, or
// *room filled with the key.
const char* MovieSortKeyText(int code, const CMovie& movie, std::string* room);

// *key becomes the movie's key for the sort code (a heap text): the id
// right-aligned in 12 characters (44), the type text (66), the genre or
// "[unknown]" (77), the custom script expanded for the movie (88), else the
// title without a leading "the ".
void MovieSortKey(int code, const CMovie* movie, char** key);

// As MovieSortKey; *key2 is the title without a leading "the ", which orders
// movies whose first keys are equal.
void MovieSortKeys(int code, const CMovie* movie, char** key, char** key2);

// The same for a stored movie; both keys are empty when the id is not stored.
void MovieSortKeysById(int code, DWORD id, char** key, char** key2);
