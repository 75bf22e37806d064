// The one pane of the main frame. It shows the catalogue in one of three
// views and switches between them: the painted movie-box list, the tree of
// drives and files, and the tree list of movies. The frame drives it through
// the operations below.
//
// The painted list is one column of equally sized boxes. Only boxes that meet
// the client area are rendered, and a bounded number keep their bitmaps, so
// that catalogues of any size open and scroll in constant GDI resources.
#pragma once

#include <windows.h>

#include <list>
#include <memory>
#include <vector>

#include "app/ListLayout.h"
#include "app/ListScroll.h"
#include "app/ListSelection.h"
#include "app/ListingCell.h"
#include "app/PrintLayout.h"
#include "app/OlePicture.h"
#include "app/TypeAhead.h"
#include "classlib/ImageList.h"
#include "classlib/TreeCtrl.h"
#include "classlib/Wnd.h"
#include "core/WinTypes.h"

class CFileInfoDlg;
class CMovieListWnd;

class CMovieListView : public CWnd,
                       public IListingCellOwner,
                       public IListLayoutOwner,
                       public IListSelection {
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
    // Renders every entry again with the current layout.
    void Reload(bool relayout);

    // Stores the sort code (44 id, 55 title, 66 type, 77 genre, 88 custom)
    // and direction; re-sorts the painted list when it is shown.
    void SetSortOrder(BYTE code, BYTE ascending);
    void SortEntries(bool relayout);
    void SetCellSize(DWORD width, DWORD height, bool noRelayout);

    bool AddItem(DWORD movie, bool selected);
    void RemoveItems(const DWORD* indexes, DWORD count);
    void RemoveItem(DWORD index);
    // The first entry that shows the movie, or NULL (index kNoEntry).
    CListingCell* FindItemForMovie(DWORD movie, DWORD* index);
    // Lays the entry out again for the movie (its own, or the id it has
    // now) and repaints it at once.
    void RefreshItem(DWORD index, DWORD movie);
    void EnsureItemVisible(DWORD index);

    // Prints the page of boxes from start (all boxes, or those whose movie
    // number lies in the range, packed) into the printable area, each box
    // scaled by the factors; advances start. True while pages follow.
    bool PrintPage(HDC dc, const RECT& page, double xScale, double yScale, PageStart& start, bool noHalves);
    bool PrintListing(HDC dc, const RECT& page, double xScale, double yScale, PageStart& start, bool noHalves,
                      DWORD fromId, DWORD toId);
    DWORD GetCellWidth() const { return m_cellWidth; }
    // The entries a print run takes: all, or those of movies in the range.
    std::vector<DWORD> PrintableBoxes(bool range, DWORD fromId, DWORD toId) const;

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
    // The tree list of movies, NULL before its first use.
    CMovieListWnd* GetMovieList() const { return m_movieList.get(); }

    DWORD GetEntryCount() const override { return DWORD(m_entries.size()); }
    bool IsEntrySelected(DWORD index) const override;
    void SetEntrySelected(DWORD index, bool selected) override;
    DWORD GetAnchor() const { return m_anchor; }
    CListingCell* GetEntry(DWORD index) const;
    const CListScroll& GetScroll() const { return m_scroll; }
    CTreeCtrl& GetTree() { return m_tree; }
    // Whether the tree item stands for a disc; false for none.
    bool IsDiscItem(HTREEITEM item) const;
    DWORD GetTreeItemId(HTREEITEM item) const;
    // How many entries keep a painted bitmap now.
    size_t GetCachedCellCount() const { return m_cachedCells.size(); }

    // The view to open at the first size message, set by the frame before
    // the pane has its size.
    BYTE m_pendingTree;
    BYTE m_pendingPaintedList;
    BYTE m_pendingTreeList;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // IListingCellOwner
    HWND GetCellWindow() override { return m_hWnd; }
    CListLayout* GetCellLayout() override;
    void GetScrollOffset(int32_t* x, int64_t* y) override;
    RECT GetCellClientRect() override { return m_client; }
    bool KeepsAllCells() override { return m_keepAllCells; }
    void PlaceCellAgain(CListingCell* cell, int32_t width, int32_t height) override;
    void OnCellCached(CListingCell* cell) override;
    void OnCellReleased(CListingCell* cell) override;
    // IListLayoutOwner
    void RebuildBoxes() override { Reload(true); }
    COlePicture* GetDefaultPicture() override { return m_defaultPicture.get(); }

    // Printing renders every box.
    bool m_keepAllCells;

protected:
    void OnSize(UINT nType, int cx, int cy);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()

private:
    void UpdateFrameTotals();
    void HidePaintedList();
    void DeleteAllEntries();
    RECT EntryRect(DWORD index) const;
    void PlaceAllEntries();
    // Measures the entries that a page shows until the box size settles.
    void MeasureFirstPage();
    void UpdateScrollBars();
    void ApplyScrollBars();
    void Repaint();
    void Paint();
    void EraseBackground(HDC dc);
    void OnScroll(bool vertical, int code);
    void OnClick(POINT point, UINT keys, bool doubleClick);
    DWORD HitTestEntry(POINT point) const;
    void MoveAnchorTo(DWORD index);
    void TypeAhead(char letter);
    void ShowMovieInfo(DWORD index);
    void LayOutTreeView();
    void OnTreeSelectionChanged();
    void ReleaseCellsBeyondBound();
    bool PrintBoxes(HDC dc, const RECT& page, double xScale, double yScale, PageStart& start, bool noHalves,
                    const std::vector<DWORD>& boxes);
    // A tree item's record: whether it stands for a disc or a file, fixed
    // when the item is made (an empty disc is still a disc).
    struct TreeItem {
        DWORD id;
        bool disc;
    };
    const TreeItem* GetTreeItem(HTREEITEM item) const;
    HTREEITEM FindTreeItem(DWORD id, bool disc) const;

    std::vector<std::unique_ptr<CListingCell>> m_entries;
    DWORD m_anchor;
    TypeAheadState m_typeAhead;
    DWORD m_cellWidth;
    DWORD m_cellHeight;
    DWORD m_originX;
    DWORD m_originY;
    CListScroll m_scroll;
    BYTE m_listShown;
    BYTE m_treeShown;
    BYTE m_treeListShown;
    BYTE m_sortCode;
    BYTE m_ascending;
    CTreeCtrl m_tree;
    std::vector<TreeItem> m_treeItems;  // by item data
    int32_t m_panelWidth;  // the file information panel's; -1 before it exists
    std::unique_ptr<CFileInfoDlg> m_infoPanel;
    std::unique_ptr<CMovieListWnd> m_movieList;
    CImageList m_images;
    HBRUSH m_background;
    std::unique_ptr<CListLayout> m_layout;
    std::unique_ptr<COlePicture> m_defaultPicture;
    RECT m_client;
    std::list<CListingCell*> m_cachedCells;  // oldest first
    bool m_filling;
};
