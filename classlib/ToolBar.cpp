#include "classlib/ToolBar.h"
#include "classlib/CmdUI.h"
#include "classlib/FrameWnd.h"

#include <vector>

// Resource type of tool-bar layouts. Two layouts exist: the GNU resource
// compiler writes DWORD width, DWORD height, DWORD count, DWORD ids[count];
// the Microsoft one WORD version (1), WORD width, WORD height, WORD count,
// WORD ids[count]. An id of 0 is a separator.
static const LPCSTR kToolBarType = MAKEINTRESOURCE(241);

struct ToolBarLayout {
    UINT cx = 0;
    UINT cy = 0;
    std::vector<UINT> ids;
};

static bool ParseToolBarLayout(const BYTE* data, DWORD size, ToolBarLayout& layout)
{
    auto word = [&](DWORD i) { return (UINT)(data[2 * i] | (data[2 * i + 1] << 8)); };
    auto dword = [&](DWORD i) {
        return (UINT)(data[4 * i] | (data[4 * i + 1] << 8) | (data[4 * i + 2] << 16) | ((UINT)data[4 * i + 3] << 24));
    };
    if (size >= 12) {
        UINT count = dword(2);
        if (count <= (size - 12) / 4 && 12 + 4 * count == size) {
            layout.cx = dword(0);
            layout.cy = dword(1);
            for (UINT i = 0; i < count; ++i)
                layout.ids.push_back(dword(3 + i));
            return layout.cx > 0 && layout.cy > 0 && layout.cx < 0x8000 && layout.cy < 0x8000;
        }
    }
    if (size >= 8 && word(0) == 1) {
        UINT count = word(3);
        if (count <= (size - 8) / 2) {
            layout.cx = word(1);
            layout.cy = word(2);
            for (UINT i = 0; i < count; ++i)
                layout.ids.push_back(word(4 + i));
            return layout.cx > 0 && layout.cy > 0 && layout.cx < 0x8000 && layout.cy < 0x8000;
        }
    }
    return false;
}

CToolBar::~CToolBar()
{
    if (m_hWnd != nullptr)
        DestroyWindow();
    if (m_hbmImageWell != nullptr)
        ::DeleteObject(m_hbmImageWell);
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, CRect(0, 0, 0, 0), nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect, UINT nID)
{
    if (pParentWnd == nullptr)
        return FALSE;
    INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_BAR_CLASSES };
    ::InitCommonControlsEx(&icc);

    DWORD style = TakeBarStyle(dwStyle) | (dwCtrlStyle & 0xFFFF) | CCS_TOP | CCS_NODIVIDER;
    if (m_dwBarStyle & CBRS_TOOLTIPS)
        style |= TBSTYLE_TOOLTIPS;
    if (!CWnd::CreateEx(0, TOOLBARCLASSNAME, nullptr, style, 0, 0, 0, 0, pParentWnd->m_hWnd,
                        (HMENU)(UINT_PTR)nID))
        return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT nIDResource)
{
    if (m_hWnd == nullptr)
        return FALSE;
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRsrc = ::FindResource(hInst, MAKEINTRESOURCE(nIDResource), kToolBarType);
    if (hRsrc == nullptr)
        return FALSE;
    HGLOBAL hGlobal = ::LoadResource(hInst, hRsrc);
    const BYTE* data = hGlobal != nullptr ? static_cast<const BYTE*>(::LockResource(hGlobal)) : nullptr;
    ToolBarLayout layout;
    if (data == nullptr || !ParseToolBarLayout(data, ::SizeofResource(hInst, hRsrc), layout))
        return FALSE;
    const size_t count = layout.ids.size();

    HBITMAP hbm = ::CreateMappedBitmap(hInst, nIDResource, 0, nullptr, 0);
    if (hbm == nullptr)
        return FALSE;

    while (SendMessage(TB_BUTTONCOUNT) > 0)
        SendMessage(TB_DELETEBUTTON, 0);

    std::vector<TBBUTTON> buttons(count);
    int images = 0;
    for (size_t i = 0; i < count; ++i) {
        TBBUTTON& b = buttons[i];
        b = TBBUTTON();
        if (layout.ids[i] == ID_SEPARATOR) {
            b.fsStyle = BTNS_SEP;
            b.iBitmap = 6;
        } else {
            b.iBitmap = images++;
            b.idCommand = (int)layout.ids[i];
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = BTNS_BUTTON;
        }
    }
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(layout.cx, layout.cy));
    TBADDBITMAP addBitmap = { nullptr, (UINT_PTR)hbm };
    if (SendMessage(TB_ADDBITMAP, images, (LPARAM)&addBitmap) < 0) {
        ::DeleteObject(hbm);
        return FALSE;
    }
    if (m_hbmImageWell != nullptr)
        ::DeleteObject(m_hbmImageWell);
    m_hbmImageWell = hbm;
    if (count > 0 && !SendMessage(TB_ADDBUTTONS, count, (LPARAM)buttons.data()))
        return FALSE;
    SendMessage(TB_AUTOSIZE);
    return TRUE;
}

UINT CToolBar::GetItemID(int nIndex) const
{
    TBBUTTON b = {};
    if (!SendMessage(TB_GETBUTTON, nIndex, (LPARAM)&b))
        return 0;
    return (b.fsStyle & BTNS_SEP) ? ID_SEPARATOR : (UINT)b.idCommand;
}

void CToolBar::LayoutInFrame(RECT& rcFree)
{
    // The control docks itself at the top of its parent's client area.
    SendMessage(TB_AUTOSIZE);
    RECT rc;
    GetWindowRect(&rc);
    int height = rc.bottom - rc.top;
    ::SetWindowPos(m_hWnd, nullptr, rcFree.left, rcFree.top, rcFree.right - rcFree.left, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    rcFree.top += height;
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget)
{
    int count = GetCount();
    for (int i = 0; i < count; ++i) {
        UINT id = GetItemID(i);
        if (id == ID_SEPARATOR)
            continue;
        CCmdUI state;
        state.m_hOther = m_hWnd;
        state.m_nID = id;
        state.m_nIndex = (UINT)i;
        state.DoUpdate(pTarget);
    }
}
