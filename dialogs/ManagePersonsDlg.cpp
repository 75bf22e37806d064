#include "dialogs/ManagePersonsDlg.h"

#include <algorithm>
#include <string>

#include "classlib/WinApp.h"
#include "core/MovieCollection.h"
#include "dialogs/AddPersonDlg.h"
#include "dialogs/PersonInfoDlg.h"
#include "dialogs/PersonList.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CManagePersonsDlg, CHelpDialog)
    ON_LBN_SELCHANGE(IDC_PERSONS_LIST, OnSelChange)
    ON_LBN_SELCANCEL(IDC_PERSONS_LIST, OnSelChange)
    ON_BN_CLICKED(IDC_PERSONS_ADD, OnAddPerson)
    ON_BN_CLICKED(IDC_PERSONS_REMOVE, OnRemovePersons)
    ON_BN_CLICKED(IDC_PERSONS_INFO, OnShowInfo)
END_MESSAGE_MAP()

CManagePersonsDlg::CManagePersonsDlg(CWnd* pParent)
    : CHelpDialog(IDD_MANAGE_PERSONS, pParent, "dialog/manage_persons_dialog.html")
{
}

BOOL CManagePersonsDlg::OnInitDialog()
{
    CHelpDialog::OnInitDialog();
    FillList();
    return TRUE;
}

HWND CManagePersonsDlg::List() const
{
    return ::GetDlgItem(m_hWnd, IDC_PERSONS_LIST);
}

void CManagePersonsDlg::FillList()
{
    HWND list = List();
    std::vector<DWORD> selected = SelectedPersonIds(list);
    FillPersonList(list);
    LRESULT count = ::SendMessage(list, LB_GETCOUNT, 0, 0);
    for (LRESULT line = 0; line < count; line++) {
        DWORD id = DWORD(::SendMessage(list, LB_GETITEMDATA, WPARAM(line), 0));
        if (std::find(selected.begin(), selected.end(), id) != selected.end())
            ::SendMessage(list, LB_SETSEL, TRUE, line);
    }
    OnSelChange();
}

void CManagePersonsDlg::OnSelChange()
{
    BOOL any = ::SendMessage(List(), LB_GETSELCOUNT, 0, 0) > 0;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_PERSONS_INFO), any);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_PERSONS_REMOVE), any);
}

void CManagePersonsDlg::OnAddPerson()
{
    CAddPersonDlg dlg(this);
    if (dlg.DoModal() != IDOK)
        return;
    FillList();
    CPerson* person = theCollection.GetPersonCopy(dlg.GetPersonId());
    std::string name = person != NULL && person->m_name != NULL ? person->m_name : "";
    theCollection.ReleasePersonCopy(&person);
    HWND list = List();
    LRESULT line = ::SendMessage(list, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(name.c_str()));
    // The new person's line alone is selected.
    ::SendMessage(list, LB_SETSEL, FALSE, -1);
    if (line != LB_ERR)
        ::SendMessage(list, LB_SETSEL, TRUE, line);
    OnSelChange();
}

void CManagePersonsDlg::OnRemovePersons()
{
    std::vector<DWORD> ids = SelectedPersonIds(List());
    if (AfxShowMessageBox(m_hWnd, "Warning!\nAll data associated with these selected persons will be deleted.",
                          "Warning", MB_OKCANCEL | MB_ICONEXCLAMATION) == IDCANCEL)
        return;
    for (DWORD id : ids)
        theCollection.RemovePerson(id);
    FillList();
}

void CManagePersonsDlg::OnShowInfo()
{
    HWND list = List();
    LRESULT line = ::SendMessage(list, LB_GETANCHORINDEX, 0, 0);
    if (line == LB_ERR || line >= ::SendMessage(list, LB_GETCOUNT, 0, 0))
        return;
    LRESULT id = ::SendMessage(list, LB_GETITEMDATA, WPARAM(line), 0);
    if (id == LB_ERR)
        return;
    CPersonInfoDlg dlg(this);
    dlg.SetPersonId(DWORD(id));
    INT_PTR result = dlg.DoModal();
    if (result == IDOK && dlg.IsLocateChosen()) {
        EndDialog(IDOK);
        return;
    }
    FillList();
}
