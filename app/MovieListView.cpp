#include "app/MovieListView.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

#include <commctrl.h>
#include <windowsx.h>

#include "app/ListOrder.h"
#include "app/ListProgress.h"
#include "app/MainFrame.h"
#include "app/MovieListWnd.h"
#include "app/ProgressWindow.h"
#include "app/ThrottledProgress.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "dialogs/FileInfoDlg.h"
#include "dialogs/MovieInfoDlg.h"
#include "resources/resource.h"

namespace {

// The painted boxes that keep their bitmaps at most, beyond those on screen.
const size_t kMaxCachedCells = 64;
const UINT kTreeId = 1;
const UINT kMovieListId = 2;
const UINT kIconIds[] = { IDI_TREE_CDROM, IDI_TREE_FIXED, IDI_TREE_NETWORK, IDI_TREE_FILE };
enum { IMAGE_CDROM = 0, IMAGE_FIXED = 1, IMAGE_NETWORK = 2, IMAGE_FILE = 3 };

}  // namespace

BEGIN_MESSAGE_MAP(CMovieListView, CWnd)
    ON_WM_SIZE()
    ON_WM_MOUSEWHEEL()
    ON_WM_DESTROY()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

CMovieListView::CMovieListView()
    : m_pendingTree(0),
      m_pendingPaintedList(0),
      m_pendingTreeList(0),
      m_keepAllCells(false),
      m_anchor(kNoEntry),
      m_cellWidth(1),
      m_cellHeight(1),
      m_originX(0),
      m_originY(0),
      m_listShown(0),
      m_treeShown(0),
      m_treeListShown(0),
      m_sortCode(55),
      m_ascending(1),
      m_panelWidth(-1),
      m_background(CreateSolidBrush(GetSysColor(COLOR_WINDOW))),
      m_client{0, 0, 0, 0},
      m_filling(false)
{
    m_defaultPicture.reset(new COlePicture);
    if (!m_defaultPicture->LoadFromResource("GIF", IDR_DEFAULT_PICTURE))
        m_defaultPicture.reset();
}

CMovieListView::~CMovieListView()
{
    m_listShown = m_treeShown = m_treeListShown = 0;
    DeleteAllEntries();
    m_movieList.reset();
    if (m_infoPanel && m_infoPanel->m_hWnd != NULL)
        m_infoPanel->DestroyWindow();
    if (m_tree.m_hWnd != NULL)
        m_tree.DestroyWindow();
    m_layout.reset();
    if (m_background != NULL)
        DeleteObject(m_background);
}

BOOL CMovieListView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                                       LoadCursor(NULL, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    cs.style &= ~WS_BORDER;
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return CWnd::PreCreateWindow(cs);
}

CListLayout* CMovieListView::GetCellLayout()
{
    if (!m_layout) {
        // The layout asks its owner to rebuild while it loads: not yet.
        m_layout.reset(new CListLayout(NULL, m_defaultPicture.get()));
        m_layout->m_owner = this;
    }
    return m_layout.get();
}

void CMovieListView::GetScrollOffset(int32_t* x, int64_t* y)
{
    *x = m_scroll.HorizontalPixels();
    *y = m_scroll.VerticalPixels();
}

// ---------------------------------------------------------------------------
// Views

void CMovieListView::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    GetClientRect(&m_client);
    if (m_treeShown)
        LayOutTreeView();
    else if (m_listShown)
        UpdateScrollBars();
    else if (m_treeListShown && m_movieList)
        m_movieList->MoveWindow(&m_client);
    BYTE tree = m_pendingTree, list = m_pendingPaintedList, treeList = m_pendingTreeList;
    m_pendingTree = m_pendingPaintedList = m_pendingTreeList = 0;
    if (tree)
        CreateTree();
    else if (list)
        ShowMovies();
    else if (treeList)
        CreateList();
}

void CMovieListView::HidePaintedList()
{
    if (!m_listShown)
        return;
    m_listShown = 0;
    DeleteAllEntries();
    ShowScrollBar(SB_BOTH, FALSE);
}

void CMovieListView::ShowMovies()
{
    if (m_listShown)
        return;
    if (m_tree.m_hWnd != NULL)
        m_tree.ShowWindow(SW_HIDE);
    if (m_infoPanel)
        m_infoPanel->ShowWindow(SW_HIDE);
    if (m_movieList)
        m_movieList->ShowWindow(SW_HIDE);
    m_treeShown = m_treeListShown = 0;
    m_listShown = 1;
    FillList();
}

void CMovieListView::CreateTree()
{
    if (m_treeShown)
        return;
    HidePaintedList();
    if (m_movieList)
        m_movieList->ShowWindow(SW_HIDE);
    m_treeListShown = 0;
    m_treeShown = 1;
    if (m_tree.m_hWnd == NULL) {
        if (!m_images.Create(16, 16, ILC_MASK | ILC_COLOR8, 4, 5))
            m_images.Create(16, 16, ILC_MASK, 4, 5);
        for (UINT id : kIconIds) {
            HICON icon = LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(id));
            if (icon == NULL)
                icon = LoadIcon(NULL, IDI_APPLICATION);  // keeps the image indexes in place
            m_images.Add(icon);
        }
        CRect none(0, 0, 0, 0);
        if (!m_tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT
                               | TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP | TVS_NOTOOLTIPS,
                           none, this, kTreeId))
            ShowError(0, "Unable to Create TreeView");
        else
            m_tree.SetImageList(&m_images, TVSIL_NORMAL);
        // The file information panel docks at the right edge; its width is
        // its template's, measured once.
        m_infoPanel.reset(new CFileInfoDlg(this));
        m_infoPanel->SetRemovalHandler([this]() { FillTree(); });
        if (m_infoPanel->Create(IDD_FILE_INFO_PANEL, this)) {
            RECT panel;
            m_infoPanel->GetWindowRect(&panel);
            m_panelWidth = panel.right - panel.left;
        } else {
            m_infoPanel.reset();
        }
    }
    if (m_tree.m_hWnd != NULL)
        m_tree.ShowWindow(SW_SHOW);
    LayOutTreeView();
    Invalidate();
    UpdateWindow();
    FillTree();
}

void CMovieListView::CreateList()
{
    if (m_treeListShown)
        return;
    HidePaintedList();
    if (m_tree.m_hWnd != NULL)
        m_tree.ShowWindow(SW_HIDE);
    if (m_infoPanel)
        m_infoPanel->ShowWindow(SW_HIDE);
    m_treeShown = 0;
    m_treeListShown = 1;
    RECT client;
    GetClientRect(&client);
    if (!m_movieList) {
        std::unique_ptr<CMovieListWnd> list(new CMovieListWnd);
        if (!list->Create(client, this, kMovieListId)) {
            ShowError(0, "Unable to Create movie listing");
        } else {
            m_movieList = std::move(list);
            m_movieList->LoadMovies();
        }
    } else {
        m_movieList->MoveWindow(&client);
        m_movieList->ShowWindow(SW_SHOW);
    }
    Invalidate();
    UpdateWindow();
    UpdateMovieList();
}

void CMovieListView::UpdateMovieList()
{
    if (!m_treeListShown || !m_movieList)
        return;
    m_movieList->UpdateListing();
    UpdateFrameTotals();
    m_movieList->RedrawWindow();
}

void CMovieListView::LayOutTreeView()
{
    if (m_tree.m_hWnd == NULL)
        return;
    RECT client;
    GetClientRect(&client);
    int32_t panel = m_panelWidth > 0 ? m_panelWidth : 0;
    m_tree.MoveWindow(0, 0, std::max<LONG>(0, client.right - panel), client.bottom);
    if (m_infoPanel)
        m_infoPanel->MoveWindow(std::max<LONG>(0, client.right - panel), 0, panel, client.bottom);
}

void CMovieListView::UpdateFrameTotals()
{
    if (m_hWnd == NULL)
        return;
    CMainFrame* frame = dynamic_cast<CMainFrame*>(GetParentFrame());
    if (frame != NULL)
        frame->UpdateTotals();
}

// ---------------------------------------------------------------------------
// Entries of the painted list

CListingCell* CMovieListView::GetEntry(DWORD index) const
{
    return index < m_entries.size() ? m_entries[index].get() : NULL;
}

bool CMovieListView::IsEntrySelected(DWORD index) const
{
    return index < m_entries.size() && m_entries[index]->IsSelected();
}

void CMovieListView::SetEntrySelected(DWORD index, bool selected)
{
    if (index >= m_entries.size())
        return;
    if (selected)
        m_entries[index]->Select();
    else
        m_entries[index]->Deselect();
}

RECT CMovieListView::EntryRect(DWORD index) const
{
    LONG top = LONG(m_originY + uint64_t(index) * m_cellHeight);
    return { LONG(m_originX), top, LONG(m_originX + m_cellWidth), LONG(top + m_cellHeight) };
}

void CMovieListView::PlaceAllEntries()
{
    for (DWORD i = 0; i < m_entries.size(); i++)
        m_entries[i]->SetRect(EntryRect(i));
}

void CMovieListView::DeleteAllEntries()
{
    m_entries.clear();  // each cell gives up its bitmap through OnCellReleased
    m_cachedCells.clear();
    m_anchor = kNoEntry;
    m_typeAhead = TypeAheadState();
}

bool CMovieListView::AddItem(DWORD movie, bool selected)
{
    std::unique_ptr<CListingCell> cell(new CListingCell(this));
    // A fill places every entry once, when the box size is known.
    if (!m_filling)
        cell->SetRect(EntryRect(DWORD(m_entries.size())));
    if (!cell->AssignMovie(movie, false)) {
        ShowError(1, "Unknown ID used in ListItem");
        return false;
    }
    if (selected)
        cell->Select();
    m_entries.push_back(std::move(cell));
    return true;
}

void CMovieListView::SetCellSize(DWORD width, DWORD height, bool noRelayout)
{
    if (width == m_cellWidth && height == m_cellHeight)
        return;
    m_cellWidth = width;
    m_cellHeight = height;
    if (!noRelayout && m_filling) {
        // Only the first page is measured while filling; the rest is placed
        // once at the end.
        for (DWORD i = 0; i < m_entries.size() && i < 256; i++)
            m_entries[i]->SetRect(EntryRect(i));
    } else if (!noRelayout) {
        PlaceAllEntries();
        if (m_listShown && !m_filling) {
            UpdateScrollBars();
            Invalidate();
        }
    }
}

void CMovieListView::PlaceCellAgain(CListingCell*, int32_t width, int32_t height)
{
    // Every box has the size of the largest: sizes only grow here, and all
    // entries are placed once for the new size.
    DWORD w = std::max<DWORD>(m_cellWidth, DWORD(std::max(width, 0)));
    DWORD h = std::max<DWORD>(m_cellHeight, DWORD(std::max(height, 0)));
    SetCellSize(w, h, false);
}

void CMovieListView::OnCellCached(CListingCell* cell)
{
    if (cell->m_inCacheList)
        m_cachedCells.erase(cell->m_cacheEntry);
    cell->m_cacheEntry = m_cachedCells.insert(m_cachedCells.end(), cell);
    cell->m_inCacheList = true;
    ReleaseCellsBeyondBound();
}

void CMovieListView::OnCellReleased(CListingCell* cell)
{
    if (!cell->m_inCacheList)
        return;
    m_cachedCells.erase(cell->m_cacheEntry);
    cell->m_inCacheList = false;
}

void CMovieListView::ReleaseCellsBeyondBound()
{
    if (m_keepAllCells)
        return;
    size_t visible = m_cellHeight > 0 ? size_t(m_scroll.ViewHeight() / m_cellHeight) + 2 : 1;
    size_t bound = visible + kMaxCachedCells;
    auto it = m_cachedCells.begin();
    while (m_cachedCells.size() > bound && it != m_cachedCells.end()) {
        CListingCell* cell = *it++;
        RECT view = cell->GetViewRect(), common;
        if (IntersectRect(&common, &view, &m_client))
            continue;  // on screen: kept
        cell->ReleaseCache();
    }
}

void CMovieListView::MeasureFirstPage()
{
    // The box size comes from the layout: measure the entries a page shows
    // until the size settles (sizes only grow, so this ends).
    for (int round = 0; round < 8 && !m_entries.empty(); round++) {
        DWORD before = m_cellHeight;
        DWORD page = m_cellHeight > 1 ? DWORD(m_client.bottom / m_cellHeight) + 1 : 1;
        for (DWORD i = 0; i < page && i < m_entries.size(); i++)
            m_entries[i]->Render(false);
        if (m_cellHeight == before)
            break;
    }
}

void CMovieListView::FillList()
{
    if (!m_listShown)
        return;
    DWORD count = theCollection.GetMovieCount();
    CProgressWindow window;
    CThrottledProgress progress(window, count);
    window.SetText("Reading movies...", 0, progress.Range());
    if (m_hWnd != NULL)
        window.Show(this);

    DWORD anchorMovie = m_anchor < m_entries.size() ? m_entries[m_anchor]->GetMovie() : NO_ID;
    std::set<DWORD> selected;
    for (const auto& entry : m_entries) {
        if (entry->IsSelected())
            selected.insert(entry->GetMovie());
    }

    m_filling = true;
    DeleteAllEntries();
    m_cellWidth = m_cellHeight = 0;
    m_entries.reserve(count);
    for (DWORD id = theCollection.GetNextIdOfMovie(NO_ID); id != NO_ID;
         id = theCollection.GetNextIdOfMovie(id)) {
        AddItem(id, selected.count(id) != 0);
        progress.Advance(0.5);
    }
    SortEntries(false);
    for (DWORD i = 0; i < m_entries.size(); i++) {
        if (m_entries[i]->GetMovie() == anchorMovie)
            m_anchor = i;
        if (i < 256)
            m_entries[i]->SetRect(EntryRect(i));
        m_entries[i]->Show();
        progress.Advance(0.5);
    }
    MeasureFirstPage();
    m_filling = false;
    PlaceAllEntries();
    UpdateScrollBars();
    Repaint();
    window.Close();
    UpdateFrameTotals();
}

void CMovieListView::Reload(bool relayout)
{
    if (!m_listShown)
        return;
    CProgressWindow window;
    CThrottledProgress progress(window, m_entries.size());
    window.SetText("Reloading movie list...", 0, progress.Range());
    if (m_hWnd != NULL)
        window.Show(this);
    if (m_layout)
        m_layout->m_cachedWidth = m_layout->m_cachedHeight = 0;
    m_filling = true;
    if (relayout) {
        m_cellWidth = m_cellHeight = 0;
        for (DWORD i = 0; i < m_entries.size(); i++) {
            m_entries[i]->Hide();
            m_entries[i]->DropLayout();
            m_entries[i]->SetRect(EntryRect(i));
            progress.Advance(2.0 / 3.0);
        }
        for (auto& entry : m_entries) {
            entry->Show();
            progress.Advance(1.0 / 3.0);
        }
        MeasureFirstPage();
    } else {
        for (auto& entry : m_entries) {
            entry->DropLayout();
            entry->ReleaseCache();
            progress.Advance(1.0);
        }
    }
    m_filling = false;
    PlaceAllEntries();
    UpdateScrollBars();
    Repaint();
    window.Close();
}

void CMovieListView::SetSortOrder(BYTE code, BYTE ascending)
{
    m_sortCode = code;
    m_ascending = ascending;
    if (m_listShown)
        SortEntries(true);
}

void CMovieListView::SortEntries(bool relayout)
{
    if (!m_listShown)
        return;
    std::vector<EntrySortKeys> keys;
    keys.reserve(m_entries.size());
    for (auto& entry : m_entries) {
        entry->BuildSortKeys(m_sortCode);
        keys.push_back({ entry->GetSortKey(), entry->GetSortKey2() });
    }
    DWORD anchorMovie = m_anchor < m_entries.size() && m_entries[m_anchor]->IsSelected()
                            ? m_entries[m_anchor]->GetMovie() : NO_ID;
    std::vector<DWORD> order = SortEntryOrder(keys, m_ascending != 0);
    std::vector<std::unique_ptr<CListingCell>> sorted;
    sorted.reserve(m_entries.size());
    for (DWORD i : order)
        sorted.push_back(std::move(m_entries[i]));
    m_entries.swap(sorted);

    m_anchor = kNoEntry;
    for (DWORD i = 0; i < m_entries.size() && anchorMovie != NO_ID; i++) {
        if (m_entries[i]->GetMovie() == anchorMovie) {
            m_anchor = i;
            break;
        }
    }
    if (relayout) {
        PlaceAllEntries();
        Repaint();
    }
    if (m_anchor != kNoEntry && !m_filling)
        EnsureItemVisible(m_anchor);
}

void CMovieListView::RemoveItems(const DWORD* indexes, DWORD count)
{
    std::vector<DWORD> given(indexes, indexes + count);
    std::vector<DWORD> steps = RemovalSteps(given, DWORD(m_entries.size()));
    DWORD anchor = IndexAfterRemoval(m_anchor, steps);
    for (DWORD step : steps)
        m_entries.erase(m_entries.begin() + step);
    m_anchor = anchor;
    m_typeAhead = TypeAheadState();
    // Later entries moved up: each takes the rectangle of its new index.
    PlaceAllEntries();
    for (auto& entry : m_entries)
        entry->Show();
    UpdateScrollBars();
    Repaint();
}

void CMovieListView::RemoveItem(DWORD index)
{
    RemoveItems(&index, 1);
}

CListingCell* CMovieListView::FindItemForMovie(DWORD movie, DWORD* index)
{
    for (DWORD i = 0; i < m_entries.size(); i++) {
        if (m_entries[i]->GetMovie() == movie) {
            if (index != NULL)
                *index = i;
            return m_entries[i].get();
        }
    }
    if (index != NULL)
        *index = kNoEntry;
    return NULL;
}

DWORD CMovieListView::GetSelectedCount()
{
    if (!m_listShown)
        return 0;
    DWORD count = 0;
    for (const auto& entry : m_entries)
        count += entry->IsSelected() ? 1 : 0;
    return count;
}

void CMovieListView::SelectMovie(DWORD id)
{
    if (!m_listShown)
        return;
    DWORD index;
    if (FindItemForMovie(id, &index) == NULL)
        return;
    SelectOnlyEntry(*this, index, &m_anchor);
    EnsureItemVisible(index);
}

void CMovieListView::ShowSelectedMovieInfo()
{
    if (m_listShown && m_anchor < m_entries.size())
        ShowMovieInfo(m_anchor);
}

void CMovieListView::ShowMovieInfo(DWORD index)
{
    CListingCell* entry = GetEntry(index);
    if (entry == NULL)
        return;
    CMovieInfoDlg dialog(this);
    if (!dialog.SetStoredMovie(NULL, entry->GetMovie(), false))
        return;
    if (dialog.DoModal() == IDOK)
        dialog.SaveToDatabase(this, entry, index);
}

void CMovieListView::DeleteSelected()
{
    if (MessageBox("All selected movies and their info will be removed.", "Warning",
                   MB_OKCANCEL | MB_ICONWARNING) != IDOK)
        return;
    std::vector<DWORD> indexes;
    for (DWORD i = 0; i < m_entries.size(); i++) {
        if (m_entries[i]->IsSelected()) {
            indexes.push_back(i);
            theCollection.RemoveMovie(m_entries[i]->GetMovie());
        }
    }
    if (!indexes.empty())
        RemoveItems(indexes.data(), DWORD(indexes.size()));
    UpdateFrameTotals();
}

// ---------------------------------------------------------------------------
// Scrolling

void CMovieListView::UpdateScrollBars()
{
    if (m_hWnd == NULL)
        return;
    // The size the client area has without scroll bars.
    ::GetClientRect(m_hWnd, &m_client);
    int32_t barWidth = GetSystemMetrics(SM_CXVSCROLL), barHeight = GetSystemMetrics(SM_CYHSCROLL);
    int32_t width = m_client.right + (m_scroll.Vertical().shown ? barWidth : 0);
    int32_t height = m_client.bottom + (m_scroll.Horizontal().shown ? barHeight : 0);
    m_scroll.Update(uint64_t(m_cellHeight) * m_entries.size() + m_originY,
                    int32_t(m_cellWidth + m_originX), width, height, barWidth, barHeight);
    ApplyScrollBars();
    ::GetClientRect(m_hWnd, &m_client);
}

void CMovieListView::ApplyScrollBars()
{
    const ScrollBarState* bars[2] = { &m_scroll.Vertical(), &m_scroll.Horizontal() };
    const int kinds[2] = { SB_VERT, SB_HORZ };
    for (int i = 0; i < 2; i++) {
        SCROLLINFO info = {};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        if (bars[i]->shown) {
            info.nMin = bars[i]->minimum;
            info.nMax = bars[i]->maximum;
            info.nPage = UINT(bars[i]->page);
            info.nPos = bars[i]->position;
        }
        ShowScrollBar(kinds[i], bars[i]->shown);
        if (bars[i]->shown)
            ::SetScrollInfo(m_hWnd, kinds[i], &info, TRUE);
    }
}

void CMovieListView::Repaint()
{
    if (m_hWnd == NULL)
        return;
    Invalidate();
    UpdateWindow();
}

void CMovieListView::OnScroll(bool vertical, int code)
{
    if (!m_listShown)
        return;
    SCROLLINFO info = {};
        info.cbSize = sizeof(info);
    info.fMask = SIF_TRACKPOS;
    ::GetScrollInfo(m_hWnd, vertical ? SB_VERT : SB_HORZ, &info);
    bool moved = vertical ? m_scroll.VerticalScroll(code, info.nTrackPos)
                          : m_scroll.HorizontalScroll(code, info.nTrackPos);
    if (!moved)
        return;
    ::SetScrollPos(m_hWnd, vertical ? SB_VERT : SB_HORZ,
                   vertical ? m_scroll.Vertical().position : m_scroll.Horizontal().position, TRUE);
    Repaint();
}

BOOL CMovieListView::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt)
{
    if (!m_listShown)
        return CWnd::OnMouseWheel(nFlags, zDelta, pt);
    if (m_scroll.Wheel(zDelta, int32_t(m_cellHeight))) {
        ::SetScrollPos(m_hWnd, SB_VERT, m_scroll.Vertical().position, TRUE);
        Repaint();
    }
    return TRUE;
}

void CMovieListView::RefreshItem(DWORD index, DWORD movie)
{
    if (index >= m_entries.size())
        return;
    m_entries[index]->DropLayout();
    m_entries[index]->AssignMovie(movie, true);
    if (m_hWnd != NULL)
        UpdateWindow();
}

void CMovieListView::EnsureItemVisible(DWORD index)
{
    if (index >= m_entries.size())
        return;
    RECT r = EntryRect(index);
    if (m_scroll.EnsureVisible(r.top, r.bottom))
        ::SetScrollPos(m_hWnd, SB_VERT, m_scroll.Vertical().position, TRUE);
    Repaint();
}

// ---------------------------------------------------------------------------
// Painting

void CMovieListView::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    GetClientRect(&m_client);
    if (m_cellHeight > 0 && !m_entries.empty()) {
        // Only the entries in the area to repaint: the column is arithmetic.
        int64_t top = m_scroll.VerticalPixels() + ps.rcPaint.top - int64_t(m_originY);
        int64_t bottom = m_scroll.VerticalPixels() + ps.rcPaint.bottom - int64_t(m_originY);
        int64_t first = std::max<int64_t>(0, top / m_cellHeight);
        int64_t last = std::min<int64_t>(int64_t(m_entries.size()) - 1, bottom / m_cellHeight);
        HFONT font = GetFont();
        HGDIOBJ oldFont = font != NULL ? SelectObject(dc, font) : NULL;
        for (int64_t i = first; i <= last; i++)
            m_entries[size_t(i)]->Draw(dc);
        if (oldFont != NULL)
            SelectObject(dc, oldFont);
    }
    EndPaint(m_hWnd, &ps);
}

void CMovieListView::EraseBackground(HDC dc)
{
    RECT client;
    GetClientRect(&client);
    LONG right = LONG(m_originX + m_cellWidth) - m_scroll.HorizontalPixels();
    int64_t bottom = int64_t(m_originY) + int64_t(m_cellHeight) * int64_t(m_entries.size())
                     - m_scroll.VerticalPixels();
    RECT side = { std::max(client.left, right), client.top, client.right, client.bottom };
    if (side.right > side.left)
        FillRect(dc, &side, m_background);
    if (bottom < client.bottom) {
        RECT below = { client.left, LONG(std::max<int64_t>(bottom, 0)), client.right, client.bottom };
        FillRect(dc, &below, m_background);
    }
}

// ---------------------------------------------------------------------------
// Mouse and keys

DWORD CMovieListView::HitTestEntry(POINT point) const
{
    if (m_cellHeight == 0)
        return kNoEntry;
    int64_t x = int64_t(point.x) + m_scroll.HorizontalPixels() - m_originX;
    int64_t y = int64_t(point.y) + m_scroll.VerticalPixels() - m_originY;
    if (x < 0 || x >= m_cellWidth || y < 0)
        return kNoEntry;
    uint64_t index = uint64_t(y) / m_cellHeight;
    return index < m_entries.size() ? DWORD(index) : kNoEntry;
}

void CMovieListView::OnClick(POINT point, UINT keys, bool doubleClick)
{
    DWORD index = HitTestEntry(point);
    if (index == kNoEntry)
        return;
    if (doubleClick) {
        ShowMovieInfo(index);
        return;
    }
    if (keys & MK_CONTROL)
        ToggleEntry(*this, index);
    else if (keys & MK_SHIFT)
        ExtendToEntry(*this, index, m_anchor);
    else
        ClickEntry(*this, index, &m_anchor);
    UpdateWindow();
}

void CMovieListView::MoveAnchorTo(DWORD index)
{
    if (index == kNoEntry)
        return;
    SelectOnlyEntry(*this, index, &m_anchor);
    EnsureItemVisible(index);
}

void CMovieListView::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    bool extended = (nFlags & KF_EXTENDED) != 0;
    DWORD count = DWORD(m_entries.size());
    if (m_listShown) {
        switch (nChar) {
        case VK_RETURN:
            ShowSelectedMovieInfo();
            return;
        case VK_HOME:
            MoveAnchorTo(MoveTarget(MOVE_HOME, m_anchor, count, 1));
            return;
        case VK_END:
            MoveAnchorTo(MoveTarget(MOVE_END, m_anchor, count, 1));
            return;
        case VK_UP:
            MoveAnchorTo(MoveTarget(MOVE_UP, m_anchor, count, 1));
            return;
        case VK_DOWN:
            MoveAnchorTo(MoveTarget(MOVE_DOWN, m_anchor, count, 1));
            return;
        case VK_PRIOR:
        case VK_NEXT:
            if (extended) {
                ListMove move = nChar == VK_PRIOR ? MOVE_PAGE_UP : MOVE_PAGE_DOWN;
                MoveAnchorTo(MoveTarget(move, m_anchor, count,
                                        m_scroll.BoxesPerPage(int32_t(m_cellHeight))));
            }
            break;
        case VK_DELETE:
            DeleteSelected();
            return;
        default:
            if (nChar >= 'A' && nChar <= 'Z' && count > 0) {
                TypeAhead(char(nChar));
                return;
            }
            break;
        }
    }
    CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CMovieListView::TypeAhead(char letter)
{
    std::vector<CMovie*> copies;
    std::vector<const char*> titles;
    copies.reserve(m_entries.size());
    titles.reserve(m_entries.size());
    for (const auto& entry : m_entries) {
        CMovie* movie = theCollection.GetMovieCopy(entry->GetMovie());
        copies.push_back(movie);
        titles.push_back(movie != NULL ? movie->m_title : NULL);
    }
    DWORD found = TypeAheadFind(titles, m_anchor, m_typeAhead, letter);
    for (CMovie* movie : copies)
        theCollection.ReleaseMovieCopy(&movie);
    MoveAnchorTo(found);
}

LRESULT CMovieListView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_listShown) {
        switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            EraseBackground(reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_VSCROLL:
        case WM_HSCROLL:
            OnScroll(message == WM_VSCROLL, LOWORD(wParam));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            SetFocus();
            POINT point = { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
            OnClick(point, UINT(wParam), message == WM_LBUTTONDBLCLK);
            return 0;
        }
        default:
            break;
        }
    }
    if (message == WM_NOTIFY && m_tree.m_hWnd != NULL) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == m_tree.m_hWnd && header->code == TVN_SELCHANGEDA) {
            OnTreeSelectionChanged();
            return 0;
        }
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// The drives tree

const CMovieListView::TreeItem* CMovieListView::GetTreeItem(HTREEITEM item) const
{
    if (item == NULL)
        return NULL;
    DWORD_PTR data = m_tree.GetItemData(item);
    return data < m_treeItems.size() ? &m_treeItems[data] : NULL;
}

bool CMovieListView::IsDiscItem(HTREEITEM item) const
{
    const TreeItem* info = GetTreeItem(item);
    return info != NULL && info->disc;
}

DWORD CMovieListView::GetTreeItemId(HTREEITEM item) const
{
    const TreeItem* info = GetTreeItem(item);
    return info != NULL ? info->id : NO_ID;
}

HTREEITEM CMovieListView::FindTreeItem(DWORD id, bool disc) const
{
    for (HTREEITEM root = m_tree.GetRootItem(); root != NULL; root = m_tree.GetNextSiblingItem(root)) {
        const TreeItem* info = GetTreeItem(root);
        if (disc) {
            if (info != NULL && info->disc && info->id == id)
                return root;
            continue;
        }
        for (HTREEITEM child = m_tree.GetChildItem(root); child != NULL;
             child = m_tree.GetNextSiblingItem(child)) {
            const TreeItem* file = GetTreeItem(child);
            if (file != NULL && !file->disc && file->id == id)
                return child;
        }
    }
    return NULL;
}

void CMovieListView::FillTree()
{
    if (!m_treeShown || m_tree.m_hWnd == NULL) {
        UpdateFrameTotals();
        return;
    }
    // What was selected and expanded, and where the selection stood.
    HTREEITEM selectedItem = m_tree.GetSelectedItem();
    const TreeItem* selectedInfo = GetTreeItem(selectedItem);
    TreeItem selected = selectedInfo != NULL ? *selectedInfo : TreeItem{ NO_ID, false };
    LONG selectedTop = -1;
    RECT itemRect;
    if (selectedItem != NULL && m_tree.GetItemRect(selectedItem, &itemRect, FALSE))
        selectedTop = itemRect.top;
    std::set<DWORD> expanded;
    for (HTREEITEM root = m_tree.GetRootItem(); root != NULL; root = m_tree.GetNextSiblingItem(root)) {
        const TreeItem* info = GetTreeItem(root);
        if (info != NULL && info->disc && (m_tree.GetItemState(root, TVIS_EXPANDED) & TVIS_EXPANDED))
            expanded.insert(info->id);
    }

    m_tree.SendMessage(WM_SETREDRAW, FALSE, 0);
    m_tree.DeleteAllItems();
    m_treeItems.clear();
    HTREEITEM select = NULL;
    for (DWORD discId = theCollection.GetNextIdOfDisc(NO_ID); discId != NO_ID;
         discId = theCollection.GetNextIdOfDisc(discId)) {
        CDisc* disc = theCollection.GetDiscCopy(discId);
        if (disc == NULL)
            continue;
        if (disc->m_name == NULL) {
            theCollection.ReleaseDiscCopy(&disc);
            continue;
        }
        int image = !disc->m_fixedOrNetwork ? IMAGE_CDROM : disc->m_network ? IMAGE_NETWORK : IMAGE_FIXED;
        const char* name = disc->m_name[0] != 0 ? disc->m_name : "[untitled]";
        HTREEITEM root = m_tree.InsertItem(name, image, image);
        m_tree.SetItemData(root, m_treeItems.size());
        m_treeItems.push_back({ discId, true });
        if (selected.disc && selected.id == discId)
            select = root;
        for (DWORD fileId : disc->m_fileIds) {
            CMovieFile* file = theCollection.GetFileCopy(fileId);
            if (file != NULL && file->m_folder != NULL && file->m_fileName != NULL) {
                std::string text = RecordPath(file->m_folder, file->m_fileName);
                HTREEITEM item = m_tree.InsertItem(text.c_str(), IMAGE_FILE, IMAGE_FILE, root);
                m_tree.SetItemData(item, m_treeItems.size());
                m_treeItems.push_back({ fileId, false });
                if (!selected.disc && selected.id == fileId)
                    select = item;
            }
            theCollection.ReleaseFileCopy(&file);
        }
        if (expanded.count(discId) != 0)
            m_tree.Expand(root, TVE_EXPAND);
        theCollection.ReleaseDiscCopy(&disc);
    }
    m_tree.SendMessage(WM_SETREDRAW, TRUE, 0);

    if (select != NULL) {
        m_tree.SelectItem(select);
        m_tree.EnsureVisible(select);
        // Scroll so that the item stands near where it stood before.
        if (selectedTop >= 0 && m_tree.GetItemRect(select, &itemRect, FALSE)) {
            int height = std::max<int>(1, itemRect.bottom - itemRect.top);
            int lines = int(itemRect.top - selectedTop) / height;
            for (int i = 0; i < std::abs(lines); i++)
                m_tree.SendMessage(WM_VSCROLL, lines > 0 ? SB_LINEDOWN : SB_LINEUP, 0);
        }
        m_tree.SetFocus();
    }
    OnTreeSelectionChanged();
    UpdateFrameTotals();
    m_tree.Invalidate();
}

void CMovieListView::OnTreeSelectionChanged()
{
    // The file information panel shows the selected disc or file, in its
    // remove mode; without a selection it is hidden.
    if (!m_infoPanel)
        return;
    const TreeItem* info = m_tree.m_hWnd != NULL ? GetTreeItem(m_tree.GetSelectedItem()) : NULL;
    if (info == NULL) {
        m_infoPanel->ShowWindow(SW_HIDE);
        return;
    }
    m_infoPanel->SetFile(info->id, info->disc, NULL, true, true);
    m_infoPanel->ShowWindow(SW_SHOW);
}

void CMovieListView::SelectDisc(DWORD id)
{
    if (!m_treeShown || m_tree.m_hWnd == NULL)
        return;
    HTREEITEM item = FindTreeItem(id, true);
    if (item == NULL)
        return;
    m_tree.SelectItem(item);
    m_tree.Expand(item, TVE_EXPAND);
    m_tree.EnsureVisible(item);
}

void CMovieListView::SelectFile(DWORD id)
{
    if (!m_treeShown || m_tree.m_hWnd == NULL)
        return;
    HTREEITEM item = FindTreeItem(id, false);
    if (item == NULL)
        return;
    m_tree.SelectItem(item);
    m_tree.EnsureVisible(item);
}

// ---------------------------------------------------------------------------
// Printing

bool CMovieListView::PrintBoxes(HDC dc, const RECT& page, double xScale, double yScale, PageStart& start,
                                bool noHalves, const std::vector<DWORD>& boxes)
{
    int64_t boxHeight = int64_t(std::floor(m_cellHeight * yScale));
    int64_t boxWidth = int64_t(std::floor(m_cellWidth * xScale));
    std::vector<PrintedBox> printed;
    bool more = PaginatePage(boxes.size(), boxHeight, page.bottom - page.top, noHalves, start, printed);
    // Every box counts as visible while printing; the screen is untouched.
    bool keepAll = m_keepAllCells;
    m_keepAllCells = true;
    for (const PrintedBox& box : printed) {
        RECT target = {page.left, LONG(page.top + box.top), LONG(page.left + boxWidth),
                       LONG(page.top + box.top + boxHeight)};
        m_entries[boxes[box.box]]->DrawTo(dc, target);
    }
    m_keepAllCells = keepAll;
    return more;
}

std::vector<DWORD> CMovieListView::PrintableBoxes(bool range, DWORD fromId, DWORD toId) const
{
    std::vector<DWORD> boxes;
    for (DWORD i = 0; i < m_entries.size(); i++) {
        DWORD movie = m_entries[i]->GetMovie();
        if (!range || (movie >= fromId && movie <= toId))
            boxes.push_back(i);
    }
    return boxes;
}

bool CMovieListView::PrintPage(HDC dc, const RECT& page, double xScale, double yScale, PageStart& start,
                               bool noHalves)
{
    return PrintBoxes(dc, page, xScale, yScale, start, noHalves, PrintableBoxes(false, 0, 0));
}

bool CMovieListView::PrintListing(HDC dc, const RECT& page, double xScale, double yScale, PageStart& start,
                                  bool noHalves, DWORD fromId, DWORD toId)
{
    return PrintBoxes(dc, page, xScale, yScale, start, noHalves, PrintableBoxes(true, fromId, toId));
}
