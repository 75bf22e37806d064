// The scroll arithmetic of the painted movie list: one column of equally
// tall boxes, scrolled through a bar whose range never passes 32000 units, so
// that lists of any length can be scrolled; the pixel position is 64-bit.
#pragma once

#include <cstdint>

// The largest vertical bar range; taller lists scale the bar.
const int32_t kScrollUnits = 32000;

// Scroll request codes, the same values as the system's SB_ codes.
enum {
    SCROLL_LINE_UP = 0,
    SCROLL_LINE_DOWN = 1,
    SCROLL_PAGE_UP = 2,
    SCROLL_PAGE_DOWN = 3,
    SCROLL_THUMB_POSITION = 4,
    SCROLL_THUMB_TRACK = 5,
    SCROLL_TOP = 6,
    SCROLL_BOTTOM = 7
};

// One scroll bar as the system sees it.
struct ScrollBarState {
    bool shown = false;
    int32_t minimum = 0;
    int32_t maximum = 0;   // last unit of the range
    int32_t page = 0;
    int32_t position = 0;
};

class CListScroll {
public:
    // Sets both bars from the list size and the client size. The client
    // size is that without bars; each bar that is shown takes barWidth or
    // barHeight from the other direction, and both are worked out again
    // until neither changes.
    void Update(uint64_t listHeight, int32_t cellWidth, int32_t clientWidth,
                int32_t clientHeight, int32_t barWidth, int32_t barHeight);

    // A scroll request with the tracked position for SCROLL_THUMB_TRACK;
    // true when the position changed.
    bool VerticalScroll(int code, int32_t trackPosition);
    bool HorizontalScroll(int code, int32_t trackPosition);
    // Every 120 units of delta move one cell height, up for positive
    // deltas; true when the position changed.
    bool Wheel(int delta, int32_t cellHeight);
    // Brings the box from top to bottom (list pixels) into view; true when
    // the position changed. A box whose bottom lies below the view's top and
    // whose middle lies above the view's bottom stays where it is.
    bool EnsureVisible(int64_t top, int64_t bottom);

    // The number of whole boxes in one page of the view.
    int64_t BoxesPerPage(int32_t cellHeight) const;

    int64_t VerticalPixels() const { return m_y; }
    int32_t HorizontalPixels() const { return m_x; }
    double Scale() const { return m_scale; }
    const ScrollBarState& Vertical() const { return m_vBar; }
    const ScrollBarState& Horizontal() const { return m_hBar; }
    int32_t ViewHeight() const { return m_viewHeight; }
    int32_t ViewWidth() const { return m_viewWidth; }
    uint64_t ListHeight() const { return m_listHeight; }

private:
    static bool Move(ScrollBarState& bar, int code, int32_t trackPosition);
    void SetVerticalPixels(int64_t y);

    ScrollBarState m_vBar;
    ScrollBarState m_hBar;
    int64_t m_y = 0;        // pixels from the list's top
    int32_t m_x = 0;
    double m_scale = 1.0;   // pixels per vertical bar unit
    uint64_t m_listHeight = 0;
    int32_t m_viewWidth = 0;
    int32_t m_viewHeight = 0;
};
