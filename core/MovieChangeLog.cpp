#include "core/MovieChangeLog.h"

#include "core/MovieCollection.h"

CMovieChangeLog::CMovieChangeLog(CMovieCollection* collection)
    : m_collection(collection), m_reloadAll(0)
{
    if (m_collection != NULL)
        m_collection->SetChangeLog(this);
}

CMovieChangeLog::~CMovieChangeLog()
{
    if (m_collection != NULL)
        m_collection->ClearChangeLog();
}

void CMovieChangeLog::OnMovieRemoved(DWORD id)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_removed.insert(id);
    m_added.erase(id);
    m_changed.erase(id);
}

void CMovieChangeLog::OnMovieAdded(DWORD id)
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_changed.count(id) != 0)
        return;
    if (m_removed.erase(id) != 0) {
        // Deleted and added again under the same id: the row only changed.
        m_changed.insert(id);
        return;
    }
    m_added.insert(id);
}

void CMovieChangeLog::OnMovieChanged(DWORD id)
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_added.count(id) == 0)
        m_changed.insert(id);
    m_removed.erase(id);
}

void CMovieChangeLog::SetReloadAll()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_reloadAll = 1;
}

bool CMovieChangeLog::IsReloadAll() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_reloadAll != 0;
}

DWORD CMovieChangeLog::CopyList(const std::set<DWORD>& list, std::vector<DWORD>& ids) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    ids.assign(list.begin(), list.end());
    return DWORD(ids.size());
}

DWORD CMovieChangeLog::GetRemoved(std::vector<DWORD>& ids) const
{
    return CopyList(m_removed, ids);
}

DWORD CMovieChangeLog::GetAdded(std::vector<DWORD>& ids) const
{
    return CopyList(m_added, ids);
}

DWORD CMovieChangeLog::GetChanged(std::vector<DWORD>& ids) const
{
    return CopyList(m_changed, ids);
}

void CMovieChangeLog::Reset()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_removed.clear();
    m_added.clear();
    m_changed.clear();
    m_reloadAll = 0;
}
