#include "dialogs/NameCheckDlg.h"

#include <cstdint>
#include <cstdlib>
#include <string>

#include "classlib/WinApp.h"
#include "core/MovieFile.h"
#include "core/StrUtil.h"
#include "core/WndText.h"
#include "resources/resource.h"

namespace {

const char* const kHelpTopic = "dialog/name_check_dialog.html";

} // namespace

int32_t ParseCount(const std::string& text)
{
    if (text.empty())
        return -1;
    long long value = strtoll(text.c_str(), NULL, 10);
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return int32_t(value);
}

BEGIN_MESSAGE_MAP(CNameCheckDlg, CHelpDialog)
    ON_EN_CHANGE(IDC_NAMECHECK_NAME, OnNameChange)
END_MESSAGE_MAP()

CNameCheckDlg::CNameCheckDlg(CWnd* pParent)
    : CHelpDialog(IDD_NAME_CHECK, pParent, kHelpTopic), m_file(nullptr), m_vcd(false), m_prompt(nullptr),
      m_name(nullptr), m_partNumber(-1)
{
}

CNameCheckDlg::~CNameCheckDlg()
{
    free(m_prompt);
    free(m_name);
}

void CNameCheckDlg::SetFile(const CMovieFile* file, bool vcd)
{
    m_file = file;
    m_vcd = vcd;
    StrSet(&m_prompt, vcd ? "As this is a SVCD/VCD, you probably need to check my guess"
                          : "Please check if my guess of name is correct");
}

void CNameCheckDlg::GetResult(char** name, int32_t* partNumber) const
{
    if (name != nullptr)
        StrSet(name, m_name);
    if (partNumber != nullptr)
        *partNumber = m_partNumber;
}

BOOL CNameCheckDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    std::string path;
    const char* title = nullptr;
    int32_t partNumber = -1;
    if (m_file != nullptr) {
        path = RecordPath(m_file->m_folder, m_file->m_fileName);
        title = m_file->m_movieTitle;
        partNumber = m_file->m_partNumber;
    }
    SetWndText(::GetDlgItem(m_hWnd, IDC_NAMECHECK_PATH), path.c_str());
    SetWndText(::GetDlgItem(m_hWnd, IDC_NAMECHECK_NAME), title);
    SetWndText(::GetDlgItem(m_hWnd, IDC_NAMECHECK_PROMPT), m_prompt);
    if (partNumber >= 0)
        SetWndLong(::GetDlgItem(m_hWnd, IDC_NAMECHECK_COUNT), partNumber);
    else
        SetWndText(::GetDlgItem(m_hWnd, IDC_NAMECHECK_COUNT), "");

    // A stored 0 means the user asked not to see this form again.
    CWinApp* app = AfxGetApp();
    int shown = app != nullptr ? int(app->GetProfileInt("movie_name", SettingName(), 1)) : 1;
    CheckDlgButton(IDC_NAMECHECK_NEVER, shown == 0 ? BST_CHECKED : BST_UNCHECKED);

    OnNameChange();
    return TRUE;
}

void CNameCheckDlg::OnNameChange()
{
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK),
                   ::GetWindowTextLengthA(::GetDlgItem(m_hWnd, IDC_NAMECHECK_NAME)) > 0);
}

void CNameCheckDlg::OnOK()
{
    std::string name = GetDlgItemText(IDC_NAMECHECK_NAME);
    if (name.empty())
        return;
    StrSet(&m_name, name.c_str());
    m_partNumber = ParseCount(GetDlgItemText(IDC_NAMECHECK_COUNT));

    CWinApp* app = AfxGetApp();
    if (app != nullptr) {
        bool never = IsDlgButtonChecked(IDC_NAMECHECK_NEVER) == BST_CHECKED;
        app->WriteProfileInt("movie_name", SettingName(), never ? 0 : 1);
    }
    EndDialog(IDOK);
}
