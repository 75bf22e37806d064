// The status bar: a common status control whose panes are set up from an
// array of indicator ids. A pane of id ID_SEPARATOR stretches over the room
// the other panes leave; another pane starts with the string resource of
// its id as text and that text's width.
#pragma once

#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "classlib/ControlBar.h"

// Pane styles
#define SBPS_NORMAL     0x0000
#define SBPS_NOBORDERS  0x0100
#define SBPS_POPOUT     0x0200
#define SBPS_STRETCH    0x0800

class CStatusBar : public CControlBar {
public:
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT nID = AFX_IDW_STATUS_BAR);
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

    int GetCount() const { return (int)m_panes.size(); }
    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    BOOL SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate = TRUE);
    std::string GetPaneText(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const { SendMessage(SB_GETRECT, nIndex, (LPARAM)lpRect); }

    void LayoutInFrame(RECT& rcFree) override;

private:
    struct Pane {
        UINT nID;
        UINT nStyle;
        int cxWidth;    // text width in pixels (not counting the pane's borders)
    };
    std::vector<Pane> m_panes;

    UINT TextFlags(UINT nStyle) const;
    void UpdateParts();
};
