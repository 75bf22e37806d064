#include "classlib/Wnd.h"
#include "classlib/DC.h"
#include "classlib/FrameWnd.h"
#include "classlib/GdiObject.h"
#include "classlib/Menu.h"
#include "classlib/ProcGuard.h"
#include "classlib/WinApp.h"

#include <cstdio>
#include <mutex>
#include <set>
#include <unordered_map>
#include <vector>

// ---------------------------------------------------------------------------
// The handle map. Windows of several threads share it, so it is locked.

namespace {

std::mutex& MapLock()
{
    static std::mutex lock;
    return lock;
}

std::unordered_map<HWND, CWnd*>& PermanentMap()
{
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}

std::unordered_map<HWND, CWnd*>& TemporaryMap()
{
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}

// The message being handled on this thread, for CWnd::Default.
thread_local MSG t_currentMsg;

// Window creation in progress on this thread.
thread_local CWnd* t_pWndInit = nullptr;
thread_local HHOOK t_hHookCreate = nullptr;

HINSTANCE g_hResource = nullptr;

} // namespace

HINSTANCE AfxGetInstanceHandle()
{
    return ::GetModuleHandle(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return g_hResource != nullptr ? g_hResource : ::GetModuleHandle(nullptr);
}

void AfxSetResourceHandle(HINSTANCE hInst)
{
    g_hResource = hInst;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (hWnd == nullptr)
        return nullptr;
    std::lock_guard<std::mutex> guard(MapLock());
    auto it = PermanentMap().find(hWnd);
    return it != PermanentMap().end() ? it->second : nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (hWnd == nullptr)
        return nullptr;
    std::lock_guard<std::mutex> guard(MapLock());
    auto it = PermanentMap().find(hWnd);
    if (it != PermanentMap().end())
        return it->second;
    auto& temps = TemporaryMap();
    auto jt = temps.find(hWnd);
    if (jt != temps.end())
        return jt->second;
    CWnd* pWnd = new CWnd;
    pWnd->m_hWnd = hWnd;
    temps[hWnd] = pWnd;
    return pWnd;
}

void CWnd::DeleteTempMap()
{
    std::vector<CWnd*> dead;
    {
        std::lock_guard<std::mutex> guard(MapLock());
        auto& temps = TemporaryMap();
        for (auto it = temps.begin(); it != temps.end();) {
            if (!::IsWindow(it->first)) {
                it->second->m_hWnd = nullptr;
                dead.push_back(it->second);
                it = temps.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (CWnd* pWnd : dead)
        delete pWnd;
}

BOOL CWnd::Attach(HWND hWnd)
{
    if (hWnd == nullptr || m_hWnd != nullptr)
        return FALSE;
    std::lock_guard<std::mutex> guard(MapLock());
    auto& perm = PermanentMap();
    if (perm.find(hWnd) != perm.end())
        return FALSE;
    perm[hWnd] = this;
    m_hWnd = hWnd;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr) {
        std::lock_guard<std::mutex> guard(MapLock());
        auto& perm = PermanentMap();
        auto it = perm.find(hWnd);
        if (it != perm.end() && it->second == this)
            perm.erase(it);
    }
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!::IsWindow(hWnd) || !Attach(hWnd))
        return FALSE;
    WNDPROC old = (WNDPROC)::SetWindowLongPtr(hWnd, GWLP_WNDPROC, (LONG_PTR)&AfxWndProc);
    if (old == &AfxWndProc) {
        // Another object of the layer already routes this window.
        Detach();
        return FALSE;
    }
    m_pfnSuper = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    if (pParent == nullptr)
        return FALSE;
    HWND hControl = ::GetDlgItem(pParent->m_hWnd, nID);
    return hControl != nullptr && SubclassWindow(hControl);
}

HWND CWnd::UnsubclassWindow()
{
    if (m_hWnd == nullptr)
        return nullptr;
    if (m_pfnSuper != nullptr
        && (WNDPROC)::GetWindowLongPtr(m_hWnd, GWLP_WNDPROC) == &AfxWndProc)
        ::SetWindowLongPtr(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
    m_pfnSuper = nullptr;
    return Detach();
}

CWnd::~CWnd()
{
    if (m_hWnd == nullptr || FromHandlePermanent(m_hWnd) != this)
        return;
    // A window must not outlive its object: its messages would reach freed
    // memory. Destroy it when this thread owns it, else stop routing it here.
    if (::GetWindowThreadProcessId(m_hWnd, nullptr) == ::GetCurrentThreadId())
        ::DestroyWindow(m_hWnd);
    if (m_hWnd != nullptr)
        UnsubclassWindow();
}

// ---------------------------------------------------------------------------
// Creation

void AfxAttachCreatedWindow(CWnd* pWnd, HWND hWnd)
{
    if (!pWnd->Attach(hWnd))
        return;
    WNDPROC old = (WNDPROC)::SetWindowLongPtr(hWnd, GWLP_WNDPROC, (LONG_PTR)&AfxWndProc);
    pWnd->m_pfnSuper = (old != &AfxWndProc) ? old : nullptr;
}

static LRESULT CALLBACK CbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && t_pWndInit != nullptr) {
        CWnd* pWnd = t_pWndInit;
        t_pWndInit = nullptr;
        // A window that could not be attached to its object (the handle
        // map is full) is not created: its messages would reach no object.
        HWND hWnd = (HWND)wParam;
        bool attached = AfxCallGuarded(hWnd, WM_CREATE, [&] {
            AfxAttachCreatedWindow(pWnd, hWnd);
            return true;
        }, [] { return false; });
        if (!attached)
            return 1;
    }
    return ::CallNextHookEx(t_hHookCreate, code, wParam, lParam);
}

void AfxHookWindowCreate(CWnd* pWnd)
{
    if (t_hHookCreate == nullptr)
        t_hHookCreate = ::SetWindowsHookEx(WH_CBT, &CbtFilterHook, nullptr, ::GetCurrentThreadId());
    t_pWndInit = pWnd;
}

BOOL AfxUnhookWindowCreate()
{
    if (t_hHookCreate != nullptr) {
        ::UnhookWindowsHookEx(t_hHookCreate);
        t_hHookCreate = nullptr;
    }
    BOOL notCaught = t_pWndInit != nullptr;
    t_pWndInit = nullptr;
    return notCaught;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == nullptr)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                           (HBRUSH)(COLOR_WINDOW + 1));
    return TRUE;
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    pParentWnd ? pParentWnd->m_hWnd : nullptr, (HMENU)(UINT_PTR)nID, lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam)
{
    if (m_hWnd != nullptr)
        return FALSE;
    CREATESTRUCT cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = dwStyle;
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs))
        return FALSE;

    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y,
                                 cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance,
                                 cs.lpCreateParams);
    BOOL notCaught = AfxUnhookWindowCreate();
    // When creation failed after the window existed, WM_NCDESTROY has run and
    // PostNcDestroy may have deleted this object: touch nothing then.
    if (hWnd == nullptr)
        return FALSE;
    if (notCaught)
        AfxAttachCreatedWindow(this, hWnd);
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == nullptr)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

// ---------------------------------------------------------------------------
// Message routing

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG saved = t_currentMsg;
    t_currentMsg.hwnd = hWnd;
    t_currentMsg.message = message;
    t_currentMsg.wParam = wParam;
    t_currentMsg.lParam = lParam;

    LRESULT result;
    if (message == WM_SETCURSOR && AfxGetApp() != nullptr && AfxGetApp()->IsWaitCursorShown()) {
        ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
        result = TRUE;
    } else {
        // A handler that throws is reported and the message gets its default
        // handling, except that a window whose creation failed is not
        // created (the caller's failure path runs rather than a window half
        // set up), that a window whose close handler failed stays open
        // (closing it might lose what the handler was to save), and that a
        // window the handler destroyed, maybe with its object, is left
        // alone.
        result = AfxCallGuarded(
            hWnd, message, wParam, lParam, [&] { return pWnd->WindowProc(message, wParam, lParam); },
            [&]() -> LRESULT {
                if (message == WM_NCCREATE)
                    return FALSE;
                if (message == WM_CREATE)
                    return -1;
                if (message == WM_CLOSE || CWnd::FromHandlePermanent(hWnd) != pWnd)
                    return 0;
                return pWnd->DefWindowProc(message, wParam, lParam);
            });
    }

    if (message == WM_NCDESTROY) {
        // The window is gone: stop routing it and let the object clean up.
        if (pWnd->m_pfnSuper != nullptr
            && (WNDPROC)::GetWindowLongPtr(hWnd, GWLP_WNDPROC) == &AfxWndProc)
            ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, (LONG_PTR)pWnd->m_pfnSuper);
        pWnd->m_pfnSuper = nullptr;
        pWnd->Detach();
        pWnd->PostNcDestroy();
    }
    t_currentMsg = saved;
    return result;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == nullptr)
        return ::DefWindowProc(hWnd, message, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& msg = t_currentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr)
        return ::CallWindowProc(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 0;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        if (lParam == 0)
            return FALSE;
        LRESULT result = 0;
        if (!OnNotify(wParam, lParam, &result))
            return FALSE;
        *pResult = result;
        return TRUE;
    }
    const CMessageMapEntry* entry = FindMessageEntry(message);
    if (entry == nullptr)
        return FALSE;
    AfxMsgCall call = { message, wParam, lParam, 0, nullptr };
    *pResult = entry->pfnThunk(this, entry->pfn, call);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    // Menus (code 0) and accelerators (code 1) both count as commands.
    int nCode = lParam == 0 ? CN_COMMAND : (int)HIWORD(wParam);
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    AfxNotifyInfo info = { pNMHDR, pResult };
    return OnCmdMsg((UINT)pNMHDR->idFrom, AfxNotifyCmdCode(pNMHDR->code), &info, nullptr);
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::OnHelpInfo(HELPINFO*)
{
    return (BOOL)Default();
}

BOOL AfxPreTranslateMessage(MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd != nullptr;) {
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        if (pWnd != nullptr && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (!(::GetWindowLongPtr(hWnd, GWL_STYLE) & WS_CHILD))
            break;
        hWnd = ::GetParent(hWnd);
    }
    return FALSE;
}

// ---------------------------------------------------------------------------
// Attributes and helpers

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = GetStyle();
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLongPtr(m_hWnd, GWL_STYLE, (LONG_PTR)newStyle);
    if (nFlags != 0)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = GetExStyle();
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLongPtr(m_hWnd, GWL_EXSTYLE, (LONG_PTR)newStyle);
    if (nFlags != 0)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

std::string CWnd::GetWindowText() const
{
    int n = ::GetWindowTextLength(m_hWnd);
    if (n <= 0)
        return std::string();
    std::string text((size_t)n + 1, '\0');
    int got = ::GetWindowText(m_hWnd, &text[0], n + 1);
    text.resize(got > 0 ? (size_t)got : 0);
    return text;
}

std::string CWnd::GetDlgItemText(int nID) const
{
    HWND hItem = ::GetDlgItem(m_hWnd, nID);
    if (hItem == nullptr)
        return std::string();
    CWnd item;
    item.m_hWnd = hItem;
    std::string text = item.GetWindowText();
    item.m_hWnd = nullptr;
    return text;
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw)
{
    SetFont(pFont ? (HFONT)pFont->m_hObject : (HFONT)nullptr, bRedraw);
}

CWnd* CWnd::GetTopLevelParent() const
{
    HWND hWnd = m_hWnd;
    while (hWnd != nullptr && (::GetWindowLongPtr(hWnd, GWL_STYLE) & WS_CHILD))
        hWnd = ::GetParent(hWnd);
    return FromHandle(hWnd);
}

CFrameWnd* CWnd::GetParentFrame() const
{
    if (m_hWnd == nullptr)
        return nullptr;
    for (HWND hWnd = ::GetParent(m_hWnd); hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        if (CFrameWnd* pFrame = dynamic_cast<CFrameWnd*>(FromHandlePermanent(hWnd)))
            return pFrame;
        if (!(::GetWindowLongPtr(hWnd, GWL_STYLE) & WS_CHILD))
            break;
    }
    return nullptr;
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    RECT rcArea;
    HWND hCenter = pAlternateOwner ? pAlternateOwner->m_hWnd : nullptr;
    if (hCenter == nullptr)
        hCenter = (GetStyle() & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
    if (hCenter != nullptr && !(GetStyle() & WS_CHILD)) {
        ::GetWindowRect(hCenter, &rcArea);
    } else if (hCenter != nullptr) {
        ::GetClientRect(hCenter, &rcArea);
    } else {
        ::SystemParametersInfo(SPI_GETWORKAREA, 0, &rcArea, 0);
    }
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    int w = rc.right - rc.left;
    int h = rc.bottom - rc.top;
    int x = rcArea.left + (rcArea.right - rcArea.left - w) / 2;
    int y = rcArea.top + (rcArea.bottom - rcArea.top - h) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType)
{
    if (lpszCaption == nullptr)
        lpszCaption = AfxGetApp() ? AfxGetApp()->m_pszAppName : "";
    return AfxShowMessageBox(m_hWnd, lpszText, lpszCaption, nType);
}

// ---------------------------------------------------------------------------
// Window classes

LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    static std::mutex lock;
    static std::set<std::string> names;

    char name[96];
    std::snprintf(name, sizeof(name), "VistrelWnd:%x:%p:%p:%p", nClassStyle, (void*)hCursor,
                  (void*)hbrBackground, (void*)hIcon);
    std::lock_guard<std::mutex> guard(lock);
    auto it = names.find(name);
    if (it != names.end())
        return it->c_str();

    WNDCLASS wc = {};
    wc.style = nClassStyle;
    wc.lpfnWndProc = ::DefWindowProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hIcon = hIcon;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.lpszClassName = name;
    if (!::RegisterClass(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    return names.insert(name).first->c_str();
}

// ---------------------------------------------------------------------------
// The base map: CWnd answers nothing itself; the default handling runs.

const CMessageMap* CWnd::GetThisMessageMap()
{
    static const CMessageMapEntry entries[] = {
        { 0, 0, 0, 0, nullptr, nullptr, nullptr }
    };
    static const CMessageMap map = { &CCmdTarget::GetThisMessageMap, entries };
    return &map;
}

const CMessageMap* CWnd::GetMessageMap() const
{
    return GetThisMessageMap();
}

// ---------------------------------------------------------------------------
// Thunks of the window-message entries

template <typename F>
static F Cast(AfxPMSG pfn) { return reinterpret_cast<F>(pfn); }

static CPoint PointOf(LPARAM lParam) { return CPoint((short)LOWORD(lParam), (short)HIWORD(lParam)); }

LRESULT AfxSig_create(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    return (t->*Cast<int (CCmdTarget::*)(LPCREATESTRUCT)>(pfn))(reinterpret_cast<LPCREATESTRUCT>(c.lParam));
}

LRESULT AfxSig_v_v(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall&)
{
    (t->*Cast<void (CCmdTarget::*)()>(pfn))();
    return 0;
}

LRESULT AfxSig_b_dc(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    CDC dc;
    dc.m_hDC = (HDC)c.wParam;
    LRESULT r = (t->*Cast<BOOL (CCmdTarget::*)(CDC*)>(pfn))(&dc);
    dc.m_hDC = nullptr;
    return r;
}

LRESULT AfxSig_size(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    (t->*Cast<void (CCmdTarget::*)(UINT, int, int)>(pfn))((UINT)c.wParam, (short)LOWORD(c.lParam),
                                                         (short)HIWORD(c.lParam));
    return 0;
}

LRESULT AfxSig_move(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    (t->*Cast<void (CCmdTarget::*)(int, int)>(pfn))((short)LOWORD(c.lParam), (short)HIWORD(c.lParam));
    return 0;
}

LRESULT AfxSig_showwindow(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    (t->*Cast<void (CCmdTarget::*)(BOOL, UINT)>(pfn))((BOOL)c.wParam, (UINT)c.lParam);
    return 0;
}

LRESULT AfxSig_v_wnd(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    (t->*Cast<void (CCmdTarget::*)(CWnd*)>(pfn))(CWnd::FromHandle((HWND)(c.message == WM_CAPTURECHANGED ? (WPARAM)c.lParam : c.wParam)));
    return 0;
}

LRESULT AfxSig_activate(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    (t->*Cast<void (CCmdTarget::*)(UINT, CWnd*, BOOL)>(pfn))(LOWORD(c.wParam), CWnd::FromHandle((HWND)c.lParam),
                                                            HIWORD(c.wParam) != 0);
    return 0;
}

LRESULT AfxSig_v_b(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    (t->*Cast<void (CCmdTarget::*)(BOOL)>(pfn))((BOOL)c.wParam);
    return 0;
}

LRESULT AfxSig_timer(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    (t->*Cast<void (CCmdTarget::*)(UINT_PTR)>(pfn))((UINT_PTR)c.wParam);
    return 0;
}

LRESULT AfxSig_key(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    (t->*Cast<void (CCmdTarget::*)(UINT, UINT, UINT)>(pfn))((UINT)c.wParam, LOWORD(c.lParam), HIWORD(c.lParam));
    return 0;
}

LRESULT AfxSig_mouse(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    (t->*Cast<void (CCmdTarget::*)(UINT, CPoint)>(pfn))((UINT)c.wParam, PointOf(c.lParam));
    return 0;
}

LRESULT AfxSig_wheel(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    return (t->*Cast<BOOL (CCmdTarget::*)(UINT, short, CPoint)>(pfn))(LOWORD(c.wParam), (short)HIWORD(c.wParam),
                                                                     PointOf(c.lParam));
}

LRESULT AfxSig_scroll(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    (t->*Cast<void (CCmdTarget::*)(UINT, UINT, CWnd*)>(pfn))(LOWORD(c.wParam), HIWORD(c.wParam),
                                                            CWnd::FromHandle((HWND)c.lParam));
    return 0;
}

LRESULT AfxSig_contextmenu(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    (t->*Cast<void (CCmdTarget::*)(CWnd*, CPoint)>(pfn))(CWnd::FromHandle((HWND)c.wParam), PointOf(c.lParam));
    return 0;
}

LRESULT AfxSig_setcursor(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    return (t->*Cast<BOOL (CCmdTarget::*)(CWnd*, UINT, UINT)>(pfn))(CWnd::FromHandle((HWND)c.wParam),
                                                                   LOWORD(c.lParam), HIWORD(c.lParam));
}

LRESULT AfxSig_u_v(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall&)
{
    return (t->*Cast<UINT (CCmdTarget::*)()>(pfn))();
}

LRESULT AfxSig_ctlcolor(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    CDC dc;
    dc.m_hDC = (HDC)c.wParam;
    HBRUSH hbr = (t->*Cast<HBRUSH (CCmdTarget::*)(CDC*, CWnd*, UINT)>(pfn))(
        &dc, CWnd::FromHandle((HWND)c.lParam), c.message - WM_CTLCOLORMSGBOX);
    dc.m_hDC = nullptr;
    return (LRESULT)hbr;
}

LRESULT AfxSig_drawitem(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    (t->*Cast<void (CCmdTarget::*)(int, LPDRAWITEMSTRUCT)>(pfn))((int)c.wParam,
                                                                reinterpret_cast<LPDRAWITEMSTRUCT>(c.lParam));
    return TRUE;
}

LRESULT AfxSig_measureitem(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    (t->*Cast<void (CCmdTarget::*)(int, LPMEASUREITEMSTRUCT)>(pfn))(
        (int)c.wParam, reinterpret_cast<LPMEASUREITEMSTRUCT>(c.lParam));
    return TRUE;
}

LRESULT AfxSig_initmenupopup(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    CMenu menu;
    menu.m_hMenu = (HMENU)c.wParam;
    (t->*Cast<void (CCmdTarget::*)(CMenu*, UINT, BOOL)>(pfn))(&menu, LOWORD(c.lParam), HIWORD(c.lParam) != 0);
    menu.m_hMenu = nullptr;
    return 0;
}

LRESULT AfxSig_menuselect(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    (t->*Cast<void (CCmdTarget::*)(UINT, UINT, HMENU)>(pfn))(LOWORD(c.wParam), HIWORD(c.wParam), (HMENU)c.lParam);
    return 0;
}

LRESULT AfxSig_syscommand(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    (t->*Cast<void (CCmdTarget::*)(UINT, LPARAM)>(pfn))((UINT)c.wParam, c.lParam);
    return 0;
}

LRESULT AfxSig_minmax(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    (t->*Cast<void (CCmdTarget::*)(MINMAXINFO*)>(pfn))(reinterpret_cast<MINMAXINFO*>(c.lParam));
    return 0;
}

LRESULT AfxSig_helpinfo(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    return (t->*Cast<BOOL (CCmdTarget::*)(HELPINFO*)>(pfn))(reinterpret_cast<HELPINFO*>(c.lParam));
}

LRESULT AfxSig_dropfiles(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    (t->*Cast<void (CCmdTarget::*)(HDROP)>(pfn))((HDROP)c.wParam);
    return 0;
}
