// The tool bar: a common tool-bar control loaded from a TOOLBAR resource
// (button size and command ids; 0 is a separator) and the bitmap of the same
// id. Buttons post their command ids to the frame; their tool tips and
// fly-by texts come from the string resource of each command id, written
// "status text\ntool tip".
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "classlib/ControlBar.h"

class CToolBar : public CControlBar {
public:
    CToolBar() {}
    ~CToolBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                UINT nID = AFX_IDW_TOOLBAR);
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                  CRect rcBorders = CRect(0, 0, 0, 0), UINT nID = AFX_IDW_TOOLBAR);
    BOOL LoadToolBar(UINT nIDResource);

    int GetCount() const { return (int)SendMessage(TB_BUTTONCOUNT); }
    UINT GetItemID(int nIndex) const;
    int CommandToIndex(UINT nIDFind) const { return (int)SendMessage(TB_COMMANDTOINDEX, nIDFind); }
    void GetItemRect(int nIndex, LPRECT lpRect) const { SendMessage(TB_GETITEMRECT, nIndex, (LPARAM)lpRect); }
    BOOL IsButtonEnabled(UINT nID) const { return (BOOL)SendMessage(TB_ISBUTTONENABLED, nID); }
    BOOL IsButtonChecked(UINT nID) const { return (BOOL)SendMessage(TB_ISBUTTONCHECKED, nID); }

    void LayoutInFrame(RECT& rcFree) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget) override;

private:
    HBITMAP m_hbmImageWell = nullptr;   // the buttons' bitmap, owned
};
