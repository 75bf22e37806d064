#include "app/ProgressWindow.h"

#include <cstdlib>

#include "classlib/FrameWnd.h"
#include "classlib/WinApp.h"
#include "core/StrUtil.h"

BEGIN_MESSAGE_MAP(CProgressDlg, CDialog)
    ON_WM_CLOSE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CProgressDlg::CProgressDlg() : m_message(NULL), m_low(-1), m_high(-1), m_waiting(false)
{
}

CProgressDlg::~CProgressDlg()
{
    free(m_message);
}

void CProgressDlg::SetText(const char* text, int32_t low, int32_t high)
{
    StrSet(&m_message, text);
    m_low = low;
    m_high = high;
}

BOOL CProgressDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_bar.SubclassDlgItem(IDC_PROGRESS_BAR, this);
    m_text.SubclassDlgItem(IDC_PROGRESS_TEXT, this);
    if (AfxGetApp() != NULL && !m_waiting) {
        AfxGetApp()->BeginWaitCursor();
        m_waiting = true;
    }
    m_text.SetWindowText(m_message != NULL ? m_message : "Please wait...");
    if (m_low != -1 || m_high != -1)
        m_bar.SetRange32(m_low, m_high);
    return TRUE;
}

// The wait cursor is ended once, however the window goes: ending it twice
// would end somebody else's.
void CProgressDlg::EndWait()
{
    if (m_waiting && AfxGetApp() != NULL)
        AfxGetApp()->EndWaitCursor();
    m_waiting = false;
}

void CProgressDlg::OnClose()
{
    EndWait();
    CDialog::OnClose();
}

void CProgressDlg::OnDestroy()
{
    EndWait();
    CDialog::OnDestroy();
}

CProgressWindow::CProgressWindow() : m_parent(NULL), m_dialog(new CProgressDlg)
{
}

CProgressWindow::~CProgressWindow()
{
    Close();
}

void CProgressWindow::SetText(const char* text, int32_t low, int32_t high)
{
    m_dialog->SetText(text, low, high);
}

void CProgressWindow::Show(CWnd* window)
{
    Close();
    m_parent = NULL;
    if (window != NULL) {
        CFrameWnd* frame = window->GetParentFrame();
        m_parent = frame != NULL ? static_cast<CWnd*>(frame) : window;
    }
    if (!m_dialog->Create(CProgressDlg::IDD, m_parent))
        return;

    if (m_parent != NULL && m_parent->m_hWnd != NULL) {
        RECT over, own;
        m_parent->GetWindowRect(&over);
        m_dialog->GetWindowRect(&own);
        int x = over.left + ((over.right - over.left) - (own.right - own.left)) / 2;
        int y = over.top + ((over.bottom - over.top) - (own.bottom - own.top)) / 2;
        m_dialog->SetWindowPos(NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        m_dialog->CenterWindow();
    }
    m_dialog->ShowWindow(SW_SHOW);
}

void CProgressWindow::SetPos(int32_t pos)
{
    HWND dialog = m_dialog->m_hWnd;
    if (dialog == NULL)
        return;
    ::SendDlgItemMessage(dialog, CProgressDlg::IDC_PROGRESS_BAR, PBM_SETPOS, WPARAM(pos), 0);
    HandleWaitingMessage();
}

void CProgressWindow::HandleWaitingMessage()
{
    HWND dialog = m_dialog->m_hWnd;
    MSG msg;
    if (dialog != NULL && ::IsWindow(dialog) && ::PeekMessage(&msg, dialog, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
}

int32_t CProgressWindow::BarWidth() const
{
    HWND dialog = m_dialog->m_hWnd;
    RECT bar;
    if (dialog == NULL || !::GetClientRect(::GetDlgItem(dialog, CProgressDlg::IDC_PROGRESS_BAR), &bar))
        return 0;
    return bar.right - bar.left;
}

void CProgressWindow::Close()
{
    m_parent = NULL;
    HWND dialog = m_dialog->m_hWnd;
    if (dialog == NULL || !::IsWindow(dialog))
        return;
    m_dialog->EndDialog(IDOK);
    m_dialog->CloseWindow();
    m_dialog->DestroyWindow();
    MSG msg;
    while (::PeekMessage(&msg, dialog, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
}

// How often a load whose bar does not move still handles a waiting message.
static const DWORD kHandleEveryMs = 50;

void CLoadProgressWindow::Show(const char* text, int low, int high)
{
    m_window.SetText(text, low, high);
    m_window.Show(m_over);
    m_steps.Reset(low, high, m_window.BarWidth());
    m_lastHandled = ::GetTickCount();
}

void CLoadProgressWindow::SetPos(int pos)
{
    DWORD now = ::GetTickCount();
    if (m_steps.Moves(pos)) {
        m_window.SetPos(pos);
        m_lastHandled = now;
    } else if (now - m_lastHandled >= kHandleEveryMs) {
        m_window.HandleWaitingMessage();
        m_lastHandled = now;
    }
}
