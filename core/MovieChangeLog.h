// The ids of movies removed, added and changed since the tree list of movies
// last refreshed, so that it updates only those rows. The log attaches itself
// to a collection, which reports every movie change to it.
#pragma once

#include <mutex>
#include <set>
#include <vector>

#include "core/WinTypes.h"

class CMovieCollection;

class CMovieChangeLog {
public:
    explicit CMovieChangeLog(CMovieCollection* collection);
    virtual ~CMovieChangeLog();

    void OnMovieRemoved(DWORD id);
    void OnMovieAdded(DWORD id);
    void OnMovieChanged(DWORD id);

    void SetReloadAll();
    bool IsReloadAll() const;

    // Replace ids by a copy of the list and return its count (0 and an empty
    // vector for an empty list). The order carries no meaning.
    DWORD GetRemoved(std::vector<DWORD>& ids) const;
    DWORD GetAdded(std::vector<DWORD>& ids) const;
    DWORD GetChanged(std::vector<DWORD>& ids) const;

    // Empties the three lists and clears the reload-everything flag.
    void Reset();

private:
    CMovieChangeLog(const CMovieChangeLog&) = delete;
    CMovieChangeLog& operator=(const CMovieChangeLog&) = delete;

    DWORD CopyList(const std::set<DWORD>& list, std::vector<DWORD>& ids) const;

    CMovieCollection* m_collection;
    std::set<DWORD> m_removed;
    std::set<DWORD> m_added;
    std::set<DWORD> m_changed;
    BYTE m_reloadAll;
    // Worker threads hand back movie copies while the list reads the log.
    mutable std::mutex m_lock;
};
