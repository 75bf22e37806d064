// The order of the painted movie list: every entry carries two sort keys
// for the chosen sort code; entries are ordered by the first key, then the
// second, both case-insensitively, reversed for descending order.
#pragma once

#include <vector>

#include "core/WinTypes.h"

struct EntrySortKeys {
    const char* key;
    const char* key2;
};

// Negative, 0 or positive as a orders before, with or after b ascending.
int CompareEntryKeys(const EntrySortKeys& a, const EntrySortKeys& b);

// The entry indexes in display order. Entries with equal keys keep their
// relative order.
std::vector<DWORD> SortEntryOrder(const std::vector<EntrySortKeys>& keys, bool ascending);
