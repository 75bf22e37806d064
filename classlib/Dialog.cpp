#include "classlib/Dialog.h"
#include "classlib/WinApp.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_WM_HELPINFO()
END_MESSAGE_MAP()

// The dialog manager's own procedure: the layer's window procedure sees
// every message first and runs the dialog's handlers under its guard, so
// this only answers "not handled" and has nothing that could throw.
static INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

LPCDLGTEMPLATE CDialog::LoadTemplate(LPCSTR lpszTemplateName) const
{
    if (lpszTemplateName == nullptr)
        return nullptr;
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRsrc = ::FindResource(hInst, lpszTemplateName, RT_DIALOG);
    if (hRsrc == nullptr)
        return nullptr;
    HGLOBAL hGlobal = ::LoadResource(hInst, hRsrc);
    if (hGlobal == nullptr || ::SizeofResource(hInst, hRsrc) < sizeof(DLGTEMPLATE))
        return nullptr;
    return static_cast<LPCDLGTEMPLATE>(::LockResource(hGlobal));
}

BOOL CDialog::CreateFromTemplate(LPCDLGTEMPLATE lpTemplate, HWND hWndOwner)
{
    if (lpTemplate == nullptr || m_hWnd != nullptr)
        return FALSE;
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParam(AfxGetResourceHandle(), lpTemplate, hWndOwner,
                                            &AfxDlgProc, 0);
    BOOL notCaught = AfxUnhookWindowCreate();
    if (hWnd == nullptr)
        return FALSE;
    if (notCaught)
        AfxAttachCreatedWindow(this, hWnd);
    return TRUE;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    return OnInitDialog();
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_nIDHelp = nIDTemplate;
    return Create(MAKEINTRESOURCE(nIDTemplate), pParentWnd);
}

BOOL CDialog::Create(LPCSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    return CreateIndirect(LoadTemplate(lpszTemplateName), pParentWnd);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd)
{
    m_pParentWnd = pParentWnd;
    HWND hParent = pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr;
    if (hParent == nullptr && AfxGetMainWnd() != nullptr)
        hParent = AfxGetMainWnd()->m_hWnd;
    m_bModal = false;
    return CreateFromTemplate(lpDialogTemplate, hParent);
}

INT_PTR CDialog::DoModal()
{
    LPCDLGTEMPLATE lpTemplate = LoadTemplate(m_lpszTemplateName);
    if (lpTemplate == nullptr)
        return -1;

    // The owner is a top-level window; without a given parent, the window
    // the main window last activated (it may be another modal dialog).
    HWND hOwner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    if (hOwner == nullptr && AfxGetMainWnd() != nullptr && AfxGetMainWnd()->m_hWnd != nullptr)
        hOwner = ::GetLastActivePopup(AfxGetMainWnd()->m_hWnd);
    while (hOwner != nullptr && (::GetWindowLongPtr(hOwner, GWL_STYLE) & WS_CHILD))
        hOwner = ::GetParent(hOwner);

    bool enableOwner = hOwner != nullptr && ::IsWindowEnabled(hOwner);
    if (enableOwner)
        ::EnableWindow(hOwner, FALSE);

    m_bModal = true;
    m_bEndModal = false;
    m_nModalResult = -1;
    if (!CreateFromTemplate(lpTemplate, hOwner)) {
        if (enableOwner)
            ::EnableWindow(hOwner, TRUE);
        m_bModal = false;
        return -1;
    }
    if (!m_bEndModal && m_hWnd != nullptr) {
        ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
        RunModalLoop();
    }

    // The owner comes back before the dialog goes, so that it is activated.
    if (enableOwner)
        ::EnableWindow(hOwner, TRUE);
    if (m_hWnd != nullptr) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER);
        DestroyWindow();
    }
    m_bModal = false;
    return m_nModalResult;
}

void CDialog::RunModalLoop()
{
    MSG msg;
    while (!m_bEndModal && m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
        BOOL got = ::GetMessage(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // WM_QUIT ends the dialog and goes on to the outer loop.
            if (got == 0)
                ::PostQuitMessage((int)msg.wParam);
            break;
        }
        CWinThread* pThread = AfxGetThread();
        BOOL consumed = pThread != nullptr ? pThread->PreTranslateMessage(&msg)
                                           : AfxPreTranslateMessage(&msg);
        if (!consumed) {
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
        }
    }
}

void CDialog::EndDialog(int nResult)
{
    if (m_bModal) {
        m_nModalResult = nResult;
        m_bEndModal = true;
        // Wakes the modal loop, which may be waiting on another thread.
        if (m_hWnd != nullptr)
            ::PostMessage(m_hWnd, WM_NULL, 0, 0);
    } else if (m_hWnd != nullptr) {
        m_nModalResult = nResult;
        ::ShowWindow(m_hWnd, SW_HIDE);
    }
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    // A child page leaves keyboard navigation to the dialog that holds it.
    if (m_hWnd == nullptr || (GetStyle() & WS_CHILD))
        return FALSE;
    return ::IsDialogMessage(m_hWnd, pMsg);
}
