// A record that repeats the id of an earlier one of its kind keeps its data
// under a free id. Nothing names a disc or a person, and loans that name a
// repeated movie id stay with the first movie, the one the id has always
// found. Files are the exception: movies and discs name them by id alone, so
// nothing tells which of two files a reference meant, and under a new id a
// file would belong to no disc and no movie, out of reach of every view. A
// later file of a repeated id is dropped; the original file, kept at the
// next save, still holds it. The references that followed it go: a file
// stays with the first movie and the first disc that name it.
#include "core/IdRepair.h"

#include <algorithm>
#include <iterator>

#include "core/IdOrder.h"

namespace {

typedef std::vector<std::unique_ptr<CMovieFile>> FileList;

// Takes every record whose id an earlier one of the list (in id order) has
// already out of it, in their order.
template <class T>
std::vector<std::unique_ptr<T>> TakeRepeatedIds(std::vector<std::unique_ptr<T>>& list)
{
    std::vector<std::unique_ptr<T>> repeated;
    size_t kept = 0;
    for (size_t i = 0; i < list.size(); i++) {
        if (kept > 0 && list[kept - 1]->m_id == list[i]->m_id)
            repeated.push_back(std::move(list[i]));
        else if (kept++ != i)
            list[kept - 1] = std::move(list[i]);
    }
    list.resize(kept);
    return repeated;
}

// Keeps the entries for which keep is true, in their order; keep is asked
// once for each entry, first to last. Returns how many went.
template <class E, class Keep>
size_t KeepOnly(std::vector<E>& entries, Keep keep)
{
    size_t kept = 0;
    for (size_t i = 0; i < entries.size(); i++) {
        if (keep(entries[i]))
            entries[kept++] = entries[i];
    }
    size_t removed = entries.size() - kept;
    entries.erase(entries.begin() + kept, entries.end());
    return removed;
}

// Keeps a file id only when it names a file that no earlier list, nor an
// earlier place in this one, has taken; owned marks the files taken, by
// their place in files. Returns how many ids went.
size_t KeepOwnFileIds(std::vector<DWORD>& ids, const FileList& files, std::vector<bool>& owned)
{
    return KeepOnly(ids, [&](DWORD id) {
        size_t at = LowerBound(files, id);
        if (at >= files.size() || files[at]->m_id != id || owned[at])
            return false;
        owned[at] = true;
        return true;
    });
}

// The file ids of the records of both lists, the kept ones first: each file
// stays with the first record that names it.
template <class T>
unsigned long long ClaimFiles(std::vector<std::unique_ptr<T>>& list,
                              std::vector<std::unique_ptr<T>>& repeated, const FileList& files)
{
    std::vector<bool> owned(files.size(), false);
    unsigned long long removed = 0;
    for (std::vector<std::unique_ptr<T>>* records : { &list, &repeated }) {
        for (const std::unique_ptr<T>& record : *records)
            removed += KeepOwnFileIds(record->m_fileIds, files, owned);
    }
    return removed;
}

// The ids that records in id order with unique ids leave free, at most
// wanted of them, in ascending order. They are chosen as new records take
// them: after the last id up to the limit, as an added record would; then
// the gaps from 0 up; last the ids above the limit. Fewer than wanted only
// when no other id is free.
template <class T>
std::vector<DWORD> FreeIds(const std::vector<std::unique_ptr<T>>& list, size_t wanted)
{
    std::vector<DWORD> ids;
    ids.reserve(wanted);
    auto take = [&](unsigned long long from, unsigned long long to) {
        for (unsigned long long id = from; id < to && ids.size() < wanted; id++)
            ids.push_back(DWORD(id));
    };
    unsigned long long above = list.empty() ? 0 : list.back()->m_id + 1ULL;
    unsigned long long limit = std::max<unsigned long long>(above, ID_LIMIT);
    take(above, limit);
    size_t aboveLast = ids.size();
    unsigned long long next = 0;
    for (size_t i = 0; i < list.size() && ids.size() < wanted; i++) {
        take(next, list[i]->m_id);
        next = list[i]->m_id + 1ULL;
    }
    // The gaps lie below the ids after the last one, and those below the
    // ids above the limit.
    std::rotate(ids.begin(), ids.begin() + aboveLast, ids.end());
    take(limit, NO_ID);
    return ids;
}

// Gives the repeated records free ids, ascending in their order, and merges
// them into the list; those no id is left for are dropped. Returns how many
// got one.
template <class T>
size_t GiveFreeIds(std::vector<std::unique_ptr<T>>& list, std::vector<std::unique_ptr<T>>& repeated)
{
    std::vector<DWORD> ids = FreeIds(list, repeated.size());
    repeated.resize(ids.size());
    for (size_t i = 0; i < ids.size(); i++)
        repeated[i]->m_id = ids[i];
    size_t middle = list.size();
    list.insert(list.end(), std::make_move_iterator(repeated.begin()),
                std::make_move_iterator(repeated.end()));
    std::inplace_merge(list.begin(), list.begin() + middle, list.end(),
                       [](const std::unique_ptr<T>& a, const std::unique_ptr<T>& b) { return a->m_id < b->m_id; });
    return ids.size();
}

} // namespace

IdRepairCounts RepairIds(std::vector<std::unique_ptr<CDisc>>& discs,
                         std::vector<std::unique_ptr<CMovie>>& movies,
                         std::vector<std::unique_ptr<CMovieFile>>& files,
                         std::vector<std::unique_ptr<CPerson>>& persons)
{
    IdRepairCounts counts;
    std::vector<std::unique_ptr<CDisc>> repeatedDiscs = TakeRepeatedIds(discs);
    std::vector<std::unique_ptr<CMovie>> repeatedMovies = TakeRepeatedIds(movies);
    std::vector<std::unique_ptr<CPerson>> repeatedPersons = TakeRepeatedIds(persons);
    counts.dropped = TakeRepeatedIds(files).size();

    counts.removedReferences += ClaimFiles(movies, repeatedMovies, files);
    counts.removedReferences += ClaimFiles(discs, repeatedDiscs, files);
    // Loans are checked before any movie takes a new id, which no loan of
    // the file meant.
    for (std::vector<std::unique_ptr<CPerson>>* list : { &persons, &repeatedPersons }) {
        for (const std::unique_ptr<CPerson>& person : *list) {
            counts.removedReferences += KeepOnly(
                person->m_loans, [&](const CLoan& loan) { return FindRecord(movies, loan.m_movieId) != NULL; });
        }
    }

    size_t repeated = repeatedDiscs.size() + repeatedMovies.size() + repeatedPersons.size();
    counts.renumbered = GiveFreeIds(discs, repeatedDiscs) + GiveFreeIds(movies, repeatedMovies) +
                        GiveFreeIds(persons, repeatedPersons);
    counts.dropped += repeated - counts.renumbered;
    return counts;
}
