#include "dialogs/WaitDlg.h"

#include "classlib/WinApp.h"
#include "resources/resource.h"

void CWaitDlg::SetText(const char* text)
{
    m_text = text != nullptr ? text : "";
    if (m_hWnd != nullptr)
        SetDlgItemText(IDC_WAIT_TEXT, m_text.c_str());
}

void CWaitDlg::Show()
{
    CWnd* main = AfxGetMainWnd();
    HWND parent = main != nullptr ? main->m_hWnd : nullptr;
    if (parent != nullptr && ::IsWindowEnabled(parent)) {
        ::EnableWindow(parent, FALSE);
        m_disabled = parent;
    }
    Create(IDD_WAIT, main);
    if (m_hWnd != nullptr) {
        ::ShowWindow(m_hWnd, SW_SHOW);
        ::UpdateWindow(m_hWnd);
    }
}

BOOL CWaitDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (CWinApp* app = AfxGetApp()) {
        app->BeginWaitCursor();
        m_cursorShown = true;
    }
    SetDlgItemText(IDC_WAIT_TEXT, m_text.c_str());
    return TRUE;
}

void CWaitDlg::Close()
{
    if (m_hWnd == nullptr && m_disabled == nullptr)
        return;
    bool active = m_hWnd != nullptr && ::GetActiveWindow() == m_hWnd;
    if (m_hWnd != nullptr)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    HWND parent = m_disabled;
    if (m_disabled != nullptr) {
        ::EnableWindow(m_disabled, TRUE);
        m_disabled = nullptr;
    }
    if (parent != nullptr && active)
        ::SetActiveWindow(parent);
    if (m_cursorShown) {
        if (CWinApp* app = AfxGetApp())
            app->EndWaitCursor();
        m_cursorShown = false;
    }
    if (m_hWnd != nullptr)
        DestroyWindow();
}
