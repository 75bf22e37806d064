// The type-ahead search of the painted movie list: each letter typed goes on
// with the prefix typed before while the anchor is still the entry that the
// last letter found, and falls back to shorter prefixes when nothing begins
// with the longer one.
#pragma once

#include <vector>

#include "app/ListSelection.h"
#include "core/WinTypes.h"

struct TypeAheadState {
    DWORD entry = kNoEntry;  // the entry the last letter found
    DWORD length = 0;        // letters typed so far: the first ones of its title
};

// titles[i] is the title of entry i (NULL or empty: none). Returns the entry
// that becomes the anchor, or kNoEntry when nothing changes; state follows.
DWORD TypeAheadFind(const std::vector<const char*>& titles, DWORD anchor, TypeAheadState& state,
                    char letter);

// Case-insensitive comparisons over Latin-1.
int CompareNoCase(const char* a, const char* b);
bool StartsWithNoCase(const char* text, const char* prefix);
