// One movie-box of the painted movie list: its movie, its rectangle in the
// listing's coordinates and a cached bitmap of the painted box. A cell is
// painted only when it meets the pane's client area (or the pane keeps all
// cells, for printing); the pane bounds how many cells keep bitmaps.
#pragma once

#include <windows.h>

#include <cstdint>
#include <list>

#include "app/PaintItem.h"
#include "core/WinTypes.h"

class CListingCell;

// The window that holds the cells (the movie list pane).
class IListingCellOwner {
public:
    virtual ~IListingCellOwner() {}
    virtual HWND GetCellWindow() = 0;
    virtual CListLayout* GetCellLayout() = 0;
    // The scroll position in pixels.
    virtual void GetScrollOffset(int32_t* x, int64_t* y) = 0;
    virtual RECT GetCellClientRect() = 0;
    // True while every cell is to be rendered (printing).
    virtual bool KeepsAllCells() = 0;
    // The cell's box came out at another size: place it (and its peers) again.
    virtual void PlaceCellAgain(CListingCell* cell, int32_t width, int32_t height) = 0;
    // The cell made or dropped its bitmap.
    virtual void OnCellCached(CListingCell* cell) = 0;
    virtual void OnCellReleased(CListingCell* cell) = 0;
};

class CListingCell {
public:
    explicit CListingCell(IListingCellOwner* owner);
    ~CListingCell();

    // Releases the bitmap, the laid-out elements and the sort texts.
    void Clear();
    // Stores the movie and renders it; false when the movie is not stored.
    bool AssignMovie(DWORD movie, bool force);
    void SetRect(const RECT& rect);
    void GetRect(RECT* rect) const { *rect = m_rect; }
    RECT GetViewRect() const;
    void Select();
    void Deselect();
    bool IsSelected() const { return m_selected != 0; }
    void Show();
    void Hide();
    bool IsVisible() const { return m_visible != 0; }
    bool Intersects(const RECT& rect, bool cachedOnly) const;
    bool HitTest(POINT point) const;
    // Paints the cached box at the view rectangle when it meets the client
    // area, rendering it first when needed; elsewhere the bitmap is released.
    void Draw(HDC dc);
    // For printing: the unselected box stretched by the factors.
    void DrawScaled(HDC dc, double xFactor, double yFactor);
    // The unselected box stretched into the target rectangle.
    void DrawTo(HDC dc, const RECT& target);
    // Lays the movie out and paints the box (see the source); false when
    // the movie is gone or painting failed.
    bool Render(bool force);
    // Drops the laid-out elements so that the next render measures anew.
    void DropLayout();
    void ReleaseCache();
    bool HasCache() const { return m_boxDc != NULL; }

    // The two sort keys for the code (see export/SortKeys.h).
    void BuildSortKeys(BYTE code);
    const char* GetSortKey() const { return m_sortKey; }
    const char* GetSortKey2() const { return m_sortKey2; }
    DWORD GetMovie() const { return m_movie; }

    // The pane's place of this cell in its list of cached cells.
    std::list<CListingCell*>::iterator m_cacheEntry;
    bool m_inCacheList = false;

private:
    CListingCell(const CListingCell&) = delete;
    CListingCell& operator=(const CListingCell&) = delete;

    bool MeetsClientArea() const;
    void Refresh();  // invalidates the view rectangle and updates the window

    DWORD m_movie;
    LaidOutItems m_laid;
    int32_t m_boxWidth;
    int32_t m_boxHeight;
    int32_t m_level;
    BYTE m_visible;
    BYTE m_selected;
    BYTE m_spare;
    BYTE m_dirty;
    IListingCellOwner* m_owner;
    RECT m_rect;
    BYTE m_sortKind;
    char* m_sortKey;
    char* m_sortKey2;
    HDC m_boxDc;
    HBITMAP m_boxBitmap;
    HGDIOBJ m_oldBitmap;
};
