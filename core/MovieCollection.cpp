#include "core/MovieCollection.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "core/ErrorBox.h"
#include "core/MovieChangeLog.h"
#include "core/StrUtil.h"

CMovieCollection theCollection;

namespace {

typedef std::lock_guard<std::recursive_mutex> Lock;

void CopyRecord(CMovie& dest, const CMovie& src) { dest.CopyFrom(&src); }
void CopyRecord(CMovieFile& dest, const CMovieFile& src) { dest.CopyFrom(src); }
void CopyRecord(CDisc& dest, const CDisc& src) { dest.CopyFrom(src); }
void CopyRecord(CPerson& dest, const CPerson& src) { dest.CopyFrom(src); }

// The stored record as a changed copy would make it, whole, in a new record;
// NULL when the id is not stored or the copy changes nothing. The stored id
// stays: ids change only through RenumberMovie. Memory that runs out
// (std::bad_alloc) leaves the stored record as it was.
template <class T>
std::unique_ptr<T> ChangedRecord(const std::vector<std::unique_ptr<T>>& list, DWORD id, const T* copy)
{
    size_t at = LowerBound(list, id);
    if (at == list.size() || list[at]->m_id != id || !list[at]->IsDifferent(*copy))
        return std::unique_ptr<T>();
    std::unique_ptr<T> changed(new T);
    CopyRecord(*changed, *copy);
    changed->m_id = id;
    return changed;
}

// Puts the record in the place of the stored one of its id.
template <class T>
void Replace(std::vector<std::unique_ptr<T>>& list, std::unique_ptr<T> record)
{
    list[LowerBound(list, record->m_id)] = std::move(record);
}

// Writes a changed copy into the stored record; true when something changed.
template <class T>
bool ApplyCopy(std::vector<std::unique_ptr<T>>& list, DWORD id, const T* copy)
{
    std::unique_ptr<T> changed = ChangedRecord(list, id, copy);
    if (!changed)
        return false;
    Replace(list, std::move(changed));
    return true;
}

// The id and position for a new record of the list: after the last one,
// or, once that reaches the id limit, in the first gap of the run of ids
// that starts at the first record. False when there is no room.
template <class T>
bool NewIdFor(const std::vector<std::unique_ptr<T>>& list, DWORD* id, size_t* pos)
{
    if (list.size() >= ID_LIMIT)
        return false;
    if (list.empty()) {
        *id = 0;
        *pos = 0;
        return true;
    }
    unsigned long long next = static_cast<unsigned long long>(list.back()->m_id) + 1;
    if (next < ID_LIMIT) {
        *id = DWORD(next);
        *pos = list.size();
        return true;
    }
    for (size_t i = 1; i < list.size(); i++) {
        DWORD previous = list[i - 1]->m_id;
        if (list[i]->m_id != previous + 1) {
            *id = previous + 1;
            *pos = i;
            return true;
        }
    }
    return false;
}

} // namespace

CPendingChange::CPendingChange(BYTE kind, DWORD id, void* copy)
    : m_kind(kind), m_id(id), m_copy(copy), m_refCount(1), m_owner(std::this_thread::get_id())
{
}

CPendingChange::~CPendingChange()
{
    switch (m_kind) {
    case RECORD_MOVIE:
        delete static_cast<CMovie*>(m_copy);
        break;
    case RECORD_FILE:
        delete static_cast<CMovieFile*>(m_copy);
        break;
    case RECORD_DISC:
        delete static_cast<CDisc*>(m_copy);
        break;
    case RECORD_PERSON:
        delete static_cast<CPerson*>(m_copy);
        break;
    default:
        free(m_copy);
        break;
    }
}

CMovieCollection::CMovieCollection() : m_fileName(NULL), m_saved(1), m_changeLog(NULL)
{
}

CMovieCollection::~CMovieCollection()
{
    m_pendingByRecord.clear();
    m_pending.clear();
    free(m_fileName);
}

// ---------------------------------------------------------------------------
// Copies

template <class T>
T* CMovieCollection::GetCopy(std::vector<std::unique_ptr<T>>& list, DWORD id, BYTE kind)
{
    Lock lock(m_lock);
    T* stored = FindRecord(list, id);
    if (stored == NULL)
        return NULL;
    if (CPendingChange* shared = FindOwnCopy(kind, id)) {
        shared->m_refCount++;
        return static_cast<T*>(shared->m_copy);
    }
    try {
        std::unique_ptr<T> copy(new T);
        CopyRecord(*copy, *stored);
        std::unique_ptr<CPendingChange> entry(new CPendingChange(kind, id, copy.get()));
        T* result = copy.release();
        CPendingChange* raw = entry.get();
        m_pending[result] = std::move(entry);
        m_pendingByRecord[PendingKey(kind, id)].push_back(raw);
        return result;
    } catch (const std::bad_alloc&) {
        return NULL;
    }
}

CMovie* CMovieCollection::GetMovieCopy(DWORD id)
{
    return GetCopy(m_movies, id, RECORD_MOVIE);
}

CMovieFile* CMovieCollection::GetFileCopy(DWORD id)
{
    return GetCopy(m_files, id, RECORD_FILE);
}

CDisc* CMovieCollection::GetDiscCopy(DWORD id)
{
    return GetCopy(m_discs, id, RECORD_DISC);
}

CPerson* CMovieCollection::GetPersonCopy(DWORD id)
{
    return GetCopy(m_persons, id, RECORD_PERSON);
}

template <class T>
bool CMovieCollection::ReadRecord(const std::vector<std::unique_ptr<T>>& list, DWORD id,
                                  const std::function<void(const T&)>& reader)
{
    Lock lock(m_lock);
    const T* stored = FindRecord(list, id);
    if (stored == NULL)
        return false;
    reader(*stored);
    return true;
}

bool CMovieCollection::ReadMovie(DWORD id, const std::function<void(const CMovie&)>& reader)
{
    return ReadRecord(m_movies, id, reader);
}

bool CMovieCollection::ReadMovieFile(DWORD id, const std::function<void(const CMovieFile&)>& reader)
{
    return ReadRecord(m_files, id, reader);
}

bool CMovieCollection::ReadDisc(DWORD id, const std::function<void(const CDisc&)>& reader)
{
    return ReadRecord(m_discs, id, reader);
}

bool CMovieCollection::ReadBorrower(DWORD idOfMovie, const std::function<void(const CPerson&, size_t)>& reader)
{
    Lock lock(m_lock);
    for (const std::unique_ptr<CPerson>& person : m_persons) {
        for (size_t i = 0; i < person->m_loans.size(); i++) {
            const CLoan& loan = person->m_loans[i];
            if (loan.m_movieId == idOfMovie && loan.IsOpen()) {
                reader(*person, i);
                return true;
            }
        }
    }
    return false;
}

void CMovieCollection::ReadMovies(const std::function<void(const std::vector<const CMovie*>&)>& reader)
{
    Lock lock(m_lock);
    std::vector<const CMovie*> movies;
    movies.reserve(m_movies.size());
    for (const std::unique_ptr<CMovie>& movie : m_movies)
        movies.push_back(movie.get());
    reader(movies);
}

bool CMovieCollection::MovieAcceptsFile(DWORD movieId, DWORD fileId)
{
    Lock lock(m_lock);
    CMovie* stored = FindRecord(m_movies, movieId);
    if (stored == NULL)
        return false;
    // The check reads the movie and changes only the file's copy.
    char* reason = NULL;
    bool accepts = stored->CanAddFile(fileId, true, &reason);
    free(reason);
    return accepts;
}

CDisc* CMovieCollection::GetDiscCopyByFile(DWORD fileId)
{
    Lock lock(m_lock);
    for (const std::unique_ptr<CDisc>& disc : m_discs) {
        if (disc->HasFileId(fileId))
            return GetDiscCopy(disc->m_id);
    }
    return NULL;
}

CMovie* CMovieCollection::GetMovieCopyByFile(DWORD fileId)
{
    Lock lock(m_lock);
    for (const std::unique_ptr<CMovie>& movie : m_movies) {
        if (movie->HasFile(fileId))
            return GetMovieCopy(movie->m_id);
    }
    return NULL;
}

CPerson* CMovieCollection::FindBorrower(DWORD idOfMovie, int* loanIndex)
{
    Lock lock(m_lock);
    for (const std::unique_ptr<CPerson>& person : m_persons) {
        for (size_t i = 0; i < person->m_loans.size(); i++) {
            const CLoan& loan = person->m_loans[i];
            if (loan.m_movieId == idOfMovie && loan.IsOpen()) {
                if (loanIndex != NULL)
                    *loanIndex = int(i);
                return GetPersonCopy(person->m_id);
            }
        }
    }
    if (loanIndex != NULL)
        *loanIndex = -1;
    return NULL;
}

void CMovieCollection::ReleaseCopy(void** copy, BYTE kind)
{
    Lock lock(m_lock);
    if (copy == NULL || *copy == NULL)
        return;
    std::map<const void*, std::unique_ptr<CPendingChange>>::iterator it = m_pending.find(*copy);
    if (it == m_pending.end() || it->second->m_kind != kind)
        return;
    CPendingChange* entry = it->second.get();
    if (entry->m_id != NO_ID)
        ApplyPendingChange(*entry);
    *copy = NULL;
    if (--entry->m_refCount > 0)
        return;
    if (entry->m_id != NO_ID)
        ForgetCopy(entry);
    m_pending.erase(entry->m_copy);
}

void CMovieCollection::ReleaseMovieCopy(CMovie** copy)
{
    void* raw = copy ? *copy : NULL;
    ReleaseCopy(&raw, RECORD_MOVIE);
    if (copy != NULL)
        *copy = static_cast<CMovie*>(raw);
}

void CMovieCollection::ReleaseFileCopy(CMovieFile** copy)
{
    void* raw = copy ? *copy : NULL;
    ReleaseCopy(&raw, RECORD_FILE);
    if (copy != NULL)
        *copy = static_cast<CMovieFile*>(raw);
}

void CMovieCollection::ReleaseDiscCopy(CDisc** copy)
{
    void* raw = copy ? *copy : NULL;
    ReleaseCopy(&raw, RECORD_DISC);
    if (copy != NULL)
        *copy = static_cast<CDisc*>(raw);
}

void CMovieCollection::ReleasePersonCopy(CPerson** copy)
{
    void* raw = copy ? *copy : NULL;
    ReleaseCopy(&raw, RECORD_PERSON);
    if (copy != NULL)
        *copy = static_cast<CPerson*>(raw);
}

void CMovieCollection::ApplyPendingChange(CPendingChange& entry)
{
    Lock lock(m_lock);
    switch (entry.m_kind) {
    case RECORD_MOVIE: {
        DropMissingFileIds(static_cast<CMovie*>(entry.m_copy)->m_fileIds);
        std::unique_ptr<CMovie> changed =
            ChangedRecord(m_movies, entry.m_id, static_cast<const CMovie*>(entry.m_copy));
        if (!changed)
            return;
        changed->m_modified = 1;
        // Every file keeps the title of the movie that owns it: written into
        // the calling thread's copy of the file when it holds one, else into
        // the stored file. The movie and its files change together or not at
        // all: the texts are made before the first change, and a file copy
        // that fails to apply leaves the movie unapplied, to be tried again.
        std::vector<CMovieFile*> stored;
        std::vector<HeapText> titles;
        for (DWORD fileId : changed->m_fileIds) {
            CMovieFile* file = FindRecord(m_files, fileId);
            if (file == NULL)
                continue;
            stored.push_back(file);
            titles.push_back(StrCopy(changed->m_title));
        }
        for (size_t i = 0; i < stored.size(); i++) {
            if (CPendingChange* own = FindOwnCopy(RECORD_FILE, stored[i]->m_id)) {
                CMovieFile* copy = static_cast<CMovieFile*>(own->m_copy);
                if (!StrEqual(copy->m_movieTitle, changed->m_title)) {
                    HeapText old(copy->m_movieTitle, free);
                    copy->m_movieTitle = titles[i].release();
                }
                ApplyPendingChange(*own);
                stored[i] = NULL;
            }
        }
        if (m_changeLog != NULL)
            m_changeLog->OnMovieChanged(entry.m_id);
        // Nothing below fails.
        for (size_t i = 0; i < stored.size(); i++) {
            if (stored[i] != NULL) {
                free(stored[i]->m_movieTitle);
                stored[i]->m_movieTitle = titles[i].release();
            }
        }
        Replace(m_movies, std::move(changed));
        m_saved = 0;
        break;
    }
    case RECORD_FILE:
        if (ApplyCopy(m_files, entry.m_id, static_cast<const CMovieFile*>(entry.m_copy)))
            m_saved = 0;
        break;
    case RECORD_DISC:
        DropMissingFileIds(static_cast<CDisc*>(entry.m_copy)->m_fileIds);
        if (ApplyCopy(m_discs, entry.m_id, static_cast<const CDisc*>(entry.m_copy)))
            m_saved = 0;
        break;
    case RECORD_PERSON:
        if (ApplyCopy(m_persons, entry.m_id, static_cast<const CPerson*>(entry.m_copy)))
            m_saved = 0;
        break;
    default:
        break;
    }
}

void CMovieCollection::DropMissingFileIds(std::vector<DWORD>& fileIds)
{
    // Files may have gone while the copy was out (removed on another
    // thread, or by a re-read): their ids are not written back.
    fileIds.erase(std::remove_if(fileIds.begin(), fileIds.end(),
                                 [this](DWORD id) { return FindRecord(m_files, id) == NULL; }),
                  fileIds.end());
}

CPendingChange* CMovieCollection::FindOwnCopy(BYTE kind, DWORD id)
{
    std::map<PendingKey, std::vector<CPendingChange*>>::iterator it = m_pendingByRecord.find(PendingKey(kind, id));
    if (it == m_pendingByRecord.end())
        return NULL;
    std::thread::id self = std::this_thread::get_id();
    for (CPendingChange* entry : it->second) {
        if (entry->m_owner == self)
            return entry;
    }
    return NULL;
}

void CMovieCollection::ForgetCopy(CPendingChange* entry)
{
    std::map<PendingKey, std::vector<CPendingChange*>>::iterator it =
        m_pendingByRecord.find(PendingKey(entry->m_kind, entry->m_id));
    if (it == m_pendingByRecord.end())
        return;
    std::vector<CPendingChange*>& copies = it->second;
    copies.erase(std::remove(copies.begin(), copies.end(), entry), copies.end());
    if (copies.empty())
        m_pendingByRecord.erase(it);
}

void CMovieCollection::ApplyAllPendingChanges()
{
    Lock lock(m_lock);
    std::thread::id self = std::this_thread::get_id();
    std::vector<CPendingChange*> live;
    for (const std::pair<const PendingKey, std::vector<CPendingChange*>>& item : m_pendingByRecord) {
        for (CPendingChange* entry : item.second) {
            if (entry->m_owner == self)
                live.push_back(entry);
        }
    }
    for (CPendingChange* entry : live)
        ApplyPendingChange(*entry);
}

void CMovieCollection::DropPendingChange(BYTE kind, DWORD id, bool apply)
{
    Lock lock(m_lock);
    std::map<PendingKey, std::vector<CPendingChange*>>::iterator it = m_pendingByRecord.find(PendingKey(kind, id));
    if (it == m_pendingByRecord.end())
        return;
    std::vector<CPendingChange*> copies = it->second;
    m_pendingByRecord.erase(it);
    std::thread::id self = std::this_thread::get_id();
    for (CPendingChange* entry : copies) {
        if (apply && entry->m_owner == self)
            ApplyPendingChange(*entry);
        // Whoever still holds the copy may go on using it; its hand-back only
        // frees it.
        entry->m_id = NO_ID;
    }
}

// ---------------------------------------------------------------------------
// Lookups

DWORD CMovieCollection::GetNextIdOfMovie(DWORD id)
{
    Lock lock(m_lock);
    return NextId(m_movies, id);
}

DWORD CMovieCollection::GetNextIdOfFile(DWORD id)
{
    Lock lock(m_lock);
    return NextId(m_files, id);
}

DWORD CMovieCollection::GetNextIdOfDisc(DWORD id)
{
    Lock lock(m_lock);
    return NextId(m_discs, id);
}

DWORD CMovieCollection::GetNextIdOfPerson(DWORD id)
{
    Lock lock(m_lock);
    return NextId(m_persons, id);
}

DWORD CMovieCollection::GetIdOfLastMovie()
{
    Lock lock(m_lock);
    return m_movies.empty() ? NO_ID : m_movies.back()->m_id;
}

DWORD CMovieCollection::GetMovieCount()
{
    Lock lock(m_lock);
    return DWORD(m_movies.size());
}

void CMovieCollection::ClearMovieModified(DWORD id)
{
    Lock lock(m_lock);
    CMovie* stored = FindRecord(m_movies, id);
    if (stored != NULL)
        stored->m_modified = 0;
}

DWORD CMovieCollection::GetDiscCount()
{
    Lock lock(m_lock);
    return DWORD(m_discs.size());
}

bool CMovieCollection::IsSaved()
{
    Lock lock(m_lock);
    return m_saved != 0;
}

std::string CMovieCollection::GetFileName()
{
    // A copy: the stored text may change on another thread after the lock.
    Lock lock(m_lock);
    return m_fileName != NULL ? std::string(m_fileName) : std::string();
}

void CMovieCollection::SetChangeLog(CMovieChangeLog* log)
{
    Lock lock(m_lock);
    m_changeLog = log;
}

void CMovieCollection::ClearChangeLog()
{
    Lock lock(m_lock);
    m_changeLog = NULL;
}

// ---------------------------------------------------------------------------
// Adding

template <class T>
DWORD CMovieCollection::AddRecord(std::vector<std::unique_ptr<T>>& list, const T* record)
{
    Lock lock(m_lock);
    if (record == NULL)
        return NO_ID;
    DWORD id = NO_ID;
    size_t pos = 0;
    if (!NewIdFor(list, &id, &pos))
        return NO_ID;
    try {
        std::unique_ptr<T> stored(new T);
        CopyRecord(*stored, *record);
        stored->m_id = id;
        list.insert(list.begin() + pos, std::move(stored));
    } catch (const std::bad_alloc&) {
        return NO_ID;
    }
    m_saved = 0;
    return id;
}

DWORD CMovieCollection::AddMovie(const CMovie* movie, bool keepId)
{
    Lock lock(m_lock);
    if (movie == NULL || m_movies.size() >= ID_LIMIT)
        return NO_ID;
    DWORD id = NO_ID;
    if (keepId && movie->m_id != NO_ID) {
        id = movie->m_id;
        // Ids are unique: a second record of a stored id is refused.
        size_t at = LowerBound(m_movies, id);
        if (at < m_movies.size() && m_movies[at]->m_id == id)
            return NO_ID;
        try {
            std::unique_ptr<CMovie> stored(new CMovie);
            stored->CopyFrom(movie);
            m_movies.insert(m_movies.begin() + LowerBound(m_movies, id), std::move(stored));
        } catch (const std::bad_alloc&) {
            return NO_ID;
        }
        m_saved = 0;
    } else {
        id = AddRecord(m_movies, movie);
        if (id == NO_ID)
            return NO_ID;
    }
    FindRecord(m_movies, id)->m_modified = 1;
    if (m_changeLog != NULL)
        m_changeLog->OnMovieAdded(id);
    return id;
}

DWORD CMovieCollection::AddFile(const CMovieFile* file)
{
    return AddRecord(m_files, file);
}

DWORD CMovieCollection::AddPerson(const CPerson* person)
{
    return AddRecord(m_persons, person);
}

DWORD CMovieCollection::AddDisc(const CDisc* disc, bool ask)
{
    if (disc == NULL)
        return NO_ID;
    bool same = false;
    {
        Lock lock(m_lock);
        for (const std::unique_ptr<CDisc>& stored : m_discs) {
            if (StrEqual(stored->m_serialNumber, disc->m_serialNumber) &&
                StrEqual(stored->m_name, disc->m_name)) {
                same = true;
                break;
            }
        }
    }
    if (same) {
        if (ask) {
            // Asked without holding the lock: the box runs a message loop.
            int answer = AskUser(
                "A CD-ROM/DVD with the same serial number and name already exist in database.\n"
                "This probably means it's the same cd, but it must not be so.\n"
                "Continue adding the CD-ROM ?",
                "Warning", MB_OKCANCEL | MB_ICONEXCLAMATION);
            if (answer == IDCANCEL)
                return NO_ID;
        } else {
            ShowError(1, "A CD-ROM/DVD with the same serial number and name already exist in database");
        }
    }
    return AddRecord(m_discs, disc);
}

// ---------------------------------------------------------------------------
// Removing

void CMovieCollection::RemoveMovieRecord(DWORD id, bool deleteLoans)
{
    Lock lock(m_lock);
    DropPendingChange(RECORD_MOVIE, id, true);
    size_t i = LowerBound(m_movies, id);
    if (i >= m_movies.size() || m_movies[i]->m_id != id)
        return;
    if (m_changeLog != NULL)
        m_changeLog->OnMovieRemoved(id);
    m_movies.erase(m_movies.begin() + i);
    if (deleteLoans) {
        for (const std::unique_ptr<CPerson>& person : m_persons) {
            std::vector<CLoan>& loans = person->m_loans;
            loans.erase(std::remove_if(loans.begin(), loans.end(),
                                       [id](const CLoan& loan) { return loan.m_movieId == id; }),
                        loans.end());
        }
    }
    m_saved = 0;
}

void CMovieCollection::RemoveMovie(DWORD id)
{
    RemoveMovieRecord(id, true);
}

void CMovieCollection::RemoveFileRecord(DWORD id, DWORD keepDiscId)
{
    Lock lock(m_lock);
    DropPendingChange(RECORD_FILE, id, true);

    CDisc* disc = GetDiscCopyByFile(id);
    if (disc != NULL) {
        disc->RemoveFileId(id);
        if (disc->m_fileIds.empty() && disc->m_id != keepDiscId)
            RemoveDisc(disc->m_id);
        ReleaseDiscCopy(&disc);
    }
    CMovie* movie = GetMovieCopyByFile(id);
    if (movie != NULL) {
        movie->RemoveFile(id);
        ReleaseMovieCopy(&movie);
    }

    size_t i = LowerBound(m_files, id);
    if (i < m_files.size() && m_files[i]->m_id == id)
        m_files.erase(m_files.begin() + i);
    m_saved = 0;
}

void CMovieCollection::RemoveFile(DWORD id)
{
    RemoveFileRecord(id, NO_ID);
}

void CMovieCollection::RemoveDisc(DWORD id)
{
    Lock lock(m_lock);
    DropPendingChange(RECORD_DISC, id, true);
    CDisc* disc = FindRecord(m_discs, id);
    if (disc == NULL)
        return;
    std::vector<DWORD> fileIds = disc->m_fileIds;
    for (DWORD fileId : fileIds)
        RemoveFileRecord(fileId, id);
    size_t i = LowerBound(m_discs, id);
    if (i < m_discs.size() && m_discs[i]->m_id == id)
        m_discs.erase(m_discs.begin() + i);
    m_saved = 0;
}

void CMovieCollection::RemovePerson(DWORD id)
{
    Lock lock(m_lock);
    DropPendingChange(RECORD_PERSON, id, true);
    size_t i = LowerBound(m_persons, id);
    if (i < m_persons.size() && m_persons[i]->m_id == id)
        m_persons.erase(m_persons.begin() + i);
    m_saved = 0;
}

// ---------------------------------------------------------------------------
// Renumbering

// Moves the movies fromId..toId, a run of consecutive ids with toId + 1 free,
// up by one, from the top down. Each keeps its place in the array; its loans
// and the change log follow it as if it had been removed and added again.
void CMovieCollection::ShiftMovieIdsUp(DWORD fromId, DWORD toId)
{
    size_t first = LowerBound(m_movies, fromId);
    size_t last = LowerBound(m_movies, toId);
    for (size_t i = last + 1; i-- > first;) {
        CMovie* movie = m_movies[i].get();
        DWORD id = movie->m_id;
        DropPendingChange(RECORD_MOVIE, id, true);
        if (m_changeLog != NULL) {
            m_changeLog->OnMovieRemoved(id);
            m_changeLog->OnMovieAdded(id + 1);
        }
        movie->m_id = id + 1;
        movie->m_modified = 1;
    }
    for (const std::unique_ptr<CPerson>& person : m_persons) {
        for (CLoan& loan : person->m_loans) {
            if (loan.m_movieId >= fromId && loan.m_movieId <= toId)
                loan.m_movieId++;
        }
    }
    m_saved = 0;
}

void CMovieCollection::RenumberMovie(DWORD id, DWORD newId, bool exchange)
{
    Lock lock(m_lock);
    if (id == newId)
        return;
    if (FindRecord(m_movies, id) == NULL) {
        ShowError(1, "Movie to change id for did not exist");
        return;
    }
    if (newId == NO_ID)
        return;

    // The loans of both movies, by address: the persons are not touched
    // until they are pointed at the new ids.
    std::vector<CLoan*> ownLoans, otherLoans;
    for (const std::unique_ptr<CPerson>& person : m_persons) {
        for (CLoan& loan : person->m_loans) {
            if (loan.m_movieId == id)
                ownLoans.push_back(&loan);
            else if (loan.m_movieId == newId)
                otherLoans.push_back(&loan);
        }
    }

    bool taken = FindRecord(m_movies, newId) != NULL;
    DWORD runTop = newId;
    if (taken && !exchange) {
        // The run of consecutive ids from newId on (the moving movie aside)
        // must have room above it.
        size_t i = LowerBound(m_movies, newId);
        DWORD top = newId;
        for (;;) {
            while (i < m_movies.size() && (m_movies[i]->m_id < top || m_movies[i]->m_id == id))
                i++;
            if (i >= m_movies.size() || m_movies[i]->m_id != top)
                break;
            if (top == NO_ID - 1)
                return;
            runTop = top;
            top++;
        }
    }

    DropPendingChange(RECORD_MOVIE, id, true);
    std::unique_ptr<CMovie> moved(new CMovie);
    moved->CopyFrom(FindRecord(m_movies, id));
    moved->m_id = newId;
    RemoveMovieRecord(id, false);

    if (taken) {
        if (exchange) {
            DropPendingChange(RECORD_MOVIE, newId, true);
            std::unique_ptr<CMovie> other(new CMovie);
            other->CopyFrom(FindRecord(m_movies, newId));
            other->m_id = id;
            RemoveMovieRecord(newId, false);
            AddMovie(other.get(), true);
            for (CLoan* loan : otherLoans)
                loan->m_movieId = id;
        } else {
            ShiftMovieIdsUp(newId, runTop);
        }
    }

    AddMovie(moved.get(), true);
    for (CLoan* loan : ownLoans)
        loan->m_movieId = newId;
}

// ---------------------------------------------------------------------------

void CMovieCollection::Clear()
{
    Lock lock(m_lock);
    // Copies still out are detached: their holders may hand them back, which
    // only frees them.
    for (const std::pair<const PendingKey, std::vector<CPendingChange*>>& item : m_pendingByRecord) {
        for (CPendingChange* entry : item.second)
            entry->m_id = NO_ID;
    }
    m_pendingByRecord.clear();
    m_movies.clear();
    m_files.clear();
    m_discs.clear();
    m_persons.clear();
    if (m_changeLog != NULL)
        m_changeLog->SetReloadAll();
}
