// Frame windows: a top-level window with a menu, accelerators, tool and
// status bars and one client pane that fills the rest. Commands go to the
// active pane first, then to the frame, then to the application object; a
// popup menu's items and the tool-bar buttons follow the command-update
// handlers. A frame is made on the heap: it deletes itself when its window
// is destroyed.
#pragma once

#include "classlib/ControlBar.h"

class CCmdUI;
class CMenu;

// Kept for callers that pass it to LoadFrame; the title comes from the
// frame's string resource.
#define FWS_ADDTOTITLE 0x00008000L

// Resource string shown in the status bar when no prompt is shown.
#define AFX_IDS_IDLEMESSAGE 57345

class CFrameWnd : public CWnd {
public:
    CFrameWnd() {}

    // Creates the frame from one resource id: its menu, accelerator table,
    // icon and title (the string, up to its first '\n').
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr);
    // Lays out the visible bars and gives the rest of the client area to the pane.
    virtual void RecalcLayout(BOOL bNotify = TRUE);

    // The pane that gets commands first: the one set, else the child window
    // AFX_IDW_PANE_FIRST when it has an object.
    CWnd* GetActivePane() const;
    void SetActivePane(CWnd* pPane) { m_pActivePane = pPane; }

    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay = FALSE);
    CControlBar* GetControlBar(UINT nID) const;
    // Docking is fixed (tool bars at the top, status bars at the bottom).
    void EnableDocking(DWORD) {}
    void DockControlBar(CControlBar*) { RecalcLayout(); }
    // Shows a text in the first pane of the status bar, if there is one.
    void SetMessageText(LPCSTR lpszText);

    // Updates the tool-bar buttons from the command-update handlers (idle time).
    void OnIdleUpdateCmdUI();

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void PostNcDestroy() override;

    HACCEL m_hAccelTable = nullptr;
    UINT m_nIDHelp = 0;     // the resource id the frame was loaded from

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnSize(UINT nType, int cx, int cy);
    void OnClose();
    void OnDestroy();
    void OnSetFocus(CWnd* pOldWnd);
    void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
    BOOL OnBarCheck(UINT nID);

    CWnd* m_pActivePane = nullptr;

    DECLARE_MESSAGE_MAP()
};
