// List-view controls (report view with columns, item data and sorting).
#pragma once

#include <string>

#include <windows.h>
#include <commctrl.h>

#include "classlib/ImageList.h"
#include "classlib/Wnd.h"

class CListCtrl : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    { return CWnd::Create(WC_LISTVIEW, nullptr, dwStyle, rect, pParentWnd, nID); }

    DWORD GetExtendedStyle() const { return (DWORD)SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE); }
    DWORD SetExtendedStyle(DWORD dwNewStyle) { return (DWORD)SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, dwNewStyle); }
    HIMAGELIST SetImageList(CImageList* pImageList, int nImageListType)
    { return (HIMAGELIST)SendMessage(LVM_SETIMAGELIST, nImageListType, (LPARAM)(pImageList ? pImageList->m_hImageList : nullptr)); }

    // ---- columns
    int InsertColumn(int nCol, LPCSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1, int nSubItem = -1)
    {
        LVCOLUMN col = {};
        col.mask = LVCF_TEXT | LVCF_FMT;
        col.fmt = nFormat;
        col.pszText = const_cast<LPSTR>(lpszColumnHeading);
        if (nWidth != -1) {
            col.mask |= LVCF_WIDTH;
            col.cx = nWidth;
        }
        if (nSubItem != -1) {
            col.mask |= LVCF_SUBITEM;
            col.iSubItem = nSubItem;
        }
        return (int)SendMessage(LVM_INSERTCOLUMN, nCol, (LPARAM)&col);
    }
    BOOL DeleteColumn(int nCol) { return (BOOL)SendMessage(LVM_DELETECOLUMN, nCol); }
    int GetColumnWidth(int nCol) const { return (int)SendMessage(LVM_GETCOLUMNWIDTH, nCol); }
    BOOL SetColumnWidth(int nCol, int cx) { return (BOOL)SendMessage(LVM_SETCOLUMNWIDTH, nCol, MAKELPARAM(cx, 0)); }

    // ---- items
    int GetItemCount() const { return (int)SendMessage(LVM_GETITEMCOUNT); }
    int InsertItem(const LVITEM* pItem) { return (int)SendMessage(LVM_INSERTITEM, 0, (LPARAM)pItem); }
    int InsertItem(int nItem, LPCSTR lpszItem, int nImage = -1)
    {
        LVITEM item = {};
        item.mask = LVIF_TEXT | (nImage >= 0 ? LVIF_IMAGE : 0);
        item.iItem = nItem;
        item.pszText = const_cast<LPSTR>(lpszItem);
        item.iImage = nImage;
        return InsertItem(&item);
    }
    BOOL SetItem(const LVITEM* pItem) { return (BOOL)SendMessage(LVM_SETITEM, 0, (LPARAM)pItem); }
    BOOL GetItem(LVITEM* pItem) const { return (BOOL)SendMessage(LVM_GETITEM, 0, (LPARAM)pItem); }
    BOOL DeleteItem(int nItem) { return (BOOL)SendMessage(LVM_DELETEITEM, nItem); }
    BOOL DeleteAllItems() { return (BOOL)SendMessage(LVM_DELETEALLITEMS); }
    BOOL SetItemText(int nItem, int nSubItem, LPCSTR lpszText)
    {
        LVITEM item = {};
        item.iSubItem = nSubItem;
        item.pszText = const_cast<LPSTR>(lpszText);
        return (BOOL)SendMessage(LVM_SETITEMTEXT, nItem, (LPARAM)&item);
    }
    int GetItemText(int nItem, int nSubItem, LPSTR lpszText, int nLen) const
    {
        LVITEM item = {};
        item.iSubItem = nSubItem;
        item.pszText = lpszText;
        item.cchTextMax = nLen;
        return (int)SendMessage(LVM_GETITEMTEXT, nItem, (LPARAM)&item);
    }
    std::string GetItemText(int nItem, int nSubItem) const
    {
        // The control does not tell the length; grow until the text fits.
        for (int size = 256; size <= (1 << 20); size *= 4) {
            std::string text((size_t)size, '\0');
            int n = GetItemText(nItem, nSubItem, &text[0], size);
            if (n < size - 1) {
                text.resize(n > 0 ? (size_t)n : 0);
                return text;
            }
        }
        return std::string();
    }
    DWORD_PTR GetItemData(int nItem) const
    {
        LVITEM item = {};
        item.mask = LVIF_PARAM;
        item.iItem = nItem;
        return GetItem(&item) ? (DWORD_PTR)item.lParam : 0;
    }
    BOOL SetItemData(int nItem, DWORD_PTR dwData)
    {
        LVITEM item = {};
        item.mask = LVIF_PARAM;
        item.iItem = nItem;
        item.lParam = (LPARAM)dwData;
        return SetItem(&item);
    }
    UINT GetItemState(int nItem, UINT nMask) const { return (UINT)SendMessage(LVM_GETITEMSTATE, nItem, nMask); }
    BOOL SetItemState(int nItem, UINT nState, UINT nMask)
    {
        LVITEM item = {};
        item.stateMask = nMask;
        item.state = nState;
        return (BOOL)SendMessage(LVM_SETITEMSTATE, nItem, (LPARAM)&item);
    }
    UINT GetSelectedCount() const { return (UINT)SendMessage(LVM_GETSELECTEDCOUNT); }
    // The next item after nItem (-1: from the start) with the LVNI_ flags.
    int GetNextItem(int nItem, int nFlags) const { return (int)SendMessage(LVM_GETNEXTITEM, nItem, MAKELPARAM(nFlags, 0)); }
    int FindItem(LVFINDINFO* pFindInfo, int nStart = -1) const { return (int)SendMessage(LVM_FINDITEM, nStart, (LPARAM)pFindInfo); }
    int HitTest(POINT pt, UINT* pFlags = nullptr) const
    {
        LVHITTESTINFO hit = {};
        hit.pt = pt;
        int n = (int)SendMessage(LVM_HITTEST, 0, (LPARAM)&hit);
        if (pFlags != nullptr)
            *pFlags = hit.flags;
        return n;
    }
    BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const
    {
        lpRect->left = (LONG)nCode;
        return (BOOL)SendMessage(LVM_GETITEMRECT, nItem, (LPARAM)lpRect);
    }
    BOOL EnsureVisible(int nItem, BOOL bPartialOK) { return (BOOL)SendMessage(LVM_ENSUREVISIBLE, nItem, bPartialOK); }
    int GetTopIndex() const { return (int)SendMessage(LVM_GETTOPINDEX); }
    int GetCountPerPage() const { return (int)SendMessage(LVM_GETCOUNTPERPAGE); }
    BOOL RedrawItems(int nFirst, int nLast) { return (BOOL)SendMessage(LVM_REDRAWITEMS, nFirst, nLast); }
    BOOL Update(int nItem) { return (BOOL)SendMessage(LVM_UPDATE, nItem); }
    // Sorts by pfnCompare(item data 1, item data 2, dwData).
    BOOL SortItems(PFNLVCOMPARE pfnCompare, DWORD_PTR dwData)
    { return (BOOL)SendMessage(LVM_SORTITEMS, (WPARAM)dwData, (LPARAM)pfnCompare); }
};
