// Menus. A CMenu owns the menu it created, loaded or was attached to and
// destroys it with itself; Detach hands it back without destroying it. Menus
// that belong to a window (its menu bar and their popups) are borrowed with
// Attach and given back with Detach.
#pragma once

#include <windows.h>
#include <string>

#include "classlib/Wnd.h"

class CMenu {
public:
    CMenu() {}
    ~CMenu() { DestroyMenu(); }
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;

    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }
    BOOL Attach(HMENU hMenu)
    {
        if (hMenu == nullptr || m_hMenu != nullptr)
            return FALSE;
        m_hMenu = hMenu;
        return TRUE;
    }
    HMENU Detach()
    {
        HMENU h = m_hMenu;
        m_hMenu = nullptr;
        return h;
    }

    BOOL CreateMenu() { return Attach(::CreateMenu()); }
    BOOL CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
    BOOL LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCE(nIDResource)); }
    BOOL LoadMenu(LPCSTR lpszResourceName) { return Attach(::LoadMenu(AfxGetResourceHandle(), lpszResourceName)); }
    BOOL DestroyMenu()
    {
        if (m_hMenu == nullptr)
            return FALSE;
        BOOL ok = ::DestroyMenu(m_hMenu);
        m_hMenu = nullptr;
        return ok;
    }

    UINT GetMenuItemCount() const { return (UINT)::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
    UINT GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }
    HMENU GetSubMenu(int nPos) const { return ::GetSubMenu(m_hMenu, nPos); }
    int GetMenuString(UINT nIDItem, LPSTR lpString, int nMaxCount, UINT nFlags) const
    { return ::GetMenuString(m_hMenu, nIDItem, lpString, nMaxCount, nFlags); }
    std::string GetMenuString(UINT nIDItem, UINT nFlags) const
    {
        int n = ::GetMenuString(m_hMenu, nIDItem, nullptr, 0, nFlags);
        if (n <= 0)
            return std::string();
        std::string text((size_t)n + 1, '\0');
        n = ::GetMenuString(m_hMenu, nIDItem, &text[0], n + 1, nFlags);
        text.resize(n > 0 ? (size_t)n : 0);
        return text;
    }

    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr)
    { return ::AppendMenu(m_hMenu, nFlags, nIDNewItem, lpszNewItem); }
    BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr)
    { return ::InsertMenu(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem); }
    BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr)
    { return ::ModifyMenu(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem); }
    BOOL DeleteMenu(UINT nPosition, UINT nFlags) { return ::DeleteMenu(m_hMenu, nPosition, nFlags); }
    BOOL RemoveMenu(UINT nPosition, UINT nFlags) { return ::RemoveMenu(m_hMenu, nPosition, nFlags); }
    UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable) { return ::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable); }
    UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck) { return (UINT)::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck); }
    BOOL CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags)
    { return ::CheckMenuRadioItem(m_hMenu, nIDFirst, nIDLast, nIDItem, nFlags); }
    BOOL SetDefaultItem(UINT uItem, BOOL fByPos = FALSE) { return ::SetMenuDefaultItem(m_hMenu, uItem, fByPos); }

    // Shows a popup menu at a screen point. The chosen command goes to the
    // owner window as WM_COMMAND, or is returned with TPM_RETURNCMD.
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, HWND hOwner, LPCRECT lpRect = nullptr) const
    { return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, hOwner, lpRect); }
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pOwner, LPCRECT lpRect = nullptr) const
    { return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pOwner ? pOwner->m_hWnd : nullptr, lpRect); }
};
