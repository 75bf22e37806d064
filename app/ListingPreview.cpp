#include "app/ListingPreview.h"

#include <algorithm>

#include "app/ListLayout.h"
#include "classlib/DC.h"
#include "core/StrUtil.h"
#include "resources/resource.h"

namespace {

// Each pass that grows the box returns without a bitmap; a layout that
// still grows after this many is painted no more.
const int kMaxPaintPasses = 64;

} // namespace

BEGIN_MESSAGE_MAP(CListingPreview, CListBox)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_SIZE()
END_MESSAGE_MAP()

CListingPreview::CListingPreview()
    : m_layout(nullptr), m_boxWidth(0), m_boxHeight(0), m_boxDc(NULL), m_boxBitmap(NULL),
      m_oldBitmap(NULL), m_scrollX(0), m_scrollY(0), m_level(-1), m_selected(false),
      m_skipButtonUp(false), m_sizing(false)
{
    StrSet(&m_movie.m_title, "Testing testing");
    StrSet(&m_movie.m_customType, "test");
}

CListingPreview::~CListingPreview()
{
    ReleaseBox();
}

void CListingPreview::SetLayout(CListLayout* layout)
{
    ReleaseBox();
    m_layout = layout;
}

void CListingPreview::ReleaseBox()
{
    ReleaseBoxDc(&m_boxDc, &m_boxBitmap, &m_oldBitmap);
    m_laid.clear();
    m_boxWidth = m_boxHeight = 0;
}

void CListingPreview::Relayout(CLayoutSubItem* keepInView)
{
    ReleaseBox();
    if (m_layout == nullptr || m_hWnd == NULL)
        return;
    // Every level background is rendered again for the new box.
    m_layout->m_cachedWidth = m_layout->m_cachedHeight = 0;

    HDC reference = GetDC();
    HGDIOBJ oldFont = SelectObject(reference, GetFont() != NULL ? HGDIOBJ(GetFont()) : GetStockObject(DEFAULT_GUI_FONT));
    int32_t level = m_level;
    PaintRequest request;
    request.reference = reference;
    request.SetBox(&m_boxDc, &m_boxBitmap, &m_oldBitmap, &m_laid, &m_boxWidth, &m_boxHeight);
    request.movie = &m_movie;
    request.selected = m_selected;
    request.remeasure = true;
    request.cachedLevel = &level;
    for (int pass = 0; pass < kMaxPaintPasses && m_boxDc == NULL; pass++) {
        if (!PaintItem(*m_layout, request))
            break;
    }
    SelectObject(reference, oldFont);
    ReleaseDC(reference);

    RECT client;
    GetClientRect(&client);
    const int32_t shown = keepInView != nullptr ? m_layout->IndexOfItem(keepInView) : -1;
    if (shown >= 0 && size_t(shown) < m_laid.size()) {
        const RECT& placed = m_laid[size_t(shown)]->m_placed;
        m_scrollX = (placed.left + placed.right) / 2 - client.right / 2;
        m_scrollY = (placed.top + placed.bottom) / 2 - client.bottom / 2;
    }
    UpdateScrollBars();
    Invalidate(TRUE);
    UpdateParentButtons();
}

void CListingPreview::UpdateScrollBars()
{
    // Showing one bar narrows the client area, which may call for the other.
    for (int round = 0; round < 2; round++) {
        RECT client;
        GetClientRect(&client);
        const int32_t sizes[2] = {m_boxWidth, m_boxHeight};
        const int32_t pages[2] = {client.right, client.bottom};
        int32_t* positions[2] = {&m_scrollX, &m_scrollY};
        const int bars[2] = {SB_HORZ, SB_VERT};
        for (int k = 0; k < 2; k++) {
            bool needed = sizes[k] > pages[k];
            int32_t limit = needed ? sizes[k] - pages[k] : 0;
            *positions[k] = std::max<int32_t>(0, std::min(*positions[k], limit));
            SCROLLINFO info = {};
            info.cbSize = sizeof info;
            info.fMask = SIF_ALL;
            info.nMin = 0;
            info.nMax = needed ? sizes[k] - 1 : 0;
            info.nPage = needed ? UINT(pages[k]) : 0;
            info.nPos = *positions[k];
            SetScrollInfo(bars[k], &info, TRUE);
            ShowScrollBar(bars[k], needed);
        }
    }
}

void CListingPreview::UpdateParentButtons()
{
    DWORD selected = 0;
    for (int32_t i = 0; i < m_layout->GetItemCount(); i++)
        selected += m_layout->GetItem(i)->m_selected ? 1 : 0;
    m_layout->m_selectedCount = selected;
    HWND parent = ::GetParent(m_hWnd);
    ::EnableWindow(::GetDlgItem(parent, IDC_LISTING_EDIT_ITEM), selected == 1);
    ::EnableWindow(::GetDlgItem(parent, IDC_LISTING_DELETE_ITEMS), selected > 0);
}

CLayoutSubItem* CListingPreview::ItemAt(CPoint point) const
{
    if (m_layout == nullptr)
        return nullptr;
    const LONG x = point.x + m_scrollX, y = point.y + m_scrollY;
    for (int32_t i = 0; i < m_layout->GetItemCount() && size_t(i) < m_laid.size(); i++) {
        const RECT& placed = m_laid[size_t(i)]->m_placed;
        if (x >= placed.left && x < placed.right && y >= placed.top && y < placed.bottom)
            return m_layout->GetItem(i);
    }
    return nullptr;
}

void CListingPreview::Draw(HDC dc)
{
    if (m_boxDc != NULL)
        BitBlt(dc, -m_scrollX, -m_scrollY, m_boxWidth, m_boxHeight, m_boxDc, 0, 0, SRCCOPY);
}

void CListingPreview::OnPaint()
{
    CPaintDC dc(this);
    Draw(dc);
}

BOOL CListingPreview::OnEraseBkgnd(CDC* pDC)
{
    RECT client;
    GetClientRect(&client);
    HBRUSH window = GetSysColorBrush(COLOR_WINDOW);
    const LONG right = m_boxWidth - m_scrollX, bottom = m_boxHeight - m_scrollY;
    RECT beside = {std::max(right, 0L), 0, client.right, client.bottom};
    RECT below = {0, std::max(bottom, 0L), client.right, client.bottom};
    FillRect(*pDC, &beside, window);
    FillRect(*pDC, &below, window);
    Draw(*pDC);
    return TRUE;
}

void CListingPreview::OnSize(UINT, int, int)
{
    // The list box would set its scroll bars for its (empty) lines; they
    // follow the box instead. Showing a bar sizes the control again.
    if (!m_sizing) {
        m_sizing = true;
        UpdateScrollBars();
        m_sizing = false;
    }
}

void CListingPreview::OnLButtonDown(UINT, CPoint)
{
    // The list box's own tracking of its (empty) lines is not wanted.
    SetFocus();
}

void CListingPreview::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (m_skipButtonUp) {
        m_skipButtonUp = false;
        return;
    }
    if (m_layout == nullptr)
        return;
    CLayoutSubItem* item = ItemAt(point);
    if (item == nullptr) {
        m_layout->ClearSelection();
    } else {
        if ((nFlags & MK_CONTROL) == 0) {
            for (int32_t i = 0; i < m_layout->GetItemCount(); i++) {
                if (m_layout->GetItem(i) != item)
                    m_layout->GetItem(i)->m_selected = false;
            }
        }
        item->m_selected = !item->m_selected;
    }
    Relayout();
}

void CListingPreview::OnLButtonDblClk(UINT, CPoint point)
{
    m_skipButtonUp = true;
    if (m_layout == nullptr)
        return;
    CLayoutSubItem* item = ItemAt(point);
    if (item == nullptr)
        return;
    m_layout->ClearSelection();
    item->m_selected = true;
    Relayout();
    m_layout->EditSelectedItem(this);
}

void CListingPreview::Scroll(int bar, UINT code)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ::GetScrollInfo(m_hWnd, bar, &info);
    int32_t& position = bar == SB_HORZ ? m_scrollX : m_scrollY;
    const int32_t limit = std::max<int32_t>(0, info.nMax + 1 - int32_t(info.nPage));
    int32_t next = position;
    switch (code) {
    case SB_LINEUP: next -= 1; break;
    case SB_LINEDOWN: next += 1; break;
    case SB_PAGEUP: next -= int32_t(info.nPage); break;
    case SB_PAGEDOWN: next += int32_t(info.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: next = info.nTrackPos; break;
    case SB_TOP: next = 0; break;
    case SB_BOTTOM: next = limit; break;
    default: return;
    }
    next = std::max<int32_t>(0, std::min(next, limit));
    if (next == position)
        return;
    position = next;
    ::SetScrollPos(m_hWnd, bar, position, TRUE);
    Invalidate(TRUE);
}

void CListingPreview::OnHScroll(UINT nSBCode, UINT, CWnd*)
{
    Scroll(SB_HORZ, nSBCode);
}

void CListingPreview::OnVScroll(UINT nSBCode, UINT, CWnd*)
{
    Scroll(SB_VERT, nSBCode);
}
