// Command-update requests. A frame asks the command's handlers whether a
// menu item or tool-bar button is enabled, checked or how it is labelled; an
// update handler answers through Enable, SetCheck and SetText.
#pragma once

#include <windows.h>

class CCmdTarget;

class CCmdUI {
public:
    CCmdUI() {}
    virtual ~CCmdUI() {}

    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);   // 0 clear, 1 checked, 2 indeterminate
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCSTR lpszText);

    // Offers the request to pTarget's command routing; TRUE when an update
    // handler answered it.
    BOOL DoUpdate(CCmdTarget* pTarget);

    UINT m_nID = 0;
    UINT m_nIndex = 0;          // menu position or tool-bar button index
    HMENU m_hMenu = nullptr;    // the popup menu being updated, or NULL
    HWND m_hOther = nullptr;    // the tool bar being updated, or NULL
    BOOL m_bEnabled = TRUE;     // the last state given to Enable
};
