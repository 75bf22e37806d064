#include "dialogs/OverwriteInfoDlg.h"

#include "classlib/WinApp.h"
#include "resources/resource.h"

namespace {
const char kSection[] = "update";
}

BEGIN_MESSAGE_MAP(COverwriteInfoDlg, CHelpDialog)
    ON_BN_CLICKED(IDC_OVERWRITE_ONLY_EMPTY, OnOnlyEmpty)
END_MESSAGE_MAP()

COverwriteInfoDlg::COverwriteInfoDlg(CWnd* pParent)
    : CHelpDialog(IDD_OVERWRITE_INFO, pParent, "dialog/overwrite_info_dialog.html")
{
}

INT_PTR COverwriteInfoDlg::DoModal()
{
    if (AfxGetApp()->GetProfileInt(kSection, "askoverwrite", 1) != 1)
        return IDOK;
    return CHelpDialog::DoModal();
}

BOOL COverwriteInfoDlg::OnInitDialog()
{
    CHelpDialog::OnInitDialog();
    CWinApp* app = AfxGetApp();
    UINT ask = app->GetProfileInt(kSection, "askoverwrite", 1);
    UINT overwrite = app->GetProfileInt(kSection, "overwrite", 1);
    CheckDlgButton(IDC_OVERWRITE_NEVER_ASK, (ask & 1) == 0);
    CheckDlgButton(IDC_OVERWRITE_RATE, (overwrite & OVERWRITE_RATE) != 0);
    CheckDlgButton(IDC_OVERWRITE_COMMENT, (overwrite & OVERWRITE_COMMENT) != 0);
    CheckDlgButton(IDC_OVERWRITE_ONLY_EMPTY, (overwrite & OVERWRITE_ONLY_EMPTY) != 0);
    OnOnlyEmpty();
    return TRUE;
}

void COverwriteInfoDlg::OnOnlyEmpty()
{
    BOOL free = !IsDlgButtonChecked(IDC_OVERWRITE_ONLY_EMPTY);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_OVERWRITE_RATE), free);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_OVERWRITE_COMMENT), free);
}

void COverwriteInfoDlg::OnOK()
{
    int overwrite = (IsDlgButtonChecked(IDC_OVERWRITE_RATE) ? OVERWRITE_RATE : 0) |
                    (IsDlgButtonChecked(IDC_OVERWRITE_COMMENT) ? OVERWRITE_COMMENT : 0) |
                    (IsDlgButtonChecked(IDC_OVERWRITE_ONLY_EMPTY) ? OVERWRITE_ONLY_EMPTY : 0);
    CWinApp* app = AfxGetApp();
    app->WriteProfileInt(kSection, "overwrite", overwrite);
    app->WriteProfileInt(kSection, "askoverwrite", IsDlgButtonChecked(IDC_OVERWRITE_NEVER_ASK) ? 0 : 1);
    EndDialog(IDOK);
}
