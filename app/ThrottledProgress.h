// Moves a progress window's bar as the items of a long pass are handled, at
// most every few hundredths of a second: each move handles a waiting message
// and costs more than an item does.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/ListProgress.h"
#include "app/ProgressWindow.h"

class CThrottledProgress {
public:
    CThrottledProgress(CProgressWindow& window, uint64_t count)
        : m_window(window), m_progress(count), m_last(GetTickCount()) {}
    int32_t Range() const { return m_progress.Range(); }
    void Advance(double fraction)
    {
        if (!m_progress.Advance(fraction))
            return;
        DWORD now = GetTickCount();
        if (now - m_last < 30 && m_progress.Position() < m_progress.Range())
            return;
        m_last = now;
        m_window.SetPos(m_progress.Position());
    }

private:
    CProgressWindow& m_window;
    CListProgress m_progress;
    DWORD m_last;
};
