// The colour dialog.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "classlib/WinApp.h"
#include "classlib/Wnd.h"

class CColorDialog {
public:
    explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr)
        : m_pParentWnd(pParentWnd)
    {
        m_cc.lStructSize = sizeof(m_cc);
        m_cc.rgbResult = clrInit;
        m_cc.Flags = dwFlags | CC_RGBINIT;
        m_cc.lpCustColors = CustomColors();
    }
    virtual ~CColorDialog() {}

    // IDOK or IDCANCEL.
    virtual INT_PTR DoModal()
    {
        if (m_cc.hwndOwner == nullptr) {
            CWnd* pOwner = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
            m_cc.hwndOwner = pOwner != nullptr ? pOwner->m_hWnd : nullptr;
        }
        return ::ChooseColor(&m_cc) ? IDOK : IDCANCEL;
    }
    COLORREF GetColor() const { return m_cc.rgbResult; }
    void SetCurrentColor(COLORREF clr) { m_cc.rgbResult = clr; }

    // The sixteen custom colours, shared by every colour dialog of the program.
    static COLORREF* CustomColors()
    {
        static COLORREF colors[16] = { 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                       0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                       0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF };
        return colors;
    }

    CHOOSECOLOR m_cc = {};

private:
    CWnd* m_pParentWnd;
};
