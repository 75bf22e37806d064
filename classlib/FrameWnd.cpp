#include "classlib/FrameWnd.h"
#include "classlib/CmdUI.h"
#include "classlib/Menu.h"
#include "classlib/StatusBar.h"
#include "classlib/ToolBar.h"
#include "classlib/WinApp.h"

#include <commctrl.h>
#include <cstring>

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_SETFOCUS()
    ON_WM_INITMENUPOPUP()
    ON_UPDATE_COMMAND_UI_RANGE(AFX_IDW_TOOLBAR, AFX_IDW_STATUS_BAR, OnUpdateControlBarMenu)
    ON_COMMAND_EX_RANGE(AFX_IDW_TOOLBAR, AFX_IDW_STATUS_BAR, OnBarCheck)
END_MESSAGE_MAP()

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd)
{
    m_nIDHelp = nIDResource;
    std::string title = AfxLoadString(nIDResource);
    size_t newline = title.find('\n');
    if (newline != std::string::npos)
        title.erase(newline);
    HINSTANCE hInst = AfxGetResourceHandle();
    HMENU hMenu = ::LoadMenu(hInst, MAKEINTRESOURCE(nIDResource));
    m_hAccelTable = ::LoadAccelerators(hInst, MAKEINTRESOURCE(nIDResource));

    if (!CreateEx(0, nullptr, title.c_str(), dwDefaultStyle & ~FWS_ADDTOTITLE, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  pParentWnd ? pParentWnd->m_hWnd : nullptr, hMenu)) {
        // The frame may already have deleted itself (PostNcDestroy).
        if (hMenu != nullptr && ::IsMenu(hMenu))
            ::DestroyMenu(hMenu);
        return FALSE;
    }
    RecalcLayout();
    return TRUE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == nullptr) {
        HICON hIcon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(m_nIDHelp));
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                           (HBRUSH)(COLOR_BTNFACE + 1), hIcon);
    }
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    return CWnd::OnCreate(lpCreateStruct);
}

void CFrameWnd::PostNcDestroy()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->m_pMainWnd == this)
        pApp->m_pMainWnd = nullptr;
    delete this;
}

void CFrameWnd::OnClose()
{
    DestroyWindow();
}

void CFrameWnd::OnDestroy()
{
    // The end of the main window ends the application's message loop.
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->m_pMainWnd == this)
        ::PostQuitMessage(0);
    CWnd::OnDestroy();
}

void CFrameWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

void CFrameWnd::OnSetFocus(CWnd* pOldWnd)
{
    CWnd* pPane = GetActivePane();
    if (pPane != nullptr && pPane->m_hWnd != nullptr && pPane->IsWindowVisible())
        pPane->SetFocus();
    else
        CWnd::OnSetFocus(pOldWnd);
}

CWnd* CFrameWnd::GetActivePane() const
{
    if (m_pActivePane != nullptr && m_pActivePane->m_hWnd != nullptr)
        return m_pActivePane;
    return FromHandlePermanent(::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST));
}

CControlBar* CFrameWnd::GetControlBar(UINT nID) const
{
    return dynamic_cast<CControlBar*>(FromHandlePermanent(::GetDlgItem(m_hWnd, nID)));
}

void CFrameWnd::RecalcLayout(BOOL)
{
    if (m_hWnd == nullptr)
        return;
    RECT rcFree;
    GetClientRect(&rcFree);
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild != nullptr;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        CControlBar* pBar = dynamic_cast<CControlBar*>(FromHandlePermanent(hChild));
        if (pBar != nullptr && ::IsWindowVisible(hChild))
            pBar->LayoutInFrame(rcFree);
    }
    if (rcFree.bottom < rcFree.top)
        rcFree.bottom = rcFree.top;
    HWND hPane = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST);
    if (m_pActivePane != nullptr && m_pActivePane->m_hWnd != nullptr)
        hPane = m_pActivePane->m_hWnd;
    if (hPane != nullptr)
        ::SetWindowPos(hPane, nullptr, rcFree.left, rcFree.top, rcFree.right - rcFree.left,
                       rcFree.bottom - rcFree.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL)
{
    if (pBar == nullptr || pBar->m_hWnd == nullptr)
        return;
    pBar->ShowWindow(bShow ? SW_SHOWNOACTIVATE : SW_HIDE);
    RecalcLayout();
}

void CFrameWnd::SetMessageText(LPCSTR lpszText)
{
    CStatusBar* pBar = dynamic_cast<CStatusBar*>(GetControlBar(AFX_IDW_STATUS_BAR));
    if (pBar != nullptr && pBar->GetCount() > 0)
        pBar->SetPaneText(0, lpszText);
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    CControlBar* pBar = GetControlBar(pCmdUI->m_nID);
    if (pBar == nullptr) {
        pCmdUI->Enable(FALSE);
        return;
    }
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(pBar->IsWindowVisible() ? 1 : 0);
}

BOOL CFrameWnd::OnBarCheck(UINT nID)
{
    CControlBar* pBar = GetControlBar(nID);
    if (pBar == nullptr)
        return FALSE;
    ShowControlBar(pBar, !pBar->IsWindowVisible());
    return TRUE;
}

void CFrameWnd::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu)
{
    CWnd::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
    if (bSysMenu || pPopupMenu == nullptr || pPopupMenu->m_hMenu == nullptr)
        return;
    HMENU hMenu = pPopupMenu->m_hMenu;
    CCmdUI state;
    state.m_hMenu = hMenu;
    // A handler may add or remove items, so the count is read every time.
    for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i) {
        UINT id = ::GetMenuItemID(hMenu, i);
        if (id == 0 || id == (UINT)-1)
            continue;   // separator or sub-menu
        state.m_nIndex = (UINT)i;
        state.m_nID = id;
        state.DoUpdate(this);
    }
}

void CFrameWnd::OnIdleUpdateCmdUI()
{
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild != nullptr;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        CControlBar* pBar = dynamic_cast<CControlBar*>(FromHandlePermanent(hChild));
        if (pBar != nullptr && ::IsWindowVisible(hChild))
            pBar->OnUpdateCmdUI(this);
    }
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    CWnd* pPane = GetActivePane();
    if (pPane != nullptr && pPane != this && pPane->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (lParam == 0) {
        // A menu or accelerator command whose update handler disables it is dropped.
        CCmdUI probe;
        probe.m_nID = LOWORD(wParam);
        probe.DoUpdate(this);
        if (!probe.m_bEnabled)
            return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

static std::string CommandString(UINT nID, bool tip)
{
    std::string text = AfxLoadString(nID);
    size_t newline = text.find('\n');
    if (newline == std::string::npos)
        return tip ? std::string() : text;
    return tip ? text.substr(newline + 1) : text.substr(0, newline);
}

BOOL CFrameWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (pNMHDR->code == TTN_GETDISPINFOA || pNMHDR->code == TTN_GETDISPINFOW) {
        // Tool-tip text of a tool-bar button: the part after '\n' of its string.
        UINT nID = (UINT)pNMHDR->idFrom;
        if (pNMHDR->code == TTN_GETDISPINFOA) {
            NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
            if (!(info->uFlags & TTF_IDISHWND)) {
                std::string tip = CommandString(nID, true);
                ::lstrcpynA(info->szText, tip.c_str(), (int)sizeof(info->szText));
                info->lpszText = info->szText;
            }
        } else {
            NMTTDISPINFOW* info = reinterpret_cast<NMTTDISPINFOW*>(pNMHDR);
            if (!(info->uFlags & TTF_IDISHWND)) {
                std::string tip = CommandString(nID, true);
                int n = ::MultiByteToWideChar(CP_ACP, 0, tip.c_str(), -1, info->szText,
                                              (int)(sizeof(info->szText) / sizeof(WCHAR)));
                if (n == 0)
                    info->szText[0] = 0;
                info->szText[sizeof(info->szText) / sizeof(WCHAR) - 1] = 0;
                info->lpszText = info->szText;
            }
        }
        *pResult = 0;
        return TRUE;
    }
    if (pNMHDR->code == TBN_HOTITEMCHANGE) {
        // Fly-by: the hot button's status text, or the idle text when none is hot.
        CControlBar* pBar = dynamic_cast<CControlBar*>(FromHandlePermanent(pNMHDR->hwndFrom));
        if (pBar != nullptr && (pBar->GetBarStyle() & CBRS_FLYBY)) {
            NMTBHOTITEM* hot = reinterpret_cast<NMTBHOTITEM*>(pNMHDR);
            std::string text = (hot->dwFlags & HICF_LEAVING) || hot->idNew == 0
                                   ? AfxLoadString(AFX_IDS_IDLEMESSAGE)
                                   : CommandString((UINT)hot->idNew, false);
            SetMessageText(text.c_str());
        }
    }
    return CWnd::OnNotify(wParam, lParam, pResult);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (m_hAccelTable != nullptr && pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST)
        return ::TranslateAccelerator(m_hWnd, m_hAccelTable, pMsg);
    return FALSE;
}
