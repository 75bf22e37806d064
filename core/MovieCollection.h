// The in-memory catalogue: movies, movie files, discs and persons, each kept
// in ascending id order, and the table of record copies that are out for
// editing. Nobody holds a pointer into the store: a reader takes a heap copy
// of a record by id, edits it and hands it back, and the hand-back writes the
// changes into the stored record.
//
// One lock guards the records and the copy table, so worker threads may take
// and hand back copies while the user interface reads.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <string>
#include <utility>
#include <vector>

#include "core/Disc.h"
#include "core/IdOrder.h"
#include "core/Movie.h"
#include "core/MovieFile.h"
#include "core/Person.h"
#include "core/WinTypes.h"

class CMovieChangeLog;
class ILoadProgress;

// Kinds of record copies.
enum RecordKind {
    RECORD_MOVIE = 11,
    RECORD_FILE = 15,
    RECORD_DISC = 115,
    RECORD_PERSON = 124
};

// One handed-out copy, shared by every caller on the same thread that asked
// for the same record. Takers on other threads get copies of their own, so a
// copy is only ever used by the thread that took it.
class CPendingChange {
public:
    CPendingChange(BYTE kind, DWORD id, void* copy);
    virtual ~CPendingChange();  // destroys the copy

    BYTE m_kind;
    DWORD m_id;      // NO_ID once the record is gone: the copy is no longer applied
    void* m_copy;
    DWORD m_refCount;
    std::thread::id m_owner;  // the thread that took it

private:
    CPendingChange(const CPendingChange&) = delete;
    CPendingChange& operator=(const CPendingChange&) = delete;
};

class CMovieCollection {
public:
    CMovieCollection();
    virtual ~CMovieCollection();

    // Heap copies of stored records, NULL when the id is not stored. Two
    // requests for the same record share one copy object.
    CMovie* GetMovieCopy(DWORD id);
    CMovieFile* GetFileCopy(DWORD id);
    CDisc* GetDiscCopy(DWORD id);
    CPerson* GetPersonCopy(DWORD id);
    // Calls reader with the stored movie (file, disc) under the store's
    // lock, without a copy; false when the id is not stored. The reader must
    // not keep the reference nor hand the store anything.
    bool ReadMovie(DWORD id, const std::function<void(const CMovie&)>& reader);
    bool ReadMovieFile(DWORD id, const std::function<void(const CMovieFile&)>& reader);
    bool ReadDisc(DWORD id, const std::function<void(const CDisc&)>& reader);
    // Calls reader once with every stored movie in ascending id order, under
    // the store's lock for the whole call and without copies. The pointers
    // are good during the call only; the reader must not add, remove or
    // renumber movies nor hand back a changed movie copy (unchanged copies,
    // as the token engine takes them, are fine).
    void ReadMovies(const std::function<void(const std::vector<const CMovie*>&)>& reader);
    // The same for the person with an open loan of the movie (with the
    // loan's index); false when there is none.
    bool ReadBorrower(DWORD idOfMovie, const std::function<void(const CPerson&, size_t)>& reader);
    // Whether the stored movie would take the stored file (CMovie::CanAddFile
    // asked in place, without a copy of the movie).
    bool MovieAcceptsFile(DWORD movieId, DWORD fileId);
    // Copy of the disc / movie whose file list holds the id.
    CDisc* GetDiscCopyByFile(DWORD fileId);
    CMovie* GetMovieCopyByFile(DWORD fileId);
    // Copy of the person with an open loan of the movie and the loan's index;
    // NULL and -1 when nobody has it.
    CPerson* FindBorrower(DWORD idOfMovie, int* loanIndex);

    // Hand a copy back: its changes go into the stored record, *copy becomes
    // NULL, and the last hand-back of a shared copy destroys it. A pointer
    // that is no handed-out copy is left alone.
    void ReleaseMovieCopy(CMovie** copy);
    void ReleaseFileCopy(CMovieFile** copy);
    void ReleaseDiscCopy(CDisc** copy);
    void ReleasePersonCopy(CPerson** copy);

    // Smallest stored id greater than id; NO_ID starts at the first; NO_ID
    // when there is none.
    DWORD GetNextIdOfMovie(DWORD id);
    DWORD GetNextIdOfFile(DWORD id);
    DWORD GetNextIdOfDisc(DWORD id);
    DWORD GetNextIdOfPerson(DWORD id);
    DWORD GetIdOfLastMovie();
    DWORD GetMovieCount();
    // The listing has laid the stored movie out anew: clears its modified flag.
    void ClearMovieModified(DWORD id);
    DWORD GetDiscCount();

    // Store a copy of the record and return its id, NO_ID on failure. A new
    // id is the last id plus 1 (0 when empty); near the id limit the first
    // gap in the run of ids is used. AddMovie with keepId keeps the record's
    // own id (unless it is NO_ID).
    DWORD AddMovie(const CMovie* movie, bool keepId);
    DWORD AddFile(const CMovieFile* file);
    // With ask, a disc of the same serial number and name is added only when
    // the user agrees.
    DWORD AddDisc(const CDisc* disc, bool ask);
    DWORD AddPerson(const CPerson* person);

    // Removing a movie deletes its loans too; removing a file takes it out of
    // its disc (removing a disc left empty) and its movie; removing a disc
    // removes its files.
    void RemoveMovie(DWORD id);
    void RemoveFile(DWORD id);
    void RemoveDisc(DWORD id);
    void RemovePerson(DWORD id);

    // Gives a movie a new id. When another movie holds it, that one gets the
    // old id (exchange) or the run of ids from newId on moves up by one.
    // Loans follow their movies.
    void RenumberMovie(DWORD id, DWORD newId, bool exchange);

    // Deletes every record; copies still out are no longer applied.
    void Clear();

    void SetChangeLog(CMovieChangeLog* log);
    void ClearChangeLog();

    // Replaces the collection with the database file's records (any version);
    // the loader reports to progress when one is given. Save writes the
    // newest version; a silent save shows nothing and leaves the saved flag
    // and the file name alone.
    bool Load(const char* path, ILoadProgress* progress = NULL);
    bool Save(const char* path, bool silent);

    bool IsSaved();
    // The database file name, empty before the first load or save.
    std::string GetFileName();

private:
    CMovieCollection(const CMovieCollection&) = delete;
    CMovieCollection& operator=(const CMovieCollection&) = delete;

    typedef std::pair<BYTE, DWORD> PendingKey;

    template <class T>
    T* GetCopy(std::vector<std::unique_ptr<T>>& list, DWORD id, BYTE kind);
    template <class T>
    bool ReadRecord(const std::vector<std::unique_ptr<T>>& list, DWORD id,
                    const std::function<void(const T&)>& reader);
    void ReleaseCopy(void** copy, BYTE kind);
    void ApplyPendingChange(CPendingChange& entry);
    // Applies the calling thread's live copies without handing them back.
    void ApplyAllPendingChanges();
    // Detaches every copy of the record; with apply, the calling thread's
    // copy is applied first (another thread's copy is never read).
    void DropPendingChange(BYTE kind, DWORD id, bool apply);
    // The live copy of the record that the calling thread holds, or NULL.
    CPendingChange* FindOwnCopy(BYTE kind, DWORD id);
    void ForgetCopy(CPendingChange* entry);
    void DropMissingFileIds(std::vector<DWORD>& fileIds);

    template <class T>
    DWORD AddRecord(std::vector<std::unique_ptr<T>>& list, const T* record);
    void RemoveMovieRecord(DWORD id, bool deleteLoans);
    void RemoveFileRecord(DWORD id, DWORD keepDiscId);
    void ShiftMovieIdsUp(DWORD fromId, DWORD toId);

    std::recursive_mutex m_lock;
    char* m_fileName;
    BYTE m_saved;
    std::vector<std::unique_ptr<CMovie>> m_movies;
    std::vector<std::unique_ptr<CMovieFile>> m_files;
    std::vector<std::unique_ptr<CDisc>> m_discs;
    std::vector<std::unique_ptr<CPerson>> m_persons;
    CMovieChangeLog* m_changeLog;
    // Every copy out, by its address; the live ones also by kind and id (one
    // for each thread that holds one).
    std::map<const void*, std::unique_ptr<CPendingChange>> m_pending;
    std::map<PendingKey, std::vector<CPendingChange*>> m_pendingByRecord;
};

extern CMovieCollection theCollection;
