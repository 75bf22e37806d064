// Tab controls.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "classlib/ImageList.h"
#include "classlib/Wnd.h"

class CTabCtrl : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    { return CWnd::Create(WC_TABCONTROL, nullptr, dwStyle, rect, pParentWnd, nID); }

    HIMAGELIST SetImageList(CImageList* pImageList)
    { return (HIMAGELIST)SendMessage(TCM_SETIMAGELIST, 0, (LPARAM)(pImageList ? pImageList->m_hImageList : nullptr)); }
    int GetItemCount() const { return (int)SendMessage(TCM_GETITEMCOUNT); }
    LONG InsertItem(int nItem, TCITEM* pTabCtrlItem) { return (LONG)SendMessage(TCM_INSERTITEM, nItem, (LPARAM)pTabCtrlItem); }
    LONG InsertItem(int nItem, LPCSTR lpszItem)
    {
        TCITEM item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<LPSTR>(lpszItem);
        return InsertItem(nItem, &item);
    }
    LONG InsertItem(int nItem, LPCSTR lpszItem, LPARAM lParam)
    {
        TCITEM item = {};
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = const_cast<LPSTR>(lpszItem);
        item.lParam = lParam;
        return InsertItem(nItem, &item);
    }
    BOOL GetItem(int nItem, TCITEM* pTabCtrlItem) const { return (BOOL)SendMessage(TCM_GETITEM, nItem, (LPARAM)pTabCtrlItem); }
    BOOL SetItem(int nItem, TCITEM* pTabCtrlItem) { return (BOOL)SendMessage(TCM_SETITEM, nItem, (LPARAM)pTabCtrlItem); }
    BOOL DeleteItem(int nItem) { return (BOOL)SendMessage(TCM_DELETEITEM, nItem); }
    BOOL DeleteAllItems() { return (BOOL)SendMessage(TCM_DELETEALLITEMS); }
    int GetCurSel() const { return (int)SendMessage(TCM_GETCURSEL); }
    int SetCurSel(int nItem) { return (int)SendMessage(TCM_SETCURSEL, nItem); }
    BOOL GetItemRect(int nItem, LPRECT lpRect) const { return (BOOL)SendMessage(TCM_GETITEMRECT, nItem, (LPARAM)lpRect); }
    // bLarger FALSE: the display area inside a window rectangle; TRUE: the reverse.
    void AdjustRect(BOOL bLarger, LPRECT lpRect) { SendMessage(TCM_ADJUSTRECT, bLarger, (LPARAM)lpRect); }
};
