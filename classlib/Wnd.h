// Windows. A CWnd holds one window handle. Windows made through Create or
// CreateEx, and existing windows taken over with SubclassWindow or
// SubclassDlgItem, are "permanent": the handle map knows their object and the
// layer's window procedure sends each of their messages through the object's
// WindowProc and message map. Any other handle can be wrapped on demand by
// FromHandle in a temporary object that the application frees at idle time
// once its window is gone.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <string>

#include "classlib/CmdTarget.h"
#include "classlib/Geometry.h"

class CDC;
class CMenu;
class CFont;
class CFrameWnd;

class CWnd : public CCmdTarget {
public:
    CWnd() {}
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The permanent object of a handle, else a temporary one (NULL for NULL).
    static CWnd* FromHandle(HWND hWnd);
    // The permanent object of a handle, or NULL.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Binds the object to a handle without taking over its messages.
    BOOL Attach(HWND hWnd);
    HWND Detach();
    // Binds the object to an existing window and routes its messages here.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName,
                          DWORD dwStyle, int x, int y, int nWidth, int nHeight,
                          HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();

    // Hooks
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the window is gone (WM_NCDESTROY); the object is detached.
    virtual void PostNcDestroy() {}
    // WM_HELP (F1 or the caption's help button).
    virtual BOOL OnHelpInfo(HELPINFO* pHelpInfo);

    // The default handling of the message being handled now.
    LRESULT Default();

    // ---- window attributes
    DWORD GetStyle() const { return (DWORD)::GetWindowLongPtr(m_hWnd, GWL_STYLE); }
    DWORD GetExStyle() const { return (DWORD)::GetWindowLongPtr(m_hWnd, GWL_EXSTYLE); }
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    int SetDlgCtrlID(int nID) { return (int)::SetWindowLongPtr(m_hWnd, GWLP_ID, nID); }

    void SetWindowText(LPCSTR lpszString) { ::SetWindowText(m_hWnd, lpszString); }
    int GetWindowText(LPSTR lpszString, int nMaxCount) const { return ::GetWindowText(m_hWnd, lpszString, nMaxCount); }
    std::string GetWindowText() const;
    int GetWindowTextLength() const { return ::GetWindowTextLength(m_hWnd); }
    void SetFont(HFONT hFont, BOOL bRedraw = TRUE) { ::SendMessage(m_hWnd, WM_SETFONT, (WPARAM)hFont, bRedraw); }
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    HFONT GetFont() const { return (HFONT)::SendMessage(m_hWnd, WM_GETFONT, 0, 0); }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon)
    { return (HICON)::SendMessage(m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, (LPARAM)hIcon); }
    HICON GetIcon(BOOL bBigIcon) const
    { return (HICON)::SendMessage(m_hWnd, WM_GETICON, bBigIcon ? ICON_BIG : ICON_SMALL, 0); }

    // ---- messages
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    { return ::SendMessage(m_hWnd, message, wParam, lParam); }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    { return ::PostMessage(m_hWnd, message, wParam, lParam); }

    // ---- state
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
    BOOL CloseWindow() { return ::CloseWindow(m_hWnd); }   // minimises
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
    void InvalidateRgn(HRGN hRgn, BOOL bErase = TRUE) { ::InvalidateRgn(m_hWnd, hRgn, bErase); }
    void ValidateRect(LPCRECT lpRect) { ::ValidateRect(m_hWnd, lpRect); }
    BOOL RedrawWindow(LPCRECT lpRect = nullptr, HRGN hRgn = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE)
    { return ::RedrawWindow(m_hWnd, lpRect, hRgn, flags); }

    // ---- geometry
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    void ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
    void ClientToScreen(LPRECT lpRect) const
    { ::MapWindowPoints(m_hWnd, HWND_DESKTOP, reinterpret_cast<LPPOINT>(lpRect), 2); }
    void ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
    void ScreenToClient(LPRECT lpRect) const
    { ::MapWindowPoints(HWND_DESKTOP, m_hWnd, reinterpret_cast<LPPOINT>(lpRect), 2); }
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE)
    { ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint); }
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE)
    { ::MoveWindow(m_hWnd, lpRect->left, lpRect->top, lpRect->right - lpRect->left,
                   lpRect->bottom - lpRect->top, bRepaint); }
    BOOL SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
    { return ::SetWindowPos(m_hWnd, hWndInsertAfter, x, y, cx, cy, nFlags); }
    // Centres the window over its owner (or the given window, or the screen).
    void CenterWindow(CWnd* pAlternateOwner = nullptr);

    // ---- relatives
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* SetParent(CWnd* pWndNewParent) { return FromHandle(::SetParent(m_hWnd, pWndNewParent ? pWndNewParent->m_hWnd : nullptr)); }
    CWnd* GetOwner() const { return FromHandle(::GetWindow(m_hWnd, GW_OWNER)); }
    CWnd* GetTopLevelParent() const;
    // The nearest frame window among the window's parents, or NULL.
    CFrameWnd* GetParentFrame() const;
    CWnd* GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }
    CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
    CWnd* GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const
    { return FromHandle(::GetNextDlgTabItem(m_hWnd, pWndCtl ? pWndCtl->m_hWnd : nullptr, bPrevious)); }
    CWnd* GetLastActivePopup() const { return FromHandle(::GetLastActivePopup(m_hWnd)); }
    BOOL IsChild(const CWnd* pWnd) const { return pWnd && ::IsChild(m_hWnd, pWnd->m_hWnd); }

    // ---- dialog items
    void SetDlgItemText(int nID, LPCSTR lpszString) { ::SetDlgItemText(m_hWnd, nID, lpszString); }
    int GetDlgItemText(int nID, LPSTR lpStr, int nMaxCount) const
    { return (int)::GetDlgItemText(m_hWnd, nID, lpStr, nMaxCount); }
    std::string GetDlgItemText(int nID) const;
    void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE) { ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned); }
    UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const
    { return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned); }
    void CheckDlgButton(int nID, UINT nCheck) { ::CheckDlgButton(m_hWnd, nID, nCheck); }
    UINT IsDlgButtonChecked(int nID) const { return ::IsDlgButtonChecked(m_hWnd, nID); }
    void CheckRadioButton(int nIDFirst, int nIDLast, int nIDCheck)
    { ::CheckRadioButton(m_hWnd, nIDFirst, nIDLast, nIDCheck); }
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    { return ::SendDlgItemMessage(m_hWnd, nID, message, wParam, lParam); }

    // ---- focus, activation, capture
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
    CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
    static CWnd* GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    static CWnd* GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
    void BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    static CWnd* GetCapture() { return FromHandle(::GetCapture()); }
    static CWnd* GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }

    // ---- menus
    HMENU GetMenu() const { return ::GetMenu(m_hWnd); }
    BOOL SetMenu(HMENU hMenu) { return ::SetMenu(m_hWnd, hMenu); }
    void DrawMenuBar() { ::DrawMenuBar(m_hWnd); }
    HMENU GetSystemMenu(BOOL bRevert) const { return ::GetSystemMenu(m_hWnd, bRevert); }

    // ---- timers
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr)
    { return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer); }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }

    // ---- scrolling
    BOOL SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE)
    { ::SetScrollInfo(m_hWnd, nBar, lpScrollInfo, bRedraw); return TRUE; }
    BOOL GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL) const
    { lpScrollInfo->cbSize = sizeof(SCROLLINFO); lpScrollInfo->fMask = nMask;
      return ::GetScrollInfo(m_hWnd, nBar, lpScrollInfo); }
    int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE) { return ::SetScrollPos(m_hWnd, nBar, nPos, bRedraw); }
    int GetScrollPos(int nBar) const { return ::GetScrollPos(m_hWnd, nBar); }
    void SetScrollRange(int nBar, int nMin, int nMax, BOOL bRedraw = TRUE)
    { ::SetScrollRange(m_hWnd, nBar, nMin, nMax, bRedraw); }
    void ShowScrollBar(UINT nBar, BOOL bShow = TRUE) { ::ShowScrollBar(m_hWnd, nBar, bShow); }
    void ScrollWindow(int dx, int dy, LPCRECT lpRect = nullptr, LPCRECT lpClipRect = nullptr)
    { ::ScrollWindow(m_hWnd, dx, dy, lpRect, lpClipRect); }

    // ---- painting helpers
    HDC GetDC() { return ::GetDC(m_hWnd); }
    HDC GetWindowDC() { return ::GetWindowDC(m_hWnd); }
    int ReleaseDC(HDC hDC) { return ::ReleaseDC(m_hWnd, hDC); }

    // A message box owned by this window (recorded instead of shown while
    // message boxes are being recorded, see AfxSetMessageBoxRecording).
    int MessageBox(LPCSTR lpszText, LPCSTR lpszCaption = nullptr, UINT nType = MB_OK);

    // ---- default handlers: each passes the message to the default handling
    int OnCreate(LPCREATESTRUCT lpCreateStruct) { return (int)Default(); }
    void OnDestroy() { Default(); }
    void OnNcDestroy() { Default(); }
    void OnClose() { Default(); }
    void OnPaint() { Default(); }
    BOOL OnEraseBkgnd(CDC* pDC) { return (BOOL)Default(); }
    void OnSize(UINT nType, int cx, int cy) { Default(); }
    void OnMove(int x, int y) { Default(); }
    void OnShowWindow(BOOL bShow, UINT nStatus) { Default(); }
    void OnSetFocus(CWnd* pOldWnd) { Default(); }
    void OnKillFocus(CWnd* pNewWnd) { Default(); }
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) { Default(); }
    void OnEnable(BOOL bEnable) { Default(); }
    void OnTimer(UINT_PTR nIDEvent) { Default(); }
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) { Default(); }
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags) { Default(); }
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) { Default(); }
    void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) { Default(); }
    void OnLButtonDown(UINT nFlags, CPoint point) { Default(); }
    void OnLButtonUp(UINT nFlags, CPoint point) { Default(); }
    void OnLButtonDblClk(UINT nFlags, CPoint point) { Default(); }
    void OnRButtonDown(UINT nFlags, CPoint point) { Default(); }
    void OnRButtonUp(UINT nFlags, CPoint point) { Default(); }
    void OnRButtonDblClk(UINT nFlags, CPoint point) { Default(); }
    void OnMouseMove(UINT nFlags, CPoint point) { Default(); }
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt) { return (BOOL)Default(); }
    void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar) { Default(); }
    void OnVScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar) { Default(); }
    void OnContextMenu(CWnd* pWnd, CPoint pos) { Default(); }
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) { return (BOOL)Default(); }
    UINT OnGetDlgCode() { return (UINT)Default(); }
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) { return (HBRUSH)Default(); }
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct) { Default(); }
    void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct) { Default(); }
    void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu) { Default(); }
    void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu) { Default(); }
    void OnSysCommand(UINT nID, LPARAM lParam) { Default(); }
    void OnGetMinMaxInfo(MINMAXINFO* lpMMI) { Default(); }
    void OnCaptureChanged(CWnd* pWnd) { Default(); }
    void OnDropFiles(HDROP hDropInfo) { Default(); }

    // Frees the temporary objects whose windows no longer exist.
    static void DeleteTempMap();

protected:
    WNDPROC m_pfnSuper = nullptr;   // the procedure a subclassed window had

    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT AfxCallWndProc(CWnd*, HWND, UINT, WPARAM, LPARAM);
    friend void AfxAttachCreatedWindow(CWnd*, HWND);

    DECLARE_MESSAGE_MAP()
};

// The layer's window procedure: routes a permanent window's messages to its object.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Window creation catches the new window for pWnd: the first window that this
// thread creates until AfxUnhookWindowCreate is attached to pWnd and
// subclassed before it receives any message. AfxUnhookWindowCreate answers
// TRUE when no window was caught.
void AfxHookWindowCreate(CWnd* pWnd);
BOOL AfxUnhookWindowCreate();

// Binds a window just made to pWnd and routes its messages there.
void AfxAttachCreatedWindow(CWnd* pWnd, HWND hWnd);
LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Offers a message to the PreTranslateMessage of its window and of every
// parent up to the top-level window; TRUE when one of them consumed it.
BOOL AfxPreTranslateMessage(MSG* pMsg);

// Registers (once) and names a window class with the layer's defaults.
LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr,
                           HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr);

// The module whose resources the layer loads (the program itself).
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInst);

// ---------------------------------------------------------------------------
// Window-message entries with typed handlers (handler names are fixed).

LRESULT AfxSig_create(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_v_v(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_b_dc(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_size(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_move(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_showwindow(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_v_wnd(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_activate(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_v_b(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_timer(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_key(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_mouse(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_wheel(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_scroll(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_contextmenu(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_setcursor(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_u_v(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_ctlcolor(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_drawitem(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_measureitem(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_initmenupopup(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_menuselect(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_syscommand(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_minmax(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_helpinfo(CCmdTarget*, AfxPMSG, const AfxMsgCall&);
LRESULT AfxSig_dropfiles(CCmdTarget*, AfxPMSG, const AfxMsgCall&);

#define AFX_WM_ENTRY(msg, sig, type, fn) \
    { (UINT)(msg), 0, 0, 0, nullptr, &sig, AFX_PMSG_CAST(type, &ThisClass::fn) },

#define ON_WM_CREATE()        AFX_WM_ENTRY(WM_CREATE, AfxSig_create, int (CCmdTarget::*)(LPCREATESTRUCT), OnCreate)
#define ON_WM_DESTROY()       AFX_WM_ENTRY(WM_DESTROY, AfxSig_v_v, void (CCmdTarget::*)(), OnDestroy)
#define ON_WM_NCDESTROY()     AFX_WM_ENTRY(WM_NCDESTROY, AfxSig_v_v, void (CCmdTarget::*)(), OnNcDestroy)
#define ON_WM_CLOSE()         AFX_WM_ENTRY(WM_CLOSE, AfxSig_v_v, void (CCmdTarget::*)(), OnClose)
#define ON_WM_PAINT()         AFX_WM_ENTRY(WM_PAINT, AfxSig_v_v, void (CCmdTarget::*)(), OnPaint)
#define ON_WM_ERASEBKGND()    AFX_WM_ENTRY(WM_ERASEBKGND, AfxSig_b_dc, BOOL (CCmdTarget::*)(CDC*), OnEraseBkgnd)
#define ON_WM_SIZE()          AFX_WM_ENTRY(WM_SIZE, AfxSig_size, void (CCmdTarget::*)(UINT, int, int), OnSize)
#define ON_WM_MOVE()          AFX_WM_ENTRY(WM_MOVE, AfxSig_move, void (CCmdTarget::*)(int, int), OnMove)
#define ON_WM_SHOWWINDOW()    AFX_WM_ENTRY(WM_SHOWWINDOW, AfxSig_showwindow, void (CCmdTarget::*)(BOOL, UINT), OnShowWindow)
#define ON_WM_SETFOCUS()      AFX_WM_ENTRY(WM_SETFOCUS, AfxSig_v_wnd, void (CCmdTarget::*)(CWnd*), OnSetFocus)
#define ON_WM_KILLFOCUS()     AFX_WM_ENTRY(WM_KILLFOCUS, AfxSig_v_wnd, void (CCmdTarget::*)(CWnd*), OnKillFocus)
#define ON_WM_CAPTURECHANGED() AFX_WM_ENTRY(WM_CAPTURECHANGED, AfxSig_v_wnd, void (CCmdTarget::*)(CWnd*), OnCaptureChanged)
#define ON_WM_ACTIVATE()      AFX_WM_ENTRY(WM_ACTIVATE, AfxSig_activate, void (CCmdTarget::*)(UINT, CWnd*, BOOL), OnActivate)
#define ON_WM_ENABLE()        AFX_WM_ENTRY(WM_ENABLE, AfxSig_v_b, void (CCmdTarget::*)(BOOL), OnEnable)
#define ON_WM_TIMER()         AFX_WM_ENTRY(WM_TIMER, AfxSig_timer, void (CCmdTarget::*)(UINT_PTR), OnTimer)
#define ON_WM_KEYDOWN()       AFX_WM_ENTRY(WM_KEYDOWN, AfxSig_key, void (CCmdTarget::*)(UINT, UINT, UINT), OnKeyDown)
#define ON_WM_KEYUP()         AFX_WM_ENTRY(WM_KEYUP, AfxSig_key, void (CCmdTarget::*)(UINT, UINT, UINT), OnKeyUp)
#define ON_WM_CHAR()          AFX_WM_ENTRY(WM_CHAR, AfxSig_key, void (CCmdTarget::*)(UINT, UINT, UINT), OnChar)
#define ON_WM_SYSKEYDOWN()    AFX_WM_ENTRY(WM_SYSKEYDOWN, AfxSig_key, void (CCmdTarget::*)(UINT, UINT, UINT), OnSysKeyDown)
#define ON_WM_LBUTTONDOWN()   AFX_WM_ENTRY(WM_LBUTTONDOWN, AfxSig_mouse, void (CCmdTarget::*)(UINT, CPoint), OnLButtonDown)
#define ON_WM_LBUTTONUP()     AFX_WM_ENTRY(WM_LBUTTONUP, AfxSig_mouse, void (CCmdTarget::*)(UINT, CPoint), OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_WM_ENTRY(WM_LBUTTONDBLCLK, AfxSig_mouse, void (CCmdTarget::*)(UINT, CPoint), OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN()   AFX_WM_ENTRY(WM_RBUTTONDOWN, AfxSig_mouse, void (CCmdTarget::*)(UINT, CPoint), OnRButtonDown)
#define ON_WM_RBUTTONUP()     AFX_WM_ENTRY(WM_RBUTTONUP, AfxSig_mouse, void (CCmdTarget::*)(UINT, CPoint), OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() AFX_WM_ENTRY(WM_RBUTTONDBLCLK, AfxSig_mouse, void (CCmdTarget::*)(UINT, CPoint), OnRButtonDblClk)
#define ON_WM_MOUSEMOVE()     AFX_WM_ENTRY(WM_MOUSEMOVE, AfxSig_mouse, void (CCmdTarget::*)(UINT, CPoint), OnMouseMove)
#define ON_WM_MOUSEWHEEL()    AFX_WM_ENTRY(WM_MOUSEWHEEL, AfxSig_wheel, BOOL (CCmdTarget::*)(UINT, short, CPoint), OnMouseWheel)
#define ON_WM_HSCROLL()       AFX_WM_ENTRY(WM_HSCROLL, AfxSig_scroll, void (CCmdTarget::*)(UINT, UINT, CWnd*), OnHScroll)
#define ON_WM_VSCROLL()       AFX_WM_ENTRY(WM_VSCROLL, AfxSig_scroll, void (CCmdTarget::*)(UINT, UINT, CWnd*), OnVScroll)
#define ON_WM_CONTEXTMENU()   AFX_WM_ENTRY(WM_CONTEXTMENU, AfxSig_contextmenu, void (CCmdTarget::*)(CWnd*, CPoint), OnContextMenu)
#define ON_WM_SETCURSOR()     AFX_WM_ENTRY(WM_SETCURSOR, AfxSig_setcursor, BOOL (CCmdTarget::*)(CWnd*, UINT, UINT), OnSetCursor)
#define ON_WM_GETDLGCODE()    AFX_WM_ENTRY(WM_GETDLGCODE, AfxSig_u_v, UINT (CCmdTarget::*)(), OnGetDlgCode)
#define ON_WM_DRAWITEM()      AFX_WM_ENTRY(WM_DRAWITEM, AfxSig_drawitem, void (CCmdTarget::*)(int, LPDRAWITEMSTRUCT), OnDrawItem)
#define ON_WM_MEASUREITEM()   AFX_WM_ENTRY(WM_MEASUREITEM, AfxSig_measureitem, void (CCmdTarget::*)(int, LPMEASUREITEMSTRUCT), OnMeasureItem)
#define ON_WM_INITMENUPOPUP() AFX_WM_ENTRY(WM_INITMENUPOPUP, AfxSig_initmenupopup, void (CCmdTarget::*)(CMenu*, UINT, BOOL), OnInitMenuPopup)
#define ON_WM_MENUSELECT()    AFX_WM_ENTRY(WM_MENUSELECT, AfxSig_menuselect, void (CCmdTarget::*)(UINT, UINT, HMENU), OnMenuSelect)
#define ON_WM_SYSCOMMAND()    AFX_WM_ENTRY(WM_SYSCOMMAND, AfxSig_syscommand, void (CCmdTarget::*)(UINT, LPARAM), OnSysCommand)
#define ON_WM_GETMINMAXINFO() AFX_WM_ENTRY(WM_GETMINMAXINFO, AfxSig_minmax, void (CCmdTarget::*)(MINMAXINFO*), OnGetMinMaxInfo)
#define ON_WM_HELPINFO()      AFX_WM_ENTRY(WM_HELP, AfxSig_helpinfo, BOOL (CCmdTarget::*)(HELPINFO*), OnHelpInfo)
#define ON_WM_DROPFILES()     AFX_WM_ENTRY(WM_DROPFILES, AfxSig_dropfiles, void (CCmdTarget::*)(HDROP), OnDropFiles)

// All the WM_CTLCOLOR* messages go to one handler; nCtlColor tells which.
#define ON_WM_CTLCOLOR() \
    AFX_WM_ENTRY(WM_CTLCOLORMSGBOX, AfxSig_ctlcolor, HBRUSH (CCmdTarget::*)(CDC*, CWnd*, UINT), OnCtlColor) \
    AFX_WM_ENTRY(WM_CTLCOLOREDIT, AfxSig_ctlcolor, HBRUSH (CCmdTarget::*)(CDC*, CWnd*, UINT), OnCtlColor) \
    AFX_WM_ENTRY(WM_CTLCOLORLISTBOX, AfxSig_ctlcolor, HBRUSH (CCmdTarget::*)(CDC*, CWnd*, UINT), OnCtlColor) \
    AFX_WM_ENTRY(WM_CTLCOLORBTN, AfxSig_ctlcolor, HBRUSH (CCmdTarget::*)(CDC*, CWnd*, UINT), OnCtlColor) \
    AFX_WM_ENTRY(WM_CTLCOLORDLG, AfxSig_ctlcolor, HBRUSH (CCmdTarget::*)(CDC*, CWnd*, UINT), OnCtlColor) \
    AFX_WM_ENTRY(WM_CTLCOLORSCROLLBAR, AfxSig_ctlcolor, HBRUSH (CCmdTarget::*)(CDC*, CWnd*, UINT), OnCtlColor) \
    AFX_WM_ENTRY(WM_CTLCOLORSTATIC, AfxSig_ctlcolor, HBRUSH (CCmdTarget::*)(CDC*, CWnd*, UINT), OnCtlColor)
