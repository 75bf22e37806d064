#include "dialogs/EditFileDlg.h"

#include <string>

#include "core/MovieCollection.h"
#include "core/MovieFile.h"
#include "core/WndText.h"
#include "dialogs/NameCheckDlg.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CEditFileDlg, CDialog)
    ON_EN_CHANGE(IDC_EDITFILE_COUNT, OnCountChange)
END_MESSAGE_MAP()

CEditFileDlg::CEditFileDlg(CWnd* pParent) : CDialog(IDD_EDIT_FILE, pParent), m_fileId(NO_ID), m_partNumber(-1)
{
}

BOOL CEditFileDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CMovieFile* file = m_fileId != NO_ID ? theCollection.GetFileCopy(m_fileId) : nullptr;
    if (file == nullptr) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    SetWndText(::GetDlgItem(m_hWnd, IDC_EDITFILE_NAME), file->m_fileName);
    m_partNumber = file->m_partNumber;
    SetDlgItemText(IDC_EDITFILE_COUNT, m_partNumber >= 0 ? std::to_string(m_partNumber).c_str() : "");
    theCollection.ReleaseFileCopy(&file);

    HWND count = ::GetDlgItem(m_hWnd, IDC_EDITFILE_COUNT);
    ::SendMessage(count, EM_SETSEL, 0, -1);
    ::SendMessage(count, EM_SCROLLCARET, 0, 0);
    OnCountChange();
    ::SetFocus(count);
    return FALSE;  // the focus is set
}

void CEditFileDlg::OnCountChange()
{
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), ::GetWindowTextLength(::GetDlgItem(m_hWnd, IDC_EDITFILE_COUNT)) > 0);
}

void CEditFileDlg::OnOK()
{
    std::string text = GetDlgItemText(IDC_EDITFILE_COUNT);
    if (text.empty())
        return;
    m_partNumber = ParseCount(text);
    EndDialog(IDOK);
}
