#include "dialogs/LoanDlg.h"

#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "dialogs/AddPersonDlg.h"
#include "dialogs/PersonList.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CLoanDlg, CHelpDialog)
    ON_LBN_SELCHANGE(IDC_PERSONS_LIST, OnSelChange)
    ON_LBN_SELCANCEL(IDC_PERSONS_LIST, OnSelCancel)
    ON_BN_CLICKED(IDC_PERSONS_ADD, OnAddPerson)
END_MESSAGE_MAP()

CLoanDlg::CLoanDlg(CWnd* pParent)
    : CHelpDialog(IDD_LOAN, pParent, "dialog/loan_dialog.html"), m_personId(NO_ID)
{
}

BOOL CLoanDlg::OnInitDialog()
{
    CHelpDialog::OnInitDialog();
    char* prompt = NULL;
    StrAppendFormat(&prompt, "Choose the person who have borrowed %s:", m_title.c_str());
    SetDlgItemText(IDC_LOAN_PROMPT, prompt != NULL ? prompt : "");
    free(prompt);
    FillList();
    return TRUE;
}

void CLoanDlg::FillList()
{
    FillPersonList(::GetDlgItem(m_hWnd, IDC_PERSONS_LIST));
    OnSelCancel();
}

void CLoanDlg::OnSelChange()
{
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), TRUE);
}

void CLoanDlg::OnSelCancel()
{
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), FALSE);
}

void CLoanDlg::OnAddPerson()
{
    CAddPersonDlg dlg(this);
    if (dlg.DoModal() == IDOK)
        FillList();
}

void CLoanDlg::OnOK()
{
    LRESULT index = SendDlgItemMessage(IDC_PERSONS_LIST, LB_GETCURSEL);
    if (index == LB_ERR)
        return;
    LRESULT id = SendDlgItemMessage(IDC_PERSONS_LIST, LB_GETITEMDATA, WPARAM(index));
    if (id == LB_ERR)
        return;
    m_personId = DWORD(id);
    EndDialog(IDOK);
}
