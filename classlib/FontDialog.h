// The font dialog.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "classlib/WinApp.h"
#include "classlib/Wnd.h"

class CFontDialog {
public:
    explicit CFontDialog(const LOGFONT* lplfInitial = nullptr, DWORD dwFlags = CF_EFFECTS | CF_SCREENFONTS,
                         HDC hdcPrinter = nullptr, CWnd* pParentWnd = nullptr)
        : m_pParentWnd(pParentWnd)
    {
        m_cf.lStructSize = sizeof(m_cf);
        m_cf.lpLogFont = &m_lf;
        m_cf.Flags = dwFlags;
        m_cf.hDC = hdcPrinter;
        if (hdcPrinter != nullptr)
            m_cf.Flags |= CF_PRINTERFONTS;
        if (lplfInitial != nullptr) {
            m_lf = *lplfInitial;
            m_cf.Flags |= CF_INITTOLOGFONTSTRUCT;
        }
    }
    virtual ~CFontDialog() {}

    // IDOK or IDCANCEL.
    virtual INT_PTR DoModal()
    {
        if (m_cf.hwndOwner == nullptr) {
            CWnd* pOwner = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
            m_cf.hwndOwner = pOwner != nullptr ? pOwner->m_hWnd : nullptr;
        }
        return ::ChooseFont(&m_cf) ? IDOK : IDCANCEL;
    }
    void GetCurrentFont(LOGFONT* lplf) const { *lplf = m_lf; }
    COLORREF GetColor() const { return m_cf.rgbColors; }
    int GetSize() const { return m_cf.iPointSize; }   // tenths of a point

    CHOOSEFONT m_cf = {};
    LOGFONT m_lf = {};

private:
    CWnd* m_pParentWnd;
};
