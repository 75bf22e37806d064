#include "classlib/StatusBar.h"
#include "classlib/DC.h"
#include "classlib/WinApp.h"

// Room a pane needs around its text: its borders and a little air.
static const int kPanePadding = 8;

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    if (pParentWnd == nullptr)
        return FALSE;
    INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_BAR_CLASSES };
    ::InitCommonControlsEx(&icc);
    DWORD style = TakeBarStyle(dwStyle) | CCS_BOTTOM | SBARS_SIZEGRIP;
    return CWnd::CreateEx(0, STATUSCLASSNAME, nullptr, style, 0, 0, 0, 0, pParentWnd->m_hWnd,
                          (HMENU)(UINT_PTR)nID);
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    if (m_hWnd == nullptr || lpIDArray == nullptr || nIDCount <= 0 || nIDCount > 255)
        return FALSE;
    m_panes.clear();
    std::vector<std::string> texts;
    {
        CClientDC dc(m_hWnd);
        HGDIOBJ oldFont = nullptr;
        if (HFONT hFont = GetFont())
            oldFont = dc.SelectObject(hFont);
        for (int i = 0; i < nIDCount; ++i) {
            UINT id = lpIDArray[i];
            Pane pane = { id, id == ID_SEPARATOR ? (UINT)SBPS_STRETCH : (UINT)SBPS_NORMAL, 0 };
            std::string text = id == ID_SEPARATOR ? std::string() : AfxLoadString(id);
            if (!text.empty())
                pane.cxWidth = dc.GetTextExtent(text).cx;
            m_panes.push_back(pane);
            texts.push_back(text);
        }
        if (oldFont != nullptr)
            dc.SelectObject(oldFont);
    }
    UpdateParts();
    for (int i = 0; i < nIDCount; ++i)
        SetPaneText(i, texts[i].c_str(), FALSE);
    Invalidate();
    return TRUE;
}

int CStatusBar::CommandToIndex(UINT nIDFind) const
{
    for (size_t i = 0; i < m_panes.size(); ++i)
        if (m_panes[i].nID == nIDFind)
            return (int)i;
    return -1;
}

UINT CStatusBar::GetItemID(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetCount())
        return 0;
    return m_panes[nIndex].nID;
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
    nID = 0;
    nStyle = 0;
    cxWidth = 0;
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    nID = m_panes[nIndex].nID;
    nStyle = m_panes[nIndex].nStyle;
    cxWidth = m_panes[nIndex].cxWidth;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    std::string text = GetPaneText(nIndex);
    m_panes[nIndex].nID = nID;
    m_panes[nIndex].nStyle = nStyle;
    m_panes[nIndex].cxWidth = cxWidth < 0 ? 0 : cxWidth;
    UpdateParts();
    SetPaneText(nIndex, text.c_str());
}

UINT CStatusBar::TextFlags(UINT nStyle) const
{
    UINT flags = 0;
    if (nStyle & SBPS_NOBORDERS)
        flags |= SBT_NOBORDERS;
    if (nStyle & SBPS_POPOUT)
        flags |= SBT_POPOUT;
    return flags;
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return FALSE;
    BOOL ok = (BOOL)SendMessage(SB_SETTEXT, (WPARAM)nIndex | TextFlags(m_panes[nIndex].nStyle),
                                (LPARAM)(lpszNewText != nullptr ? lpszNewText : ""));
    if (bUpdate)
        UpdateWindow();
    return ok;
}

std::string CStatusBar::GetPaneText(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetCount())
        return std::string();
    int length = LOWORD(SendMessage(SB_GETTEXTLENGTH, nIndex));
    std::string text((size_t)length + 1, '\0');
    SendMessage(SB_GETTEXT, nIndex, (LPARAM)&text[0]);
    text.resize((size_t)length);
    return text;
}

void CStatusBar::UpdateParts()
{
    if (m_hWnd == nullptr || m_panes.empty())
        return;
    RECT rc;
    GetClientRect(&rc);
    int total = rc.right - rc.left;
    if (GetStyle() & SBARS_SIZEGRIP)
        total -= ::GetSystemMetrics(SM_CXVSCROLL);

    int fixed = 0, stretching = 0;
    for (const Pane& pane : m_panes) {
        if (pane.nStyle & SBPS_STRETCH)
            ++stretching;
        else
            fixed += pane.cxWidth + kPanePadding;
    }
    int spare = total - fixed;
    if (spare < 0)
        spare = 0;

    std::vector<int> edges(m_panes.size());
    int right = 0;
    for (size_t i = 0; i < m_panes.size(); ++i) {
        const Pane& pane = m_panes[i];
        if (pane.nStyle & SBPS_STRETCH) {
            int share = stretching > 0 ? spare / stretching : 0;
            int width = pane.cxWidth + kPanePadding;
            right += share > width ? share : width;
        } else {
            right += pane.cxWidth + kPanePadding;
        }
        edges[i] = right;
    }
    edges.back() = -1;   // the last pane reaches the bar's right edge
    SendMessage(SB_SETPARTS, (WPARAM)edges.size(), (LPARAM)edges.data());
}

void CStatusBar::LayoutInFrame(RECT& rcFree)
{
    // The control docks itself at the bottom of its parent's client area.
    SendMessage(WM_SIZE, 0, 0);
    RECT rc;
    GetWindowRect(&rc);
    int height = rc.bottom - rc.top;
    rcFree.bottom -= height;
    UpdateParts();
}
