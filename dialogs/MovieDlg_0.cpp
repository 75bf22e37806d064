#include "dialogs/MovieDlg_0.h"

#include "classlib/WinApp.h"
#include "core/ErrorBox.h"
#include "core/Movie.h"
#include "dialogs/MovieInfoDlg.h"

namespace {

const char kNoHandler[] = "CMovieDlg_0 should never handle anything";

} // namespace

CMovieDlg_0::CMovieDlg_0(UINT nIDTemplate, CWnd* pParent) : CDialog(nIDTemplate, pParent), m_owner(nullptr), m_focusId(0)
{
}

void CMovieDlg_0::OnSetMovie(const CMovie*)
{
}

BOOL CMovieDlg_0::CreatePage(CWnd*)
{
    ShowError(1, kNoHandler);
    return FALSE;
}

bool CMovieDlg_0::SaveToMovie()
{
    ShowError(1, kNoHandler);
    return false;
}

BOOL CMovieDlg_0::CreateFromResource(CWnd* parent)
{
    return Create(m_lpszTemplateName, parent);
}

void CMovieDlg_0::TakeFocus()
{
    if (m_hWnd == NULL)
        return;
    HWND target = m_focusId != 0 ? ::GetDlgItem(m_hWnd, m_focusId) : NULL;
    if (target == NULL)
        target = ::GetNextDlgTabItem(m_hWnd, NULL, FALSE);
    if (target != NULL)
        ::SetFocus(target);
}

// Enter and Esc reach the page when a control of it sends them (a
// multi-line edit does): they go on to the dialog.
void CMovieDlg_0::OnOK()
{
    if (m_owner != nullptr && m_owner->m_hWnd != nullptr)
        m_owner->PostMessage(WM_COMMAND, IDOK);
}

void CMovieDlg_0::OnCancel()
{
    if (m_owner != nullptr && m_owner->m_hWnd != nullptr)
        m_owner->PostMessage(WM_COMMAND, IDCANCEL);
}

LRESULT CMovieDlg_0::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_owner != nullptr && m_owner->m_hWnd != nullptr) {
        if (message == WM_CLOSE) {
            OnCancel();
            return 0;
        }
        // The default button is the dialog's.
        if (message == DM_GETDEFID)
            return m_owner->SendMessage(DM_GETDEFID);
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

CMovie* CMovieDlg_0::EditedMovie() const
{
    return m_owner != nullptr ? m_owner->GetEditedMovie() : nullptr;
}

CImdbInfo* CMovieDlg_0::EditedRecord() const
{
    CMovie* movie = EditedMovie();
    if (movie == nullptr)
        return nullptr;
    if (!movie->m_imdbInfo)
        movie->m_imdbInfo.reset(new CImdbInfo);
    return movie->m_imdbInfo.get();
}

CMovieCollection* CMovieDlg_0::Collection() const
{
    return m_owner != nullptr ? m_owner->GetCollection() : nullptr;
}

bool CMovieDlg_0::IsReadOnly() const
{
    return m_owner != nullptr && m_owner->IsReadOnly();
}

bool CMovieDlg_0::IsNewMovie() const
{
    return m_owner != nullptr && m_owner->IsNewMovie();
}

int CMovieDlg_0::OverwriteBits()
{
    CWinApp* app = AfxGetApp();
    return app != nullptr ? int(app->GetProfileInt("update", "overwrite", 0)) : 0;
}

void CMovieDlg_0::EnableItem(int id, bool enable)
{
    ::EnableWindow(::GetDlgItem(m_hWnd, id), enable ? TRUE : FALSE);
}

void CMovieDlg_0::ShowItem(int id, bool show)
{
    ::ShowWindow(::GetDlgItem(m_hWnd, id), show ? SW_SHOW : SW_HIDE);
}

void CMovieDlg_0::SetItemReadOnly(int id, bool readOnly)
{
    SendDlgItemMessage(id, EM_SETREADONLY, readOnly ? TRUE : FALSE);
}

void CMovieDlg_0::OpenAddress(const std::string& address) const
{
    if (!address.empty())
        ::ShellExecuteA(m_hWnd, "open", address.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
}

bool CMovieDlg_0::ItemHasText(int id) const
{
    return ::GetWindowTextLength(::GetDlgItem(m_hWnd, id)) > 0;
}
