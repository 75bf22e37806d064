// Control bars: the tool bar and the status bar of a frame. A bar stays
// where it is docked (the tool bar at the top, the status bar at the
// bottom); the frame lays them out and gives the rest to its pane.
#pragma once

#include "classlib/Wnd.h"

class CFrameWnd;

// Ids of the frame's bars and pane (also the commands that show and hide the bars).
#define AFX_IDW_TOOLBAR     59392
#define AFX_IDW_STATUS_BAR  59393
#define AFX_IDW_PANE_FIRST  59648
#ifndef ID_VIEW_TOOLBAR
#define ID_VIEW_TOOLBAR     59392
#endif
#ifndef ID_VIEW_STATUS_BAR
#define ID_VIEW_STATUS_BAR  59393
#endif
#define ID_SEPARATOR        0

// Bar styles, given in the low word of the bar's window style and kept by
// the bar (they are not window styles).
#define CBRS_ALIGN_TOP      0x0001
#define CBRS_ALIGN_BOTTOM   0x0002
#define CBRS_ALIGN_LEFT     0x0004
#define CBRS_ALIGN_RIGHT    0x0008
#define CBRS_ALIGN_ANY      0x000F
#define CBRS_TOP            CBRS_ALIGN_TOP
#define CBRS_BOTTOM         CBRS_ALIGN_BOTTOM
#define CBRS_TOOLTIPS       0x0010
#define CBRS_FLYBY          0x0020
#define CBRS_SIZE_DYNAMIC   0x0040
#define CBRS_GRIPPER        0x0080

class CControlBar : public CWnd {
public:
    DWORD GetBarStyle() const { return m_dwBarStyle; }
    void SetBarStyle(DWORD dwStyle) { m_dwBarStyle = dwStyle; }
    // Docking is fixed: the bar stays at its edge.
    void EnableDocking(DWORD) {}

    // Places the bar inside rcFree (the frame's free client area) and takes
    // its own height off that area.
    virtual void LayoutInFrame(RECT& rcFree) = 0;
    // Updates the bar's items from the command-update handlers of pTarget.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget) {}

protected:
    // Splits a Create style into the window style and the bar style.
    DWORD TakeBarStyle(DWORD dwStyle)
    {
        m_dwBarStyle = dwStyle & 0xFFFF;
        return dwStyle & 0xFFFF0000;
    }

    DWORD m_dwBarStyle = 0;
};
