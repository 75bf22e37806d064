#include "dialogs/UpdateMovieFileDlg.h"

#include <cstdlib>

#include "classlib/WinApp.h"
#include "core/StrUtil.h"
#include "core/WndText.h"
#include "resources/resource.h"

// Values of "updatemoviefile"/"answer", taken modulo 3.
enum { ANSWER_ASK = 0, ANSWER_YES = 1, ANSWER_NO = 2 };

CUpdateMovieFileDlg::CUpdateMovieFileDlg(CWnd* pParent)
    : CDialog(IDD_UPDATE_MOVIE_FILE, pParent), m_oldPath(nullptr), m_newPath(nullptr)
{
}

CUpdateMovieFileDlg::~CUpdateMovieFileDlg()
{
    free(m_oldPath);
    free(m_newPath);
}

void CUpdateMovieFileDlg::SetPaths(const char* oldPath, const char* newPath)
{
    StrSet(&m_oldPath, oldPath);
    StrSet(&m_newPath, newPath);
}

BOOL CUpdateMovieFileDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    CWinApp* app = AfxGetApp();
    UINT answer = app != nullptr ? app->GetProfileInt("updatemoviefile", "answer", ANSWER_ASK) : 0;
    switch (answer % 3) {
    case ANSWER_YES:
        CheckDlgButton(IDC_UPDATEFILE_ALWAYS, BST_CHECKED);
        EndDialog(IDOK);
        break;
    case ANSWER_NO:
        CheckDlgButton(IDC_UPDATEFILE_ALWAYS, BST_CHECKED);
        EndDialog(IDCANCEL);
        break;
    default:
        CheckDlgButton(IDC_UPDATEFILE_ALWAYS, BST_UNCHECKED);
        SetWndText(::GetDlgItem(m_hWnd, IDC_UPDATEFILE_OLD), m_oldPath);
        SetWndText(::GetDlgItem(m_hWnd, IDC_UPDATEFILE_NEW), m_newPath);
        break;
    }
    return TRUE;
}

void CUpdateMovieFileDlg::StoreAnswer(int answer)
{
    CWinApp* app = AfxGetApp();
    if (app != nullptr && IsDlgButtonChecked(IDC_UPDATEFILE_ALWAYS) == BST_CHECKED)
        app->WriteProfileInt("updatemoviefile", "answer", answer);
}

void CUpdateMovieFileDlg::OnOK()
{
    StoreAnswer(ANSWER_YES);
    EndDialog(IDOK);
}

void CUpdateMovieFileDlg::OnCancel()
{
    StoreAnswer(ANSWER_NO);
    EndDialog(IDCANCEL);
}
