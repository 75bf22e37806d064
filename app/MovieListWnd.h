// The tree list of movies: one line per movie at the root of a tree
// control, in alphabetical order of the lines. It is loaded once and then
// follows the catalogue through its own change log, touching only the
// movies removed, added and changed since the last update.
#pragma once

#include <memory>
#include <vector>

#include "app/MovieTreeItem.h"
#include "classlib/TreeCtrl.h"
#include "core/MovieChangeLog.h"

class CMovieListWnd : public CTreeCtrl {
public:
    // The change log starts noting theCollection's movie changes.
    CMovieListWnd();
    ~CMovieListWnd() override;

    // The class's name in the program's run-time class information.
    static const char* GetRuntimeClassName() { return "CMovieListWnd"; }

    BOOL Create(const RECT& rect, CWnd* parent, UINT id);
    // Rebuilds every line.
    void LoadMovies();
    // Applies the change log (a full load when it asks for one).
    void UpdateListing();

    DWORD GetItemCount() const { return DWORD(m_items.size()); }
    CMovieChangeLog& GetChangeLog() { return *m_changeLog; }

protected:
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    // Forgets every line and deletes them from the control in one go.
    void DeleteAllLines();
    // Puts the item's line in the control; false (with the error shown)
    // when the control refuses it.
    bool InsertLine(CMovieTreeItem& item, HTREEITEM after);
    // Adds a line for a stored movie; false when inserting failed.
    bool AddLine(DWORD movie);
    CMovieTreeItem* ItemOf(HTREEITEM handle) const;

    std::vector<std::unique_ptr<CMovieTreeItem>> m_items;  // one per movie, unordered
    std::unique_ptr<CMovieChangeLog> m_changeLog;
};
