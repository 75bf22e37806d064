#include "app/ListScroll.h"

#include <algorithm>

namespace {

const int kWheelDelta = 120;

int32_t Clamp(int64_t value, int32_t low, int32_t high)
{
    if (high < low)
        high = low;
    return int32_t(std::min<int64_t>(std::max<int64_t>(value, low), high));
}

// The last position at which a page still fits into the range.
int32_t LastPosition(const ScrollBarState& bar)
{
    return std::max(bar.minimum, bar.maximum - std::max(bar.page, 1) + 1);
}

}  // namespace

void CListScroll::Update(uint64_t listHeight, int32_t cellWidth, int32_t clientWidth,
                         int32_t clientHeight, int32_t barWidth, int32_t barHeight)
{
    m_listHeight = listHeight;
    bool vShown = false, hShown = false;
    for (int round = 0; round < 4; round++) {
        int32_t width = std::max(0, clientWidth - (vShown ? barWidth : 0));
        int32_t height = std::max(0, clientHeight - (hShown ? barHeight : 0));
        bool v = listHeight > uint64_t(height);
        bool h = width < cellWidth;
        m_viewWidth = width;
        m_viewHeight = height;
        if (v == vShown && h == hShown)
            break;
        vShown = v;
        hShown = h;
    }

    m_vBar.shown = vShown;
    if (vShown) {
        double scale = double(listHeight) / kScrollUnits;
        m_scale = scale >= 1.0 ? scale : 1.0;
        m_vBar.minimum = 0;
        m_vBar.maximum = scale >= 1.0 ? kScrollUnits : int32_t(listHeight);
        m_vBar.page = int32_t(m_viewHeight / m_scale);
        if (m_vBar.page < 1)
            m_vBar.page = 1;
        // Keep the pixel position; the bar follows it.
        int64_t y = m_y;
        int64_t last = int64_t(listHeight) - m_viewHeight;
        if (y > last)
            y = last;
        SetVerticalPixels(std::max<int64_t>(y, 0));
    } else {
        m_vBar = ScrollBarState();
        m_y = 0;
        m_scale = 1.0;
    }

    m_hBar.shown = hShown;
    if (hShown) {
        m_hBar.minimum = 0;
        m_hBar.maximum = cellWidth;
        m_hBar.page = std::max(1, m_viewWidth);
        m_hBar.position = Clamp(m_x, 0, LastPosition(m_hBar));
        m_x = m_hBar.position;
    } else {
        m_hBar = ScrollBarState();
        m_x = 0;
    }
}

void CListScroll::SetVerticalPixels(int64_t y)
{
    m_y = std::max<int64_t>(y, 0);
    m_vBar.position = Clamp(int64_t(double(m_y) / m_scale), m_vBar.minimum, LastPosition(m_vBar));
}

bool CListScroll::Move(ScrollBarState& bar, int code, int32_t trackPosition)
{
    int64_t position = bar.position;
    switch (code) {
    case SCROLL_LINE_UP: position -= 1; break;
    case SCROLL_LINE_DOWN: position += 1; break;
    case SCROLL_PAGE_UP: position -= bar.page; break;
    case SCROLL_PAGE_DOWN: position += bar.page; break;
    case SCROLL_THUMB_TRACK: position = trackPosition; break;
    case SCROLL_TOP: position = bar.minimum; break;
    case SCROLL_BOTTOM: position = LastPosition(bar); break;
    default: return false;
    }
    int32_t clamped = Clamp(position, bar.minimum, LastPosition(bar));
    if (clamped == bar.position)
        return false;
    bar.position = clamped;
    return true;
}

bool CListScroll::VerticalScroll(int code, int32_t trackPosition)
{
    if (!m_vBar.shown || !Move(m_vBar, code, trackPosition))
        return false;
    int64_t y = int64_t(m_vBar.position * m_scale);
    m_y = std::max<int64_t>(y, 0);
    return true;
}

bool CListScroll::HorizontalScroll(int code, int32_t trackPosition)
{
    if (!m_hBar.shown || !Move(m_hBar, code, trackPosition))
        return false;
    m_x = m_hBar.position;
    return true;
}

bool CListScroll::Wheel(int delta, int32_t cellHeight)
{
    if (!m_vBar.shown)
        return false;
    int64_t y = m_y - int64_t(delta / kWheelDelta) * cellHeight;
    int64_t last = int64_t(m_listHeight) - m_viewHeight + 1;
    y = std::min(y, last);
    y = std::max<int64_t>(y, 0);
    if (y == m_y)
        return false;
    SetVerticalPixels(y);
    return true;
}

bool CListScroll::EnsureVisible(int64_t top, int64_t bottom)
{
    if (!m_vBar.shown)
        return false;
    int64_t viewTop = m_y;
    int64_t viewBottom = m_y + m_viewHeight;
    int64_t middle = top + (bottom - top) / 2;
    if (bottom > viewTop && middle < viewBottom)
        return false;
    int64_t y = top >= viewTop ? bottom - m_viewHeight : top;
    int64_t last = int64_t(m_listHeight) - m_viewHeight;
    y = std::max<int64_t>(std::min(y, last), 0);
    if (y == m_y)
        return false;
    SetVerticalPixels(y);
    return true;
}

int64_t CListScroll::BoxesPerPage(int32_t cellHeight) const
{
    if (cellHeight <= 0)
        return 1;
    int64_t page = m_vBar.shown ? int64_t(m_vBar.page * m_scale) : m_viewHeight;
    return std::max<int64_t>(page / cellHeight, 1);
}
