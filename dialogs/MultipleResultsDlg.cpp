#include "dialogs/MultipleResultsDlg.h"

#include <shellapi.h>

#include <cstring>

#include <vector>

#include "app/ShowCoverDlg.h"
#include "net/ImdbRetrieval.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CMultipleResultsDlg, CHelpDialog)
    ON_LBN_SELCHANGE(IDC_RESULTS_LIST, OnSelChange)
    ON_LBN_SELCANCEL(IDC_RESULTS_LIST, OnSelCancel)
    ON_BN_CLICKED(IDC_RESULTS_WEBSITE, OnGotoWebsite)
    ON_BN_CLICKED(IDC_RESULTS_SHOW_COVER, OnShowCover)
END_MESSAGE_MAP()

CMultipleResultsDlg::CMultipleResultsDlg(CWnd* pParent)
    : CHelpDialog(IDD_MULTIPLE_RESULTS, pParent, "dialog/multiple_results_dialog.html"), m_hits(nullptr),
      m_chosen(false)
{
}

bool CMultipleResultsDlg::GetSelection(std::string* link) const
{
    if (!m_chosen)
        return false;
    *link = m_link;
    return true;
}

BOOL CMultipleResultsDlg::OnInitDialog()
{
    CHelpDialog::OnInitDialog();
    HWND list = ::GetDlgItem(m_hWnd, IDC_RESULTS_LIST);
    ::SendMessage(list, LB_RESETCONTENT, 0, 0);
    // Hits without a title are not listed: each line keeps its hit's index.
    const char* longest = "";
    if (m_hits != nullptr) {
        for (size_t i = 0; i < m_hits->size(); i++) {
            const char* title = (*m_hits)[i]->m_title;
            if (title == nullptr || *title == '\0')
                continue;
            LRESULT line = ::SendMessage(list, LB_ADDSTRING, 0, LPARAM(title));
            if (line >= 0)
                ::SendMessage(list, LB_SETITEMDATA, WPARAM(line), LPARAM(i));
            if (strlen(title) > strlen(longest))
                longest = title;
        }
    }
    HDC dc = ::GetDC(list);
    HGDIOBJ old = ::SelectObject(dc, HGDIOBJ(::SendMessage(list, WM_GETFONT, 0, 0)));
    SIZE size = { 0, 0 };
    ::GetTextExtentPoint32A(dc, longest, int(strlen(longest)), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(list, dc);
    ::SendMessage(list, LB_SETHORIZONTALEXTENT, WPARAM(size.cx), 0);
    OnSelCancel();
    return TRUE;
}

const CImdbSearchHit* CMultipleResultsDlg::SelectedHit() const
{
    LRESULT line = SendDlgItemMessage(IDC_RESULTS_LIST, LB_GETCURSEL);
    if (line == LB_ERR || m_hits == nullptr)
        return nullptr;
    LRESULT index = SendDlgItemMessage(IDC_RESULTS_LIST, LB_GETITEMDATA, WPARAM(line));
    if (index < 0 || size_t(index) >= m_hits->size())
        return nullptr;
    return (*m_hits)[size_t(index)].get();
}

void CMultipleResultsDlg::OnSelChange()
{
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), TRUE);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_RESULTS_WEBSITE), TRUE);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_RESULTS_SHOW_COVER), TRUE);
}

void CMultipleResultsDlg::OnSelCancel()
{
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), FALSE);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_RESULTS_WEBSITE), FALSE);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_RESULTS_SHOW_COVER), FALSE);
}

void CMultipleResultsDlg::OnShowCover()
{
    const CImdbSearchHit* hit = SelectedHit();
    std::vector<BYTE> cover;
    if (hit == nullptr || !DownloadCover(hit->m_address, &cover))
        return;
    CShowCoverDlg dialog(this);
    dialog.SetCover(DWORD(cover.size()), cover.data());
    dialog.DoModal();
}

void CMultipleResultsDlg::OnGotoWebsite()
{
    const CImdbSearchHit* hit = SelectedHit();
    if (hit != nullptr && hit->m_address != nullptr && *hit->m_address != '\0')
        ::ShellExecuteA(m_hWnd, "open", hit->m_address, nullptr, nullptr, SW_SHOWNORMAL);
}

void CMultipleResultsDlg::OnOK()
{
    const CImdbSearchHit* hit = SelectedHit();
    m_chosen = hit != nullptr;
    m_link = hit != nullptr && hit->m_address != nullptr ? hit->m_address : "";
    EndDialog(IDOK);
}
