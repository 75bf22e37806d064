// The repair of the ids of a freshly read catalogue, before it replaces the
// collection: repeated ids, ids that name no record, and files named by more
// than one movie or disc.
#pragma once

#include <memory>
#include <vector>

#include "core/Disc.h"
#include "core/Movie.h"
#include "core/MovieFile.h"
#include "core/Person.h"

// What the repair changed.
struct IdRepairCounts {
    // File ids of movies and discs and loans that named no record, and file
    // ids naming a file that an earlier movie or disc (or an earlier place in
    // the same list) already has.
    unsigned long long removedReferences = 0;
    // Records that repeated an id and were given a free one.
    unsigned long long renumbered = 0;
    // Records that repeated an id and were dropped: every file of a repeated
    // id but the first, and any other record when no id is left.
    unsigned long long dropped = 0;
};

// Each list must be in id order, equal ids in the order of the file. After
// the repair every list holds unique ids in ascending order, every file id
// and loan names a stored record, and a file belongs to at most one movie and
// one disc. Time grows with the number of records and references, times the
// logarithm at most. Throws std::bad_alloc when memory runs out; the lists
// are then of no use and the load that read them must fail.
IdRepairCounts RepairIds(std::vector<std::unique_ptr<CDisc>>& discs,
                         std::vector<std::unique_ptr<CMovie>>& movies,
                         std::vector<std::unique_ptr<CMovieFile>>& files,
                         std::vector<std::unique_ptr<CPerson>>& persons);
