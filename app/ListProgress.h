// The progress bar arithmetic of the list rebuilds: the range is the item
// count, at most 32000, and each item advances it by its share of a step,
// so that the passes over the items fill the bar exactly once.
#pragma once

#include <cstdint>

class CListProgress {
public:
    explicit CListProgress(uint64_t count)
        : m_range(count <= 32000 ? int32_t(count) : 32000),
          m_step(count <= 32000 ? 1.0 : 32000.0 / double(count)) {}

    int32_t Range() const { return m_range; }
    // Advances by the fraction of a step; true when the whole-number
    // position changed (only then is the bar worth moving).
    bool Advance(double fraction)
    {
        int32_t before = Position();
        m_position += m_step * fraction;
        return Position() != before;
    }
    int32_t Position() const
    {
        int32_t p = int32_t(m_position + 1e-6);
        return p > m_range ? m_range : p;
    }

private:
    int32_t m_range;
    double m_step;
    double m_position = 0.0;
};
