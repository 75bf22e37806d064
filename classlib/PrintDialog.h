// The print dialog. A hook procedure is set through m_pd (PD_ENABLEPRINTHOOK
// and lpfnPrintHook). With PD_RETURNDC the printer context is the caller's
// to delete (GetPrinterDC); the device settings are freed with the object.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "classlib/WinApp.h"
#include "classlib/Wnd.h"

class CPrintDialog {
public:
    explicit CPrintDialog(BOOL bPrintSetupOnly,
                          DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS
                                          | PD_HIDEPRINTTOFILE | PD_NOSELECTION,
                          CWnd* pParentWnd = nullptr)
        : m_pParentWnd(pParentWnd)
    {
        m_pd.lStructSize = sizeof(m_pd);
        m_pd.Flags = dwFlags | (bPrintSetupOnly ? PD_PRINTSETUP : 0);
        m_pd.nCopies = 1;
    }
    virtual ~CPrintDialog()
    {
        if (m_pd.hDevMode != nullptr)
            ::GlobalFree(m_pd.hDevMode);
        if (m_pd.hDevNames != nullptr)
            ::GlobalFree(m_pd.hDevNames);
    }
    CPrintDialog(const CPrintDialog&) = delete;
    CPrintDialog& operator=(const CPrintDialog&) = delete;

    // IDOK or IDCANCEL.
    virtual INT_PTR DoModal()
    {
        if (m_pd.hwndOwner == nullptr) {
            CWnd* pOwner = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
            m_pd.hwndOwner = pOwner != nullptr ? pOwner->m_hWnd : nullptr;
        }
        return ::PrintDlg(&m_pd) ? IDOK : IDCANCEL;
    }
    HDC GetPrinterDC() const { return m_pd.hDC; }
    int GetFromPage() const { return m_pd.nFromPage; }
    int GetToPage() const { return m_pd.nToPage; }
    int GetCopies() const { return m_pd.nCopies; }
    BOOL PrintAll() const { return !PrintRange() && !PrintSelection(); }
    BOOL PrintRange() const { return (m_pd.Flags & PD_PAGENUMS) != 0; }
    BOOL PrintSelection() const { return (m_pd.Flags & PD_SELECTION) != 0; }

    PRINTDLG m_pd = {};

private:
    CWnd* m_pParentWnd;
};
