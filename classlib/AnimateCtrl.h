// Animation controls playing an AVI clip from the program's resources.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "classlib/Wnd.h"

class CAnimateCtrl : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    { return CWnd::Create(ANIMATE_CLASS, nullptr, dwStyle, rect, pParentWnd, nID); }

    BOOL Open(UINT nID) { return Open(MAKEINTRESOURCE(nID)); }
    BOOL Open(LPCSTR lpszName)
    { return (BOOL)SendMessage(ACM_OPEN, (WPARAM)AfxGetResourceHandle(), (LPARAM)lpszName); }
    // Plays frames nFrom to nTo (0xFFFF: the last), nRep times (-1: endlessly).
    BOOL Play(UINT nFrom, UINT nTo, UINT nRep) { return (BOOL)SendMessage(ACM_PLAY, nRep, MAKELPARAM(nFrom, nTo)); }
    BOOL Stop() { return (BOOL)SendMessage(ACM_STOP); }
    BOOL Close() { return (BOOL)SendMessage(ACM_OPEN, 0, 0); }
    BOOL Seek(UINT nTo) { return (BOOL)SendMessage(ACM_PLAY, 1, MAKELPARAM(nTo, nTo)); }
};
