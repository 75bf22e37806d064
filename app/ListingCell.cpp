#include "app/ListingCell.h"

#include <cmath>

#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "export/SortKeys.h"

CListingCell::CListingCell(IListingCellOwner* owner)
    : m_movie(NO_ID), m_boxWidth(0), m_boxHeight(0), m_level(-1), m_visible(0), m_selected(0),
      m_spare(0), m_dirty(0), m_owner(owner), m_rect{0, 0, 0, 0}, m_sortKind(0xFF),
      m_sortKey(NULL), m_sortKey2(NULL), m_boxDc(NULL), m_boxBitmap(NULL), m_oldBitmap(NULL)
{
}

CListingCell::~CListingCell()
{
    Clear();
}

void CListingCell::Clear()
{
    ReleaseCache();
    m_laid.clear();
    StrSet(&m_sortKey, NULL);
    StrSet(&m_sortKey2, NULL);
    m_sortKind = 0xFF;
}

void CListingCell::ReleaseCache()
{
    if (m_boxDc == NULL && m_boxBitmap == NULL)
        return;
    ReleaseBoxDc(&m_boxDc, &m_boxBitmap, &m_oldBitmap);
    m_owner->OnCellReleased(this);
}

void CListingCell::DropLayout()
{
    m_laid.clear();
    m_dirty = 1;
}

bool CListingCell::AssignMovie(DWORD movie, bool force)
{
    m_movie = movie;
    m_dirty = 1;
    m_level = -1;
    if (!m_visible || !MeetsClientArea()) {
        // Rendered once it comes into view; here only whether it is stored.
        return movie != NO_ID && theCollection.GetNextIdOfMovie(movie == 0 ? NO_ID : movie - 1) == movie;
    }
    bool ok = Render(force);
    Refresh();
    return ok;
}

void CListingCell::SetRect(const RECT& rect)
{
    if (EqualRect(&rect, &m_rect))
        return;
    if (m_visible)
        Refresh();  // where it stood
    m_rect = rect;
    m_dirty = 1;
    if (m_visible)
        Refresh();  // painted again at the next paint message
}

RECT CListingCell::GetViewRect() const
{
    int32_t x = 0;
    int64_t y = 0;
    m_owner->GetScrollOffset(&x, &y);
    RECT r = m_rect;
    OffsetRect(&r, -x, 0);
    r.top = LONG(r.top - y);
    r.bottom = LONG(r.bottom - y);
    return r;
}

bool CListingCell::MeetsClientArea() const
{
    if (m_owner->KeepsAllCells())
        return true;
    RECT client = m_owner->GetCellClientRect();
    RECT view = GetViewRect(), common;
    return IntersectRect(&common, &view, &client) != 0;
}

void CListingCell::Refresh()
{
    // Only what is on screen: a call into the window system per box would
    // dominate rebuilding a long list.
    HWND window = m_owner->GetCellWindow();
    if (window == NULL || !MeetsClientArea())
        return;
    RECT view = GetViewRect();
    InvalidateRect(window, &view, FALSE);
}

void CListingCell::Select()
{
    if (m_selected)
        return;
    m_selected = 1;
    m_level = -1;
    m_dirty = 1;
    if (m_visible)
        Refresh();
}

void CListingCell::Deselect()
{
    if (!m_selected)
        return;
    m_selected = 0;
    m_level = -1;
    m_dirty = 1;
    if (m_visible)
        Refresh();
}

void CListingCell::Show()
{
    m_visible = 1;
    Refresh();
}

void CListingCell::Hide()
{
    m_visible = 0;
    ReleaseCache();
}

bool CListingCell::Intersects(const RECT& rect, bool cachedOnly) const
{
    if (cachedOnly)
        return m_boxDc != NULL;
    RECT view = GetViewRect(), common;
    return IntersectRect(&common, &view, &rect) != 0;
}

bool CListingCell::HitTest(POINT point) const
{
    RECT view = GetViewRect();
    return PtInRect(&view, point) != 0;
}

void CListingCell::Draw(HDC dc)
{
    if (!m_visible)
        return;
    if (!MeetsClientArea()) {
        ReleaseCache();
        return;
    }
    if (m_boxDc == NULL || m_dirty) {
        if (!Render(false) || m_boxDc == NULL)
            return;
    }
    RECT view = GetViewRect();
    BitBlt(dc, view.left, view.top, view.right - view.left, view.bottom - view.top, m_boxDc, 0, 0,
           SRCCOPY);
}

void CListingCell::DrawScaled(HDC dc, double xFactor, double yFactor)
{
    RECT target = {int(std::floor(m_rect.left * xFactor)), int(std::floor(m_rect.top * yFactor)), 0, 0};
    target.right = target.left + int(std::floor((m_rect.right - m_rect.left) * xFactor));
    target.bottom = target.top + int(std::floor((m_rect.bottom - m_rect.top) * yFactor));
    DrawTo(dc, target);
}

void CListingCell::DrawTo(HDC dc, const RECT& target)
{
    bool wasSelected = m_selected != 0;
    bool hadCache = m_boxDc != NULL;
    if (wasSelected) {
        m_selected = 0;
        m_level = -1;
        Render(true);
    } else if (!hadCache || m_dirty) {
        Render(false);
    }
    if (m_boxDc != NULL) {
        StretchBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, m_boxDc, 0,
                   0, m_boxWidth, m_boxHeight, SRCCOPY);
    }
    if (!hadCache)
        ReleaseCache();
    if (wasSelected) {
        m_selected = 1;
        m_level = -1;
        m_dirty = 1;
    }
}

void CListingCell::BuildSortKeys(BYTE code)
{
    m_sortKind = code;
    MovieSortKeysById(code, m_movie, &m_sortKey, &m_sortKey2);
}

bool CListingCell::Render(bool force)
{
    CListLayout* layout = m_owner->GetCellLayout();
    CMovie* movie = theCollection.GetMovieCopy(m_movie);
    if (movie == NULL || layout == NULL) {
        theCollection.ReleaseMovieCopy(&movie);
        return false;
    }
    HWND window = m_owner->GetCellWindow();
    HDC reference = GetDC(window);
    HGDIOBJ oldFont = NULL;
    if (window != NULL) {
        HFONT font = reinterpret_cast<HFONT>(SendMessage(window, WM_GETFONT, 0, 0));
        if (font != NULL)
            oldFont = SelectObject(reference, font);
    }
    const int32_t rectWidth = m_rect.right - m_rect.left;
    const int32_t rectHeight = m_rect.bottom - m_rect.top;
    bool changed = movie->m_modified != 0 || force;
    bool paint = m_visible && MeetsClientArea();
    bool hadCache = m_boxDc != NULL;

    PaintRequest request;
    request.reference = reference;
    request.SetBox(&m_boxDc, &m_boxBitmap, &m_oldBitmap, &m_laid, &m_boxWidth, &m_boxHeight);
    request.movie = movie;
    request.selected = m_selected != 0;
    request.paint = paint;
    request.cachedLevel = &m_level;

    bool ok = true, done = false;
    if (!changed && !m_dirty && m_boxDc != NULL && !m_laid.empty() && m_visible) {
        // Same movie, same place: paint the existing layout again.
        request.reuse = true;
        done = PaintItem(*layout, request);
    }
    if (!done && !changed && !m_dirty && m_boxDc != NULL && m_boxWidth == rectWidth &&
        m_boxHeight == rectHeight)
        done = true;
    if (!done) {
        if (changed)
            m_level = -1;
        if (m_sortKind != 0xFF)
            MovieSortKeys(m_sortKind, movie, &m_sortKey, &m_sortKey2);
        m_boxWidth = rectWidth;
        m_boxHeight = rectHeight;
        ok = PaintItem(*layout, request);
        if (ok && (m_boxWidth != rectWidth || m_boxHeight != rectHeight)) {
            // The box needs another size: the pane places the cells once
            // more and this one is painted at the next paint message.
            m_owner->PlaceCellAgain(this, m_boxWidth, m_boxHeight);
            if (m_boxDc != NULL)
                ReleaseCache();
            m_dirty = 1;
        } else if (ok) {
            m_dirty = paint ? 0 : 1;
        }
    }
    if (m_boxDc != NULL && !hadCache)
        m_owner->OnCellCached(this);
    else if (m_boxDc == NULL && hadCache)
        m_owner->OnCellReleased(this);

    if (ok)
        theCollection.ClearMovieModified(m_movie);
    if (oldFont != NULL)
        SelectObject(reference, oldFont);
    ReleaseDC(window, reference);
    theCollection.ReleaseMovieCopy(&movie);
    return ok && m_visible;
}
