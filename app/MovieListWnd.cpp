#include "app/MovieListWnd.h"

#include <algorithm>
#include <set>

#include "app/ThrottledProgress.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "dialogs/MovieInfoDlg.h"

namespace {

// The order the control gives its lines when they are inserted sorted.
bool LineBefore(const CMovieTreeItem* a, const CMovieTreeItem* b)
{
    return lstrcmpiA(a->GetText(), b->GetText()) < 0;
}

} // namespace

BEGIN_MESSAGE_MAP(CMovieListWnd, CTreeCtrl)
    ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

CMovieListWnd::CMovieListWnd() : m_changeLog(new CMovieChangeLog(&theCollection))
{
}

CMovieListWnd::~CMovieListWnd()
{
    DeleteAllLines();
}

BOOL CMovieListWnd::Create(const RECT& rect, CWnd* parent, UINT id)
{
    return CTreeCtrl::Create(WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                 TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP | TVS_INFOTIP,
                             rect, parent, id);
}

void CMovieListWnd::DeleteAllLines()
{
    if (m_hWnd != NULL)
        DeleteAllItems();
    for (auto& item : m_items)
        item->Attach(NULL);
    m_items.clear();
}

bool CMovieListWnd::InsertLine(CMovieTreeItem& item, HTREEITEM after)
{
    HTREEITEM handle = InsertItem(item.GetText(), TVI_ROOT, after);
    if (handle == NULL) {
        DWORD error = GetLastError();
        OutputDebugStringA("Problems...\n");
        ShowSystemError(error, "Problems...");
        return false;
    }
    item.Attach(handle);
    return true;
}

bool CMovieListWnd::AddLine(DWORD movie)
{
    if (theCollection.GetNextIdOfMovie(movie == 0 ? NO_ID : movie - 1) != movie)
        return true;  // not stored (any more): no line
    m_items.emplace_back(new CMovieTreeItem(this, movie));
    return InsertLine(*m_items.back(), TVI_SORT);
}

void CMovieListWnd::LoadMovies()
{
    DeleteAllLines();
    DWORD count = theCollection.GetMovieCount();
    if (count == 0 || m_hWnd == NULL)
        return;
    CProgressWindow window;
    CThrottledProgress progress(window, count);
    window.SetText("Loading movies...", 0, progress.Range());
    window.Show(this);
    DeleteAllItems();

    m_items.reserve(count);
    for (DWORD id = theCollection.GetNextIdOfMovie(NO_ID); id != NO_ID; id = theCollection.GetNextIdOfMovie(id)) {
        m_items.emplace_back(new CMovieTreeItem(this, id));
        progress.Advance(0.5);
    }
    // The lines go in once in the control's sorted order, each after the
    // one before: a sorted insertion compares each new line with every
    // line already there.
    std::vector<CMovieTreeItem*> order;
    order.reserve(m_items.size());
    for (auto& item : m_items)
        order.push_back(item.get());
    std::stable_sort(order.begin(), order.end(), LineBefore);
    SendMessage(WM_SETREDRAW, FALSE);
    for (CMovieTreeItem* item : order) {
        if (!InsertLine(*item, TVI_LAST))
            break;
        progress.Advance(0.5);
    }
    SendMessage(WM_SETREDRAW, TRUE);
    window.Close();
    Invalidate();
}

void CMovieListWnd::UpdateListing()
{
    if (m_items.empty() || m_changeLog->IsReloadAll()) {
        m_changeLog->Reset();
        LoadMovies();
        return;
    }
    std::vector<DWORD> removedIds, addedIds, changedIds;
    m_changeLog->GetRemoved(removedIds);
    m_changeLog->GetAdded(addedIds);
    m_changeLog->GetChanged(changedIds);
    m_changeLog->Reset();
    if (removedIds.empty() && addedIds.empty() && changedIds.empty()) {
        RedrawWindow();
        return;
    }
    CProgressWindow window;
    CThrottledProgress progress(window, removedIds.size() + addedIds.size() + changedIds.size());
    window.SetText("Updating listing...", 0, progress.Range());
    window.Show(this);

    std::set<DWORD> removed(removedIds.begin(), removedIds.end());
    std::set<DWORD> changed(changedIds.begin(), changedIds.end());
    for (size_t i = 0; i < m_items.size() && (!removed.empty() || !changed.empty());) {
        DWORD movie = m_items[i]->GetMovie();
        if (changed.erase(movie) != 0) {
            m_items[i]->Refresh();
            progress.Advance(1.0);
        } else if (removed.erase(movie) != 0) {
            // The last item takes the slot and is looked at next.
            std::swap(m_items[i], m_items.back());
            m_items.pop_back();
            progress.Advance(1.0);
            continue;
        }
        i++;
    }
    // Added movies, and changed ones that had no line, get one; a movie that
    // has a line already is only refreshed.
    std::vector<DWORD> missing(addedIds);
    missing.insert(missing.end(), changed.begin(), changed.end());
    std::set<DWORD> lines;
    if (!missing.empty()) {
        for (const auto& item : m_items)
            lines.insert(item->GetMovie());
    }
    for (DWORD movie : missing) {
        progress.Advance(1.0);
        if (lines.count(movie) != 0) {
            for (auto& item : m_items) {
                if (item->GetMovie() == movie)
                    item->Refresh();
            }
            continue;
        }
        if (!AddLine(movie))
            break;
        lines.insert(movie);
    }
    window.Close();
    RedrawWindow();
}

CMovieTreeItem* CMovieListWnd::ItemOf(HTREEITEM handle) const
{
    if (handle == NULL)
        return nullptr;
    CMovieTreeItem* item = reinterpret_cast<CMovieTreeItem*>(GetItemData(handle));
    for (const auto& known : m_items) {
        if (known.get() == item)
            return item;
    }
    return nullptr;
}

void CMovieListWnd::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    CMovieTreeItem* item = (nFlags & (MK_SHIFT | MK_CONTROL)) == 0 ? ItemOf(HitTest(point)) : nullptr;
    if (item == nullptr) {
        Default();
        return;
    }
    CMovieInfoDlg dialog(this);
    if (!dialog.SetStoredMovie(nullptr, item->GetMovie(), false))
        return;
    // Cancel leaves the catalogue as it was: only Save or Remove write back.
    if (dialog.DoModal() == IDOK)
        dialog.SaveEditedMovie();
    UpdateListing();
}
