#include "classlib/CmdUI.h"
#include "classlib/CmdTarget.h"

#include <commctrl.h>

void CCmdUI::Enable(BOOL bOn)
{
    m_bEnabled = bOn;
    if (m_hMenu != nullptr) {
        ::EnableMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    } else if (m_hOther != nullptr) {
        ::SendMessage(m_hOther, TB_ENABLEBUTTON, m_nID, MAKELPARAM(bOn ? TRUE : FALSE, 0));
    }
}

void CCmdUI::SetCheck(int nCheck)
{
    if (m_hMenu != nullptr) {
        ::CheckMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_hOther != nullptr) {
        ::SendMessage(m_hOther, TB_CHECKBUTTON, m_nID, MAKELPARAM(nCheck == 1 ? TRUE : FALSE, 0));
        ::SendMessage(m_hOther, TB_INDETERMINATE, m_nID, MAKELPARAM(nCheck == 2 ? TRUE : FALSE, 0));
    }
}

void CCmdUI::SetRadio(BOOL bOn)
{
    if (m_hMenu != nullptr) {
        MENUITEMINFO mii = {};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_FTYPE;
        if (::GetMenuItemInfo(m_hMenu, m_nIndex, TRUE, &mii)) {
            mii.fType = bOn ? (mii.fType | MFT_RADIOCHECK) : (mii.fType & ~MFT_RADIOCHECK);
            ::SetMenuItemInfo(m_hMenu, m_nIndex, TRUE, &mii);
        }
    }
    SetCheck(bOn ? 1 : 0);
}

void CCmdUI::SetText(LPCSTR lpszText)
{
    if (m_hMenu == nullptr || lpszText == nullptr)
        return;
    UINT state = ::GetMenuState(m_hMenu, m_nIndex, MF_BYPOSITION);
    if (state == (UINT)-1)
        return;
    state &= MF_CHECKED | MF_GRAYED | MF_DISABLED;
    ::ModifyMenu(m_hMenu, m_nIndex, MF_BYPOSITION | MF_STRING | state, m_nID, lpszText);
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget)
{
    if (pTarget == nullptr || m_nID == 0)
        return FALSE;
    return pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
}
