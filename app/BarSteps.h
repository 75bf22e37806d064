// Which positions of a progress bar are worth showing: a bar of a few
// hundred pixels over a range of thousands moves visibly only every so
// many steps, and every move repaints it.
#pragma once

#include <cstdint>

class CBarSteps {
public:
    // The bar's range and its width in pixels (at least one is assumed).
    void Reset(int32_t low, int32_t high, int32_t pixels)
    {
        m_low = low;
        m_high = high;
        m_pixels = pixels > 0 ? pixels : 1;
        m_shown = -1;
    }
    // True when pos lies on another pixel than the last position shown; it
    // then counts as shown. Positions outside the range count as its ends.
    bool Moves(int32_t pos)
    {
        int64_t pixel = PixelOf(pos);
        if (pixel == m_shown)
            return false;
        m_shown = pixel;
        return true;
    }

private:
    int64_t PixelOf(int32_t pos) const
    {
        if (m_high <= m_low || pos <= m_low)
            return 0;
        if (pos >= m_high)
            return m_pixels;
        return (int64_t(pos) - m_low) * m_pixels / (int64_t(m_high) - m_low);
    }

    int32_t m_low = 0;
    int32_t m_high = 0;
    int32_t m_pixels = 1;
    int64_t m_shown = -1;
};
