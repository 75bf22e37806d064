// The one pane of the main frame. It shows the catalogue in one of three
// views and switches between them: the painted movie-box list, the tree of
// drives and files, and the tree list of movies. The frame drives it through
// the operations below.
#pragma once

#include <windows.h>

#include "classlib/Wnd.h"
#include "core/WinTypes.h"

class CMovieListView : public CWnd {
public:
    CMovieListView();
    ~CMovieListView() override;

    // Switch to a view (nothing happens while it is already shown).
    void ShowMovies();   // the painted list
    void CreateTree();   // the drives-and-files tree
    void CreateList();   // the tree list of movies

    // Rebuild the views from the catalogue.
    void FillList();
    void FillTree();
    void UpdateMovieList();

    // Stores the sort code (44 id, 55 title, 66 type, 77 genre, 88 custom)
    // and direction; re-sorts the painted list when it is shown.
    void SetSortOrder(BYTE code, BYTE ascending);

    void SelectMovie(DWORD id);
    void SelectDisc(DWORD id);
    void SelectFile(DWORD id);

    DWORD GetSelectedCount();
    void ShowSelectedMovieInfo();
    void DeleteSelected();

    // True while the drives tree is shown.
    bool GetViewMode() const { return m_treeShown != 0; }
    // True while the painted list is shown.
    bool IsListShown() const { return m_listShown != 0; }

    // The view to open at the first size message, set by the frame before
    // the pane has its size.
    BYTE m_pendingTree;
    BYTE m_pendingPaintedList;
    BYTE m_pendingTreeList;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    void UpdateFrameTotals();

    BYTE m_listShown;
    BYTE m_treeShown;
    BYTE m_treeListShown;
    BYTE m_sortCode;
    BYTE m_ascending;
};
