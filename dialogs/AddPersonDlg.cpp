#include "dialogs/AddPersonDlg.h"

#include <memory>

#include "classlib/WinApp.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "dialogs/PersonLoans.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CAddPersonDlg, CHelpDialog)
    ON_EN_CHANGE(IDC_PERSON_NAME, OnNameChange)
END_MESSAGE_MAP()

CAddPersonDlg::CAddPersonDlg(CWnd* pParent)
    : CHelpDialog(IDD_ADD_PERSON, pParent, "dialog/add_person_dialog.html"), m_personId(NO_ID)
{
}

BOOL CAddPersonDlg::OnInitDialog()
{
    CHelpDialog::OnInitDialog();
    OnNameChange();
    return TRUE;
}

void CAddPersonDlg::OnNameChange()
{
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), !GetDlgItemText(IDC_PERSON_NAME).empty());
}

void CAddPersonDlg::OnOK()
{
    std::string name = GetDlgItemText(IDC_PERSON_NAME);
    if (name.empty())
        return;
    if (FindPersonByName(theCollection, name.c_str(), NO_ID) != NO_ID) {
        AfxShowMessageBox(m_hWnd, "There is already a person in your database with this name.\nPlease enter a different name.",
                          "Input error", MB_OK | MB_ICONSTOP);
        return;
    }
    std::unique_ptr<CPerson> person(new CPerson);
    StrSet(&person->m_name, name.c_str());
    StrSet(&person->m_address, GetDlgItemText(IDC_PERSON_ADDRESS).c_str());
    StrSet(&person->m_telephone, GetDlgItemText(IDC_PERSON_TELEPHONE).c_str());
    DWORD id = theCollection.AddPerson(person.get());
    if (id == NO_ID) {
        AfxShowMessageBox(m_hWnd, "Unable to add new person into database.\nSorry...", "Database error",
                          MB_OK | MB_ICONSTOP);
        return;
    }
    m_personId = id;
    EndDialog(IDOK);
}
