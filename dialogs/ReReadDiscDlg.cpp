#include "dialogs/ReReadDiscDlg.h"

#include <string>

#include "classlib/WinApp.h"
#include "core/Disc.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "dialogs/DiscReRead.h"
#include "resources/resource.h"

namespace {

const char* const kHelpTopic = "dialog/re_read_disc_dialog.html";

} // namespace

BEGIN_MESSAGE_MAP(CReReadDiscDlg, CHelpDialog)
    ON_BN_CLICKED(IDC_REREAD_ONLYINFO, OnOnlyInfo)
    ON_BN_CLICKED(IDC_REREAD_READD, OnReAdd)
END_MESSAGE_MAP()

CReReadDiscDlg::CReReadDiscDlg(CWnd* pParent)
    : CHelpDialog(IDD_REREAD_DISC, pParent, kHelpTopic), m_discId(NO_ID)
{
}

BOOL CReReadDiscDlg::OnInitDialog()
{
    CHelpDialog::OnInitDialog();
    CDisc* disc = m_discId != NO_ID ? theCollection.GetDiscCopy(m_discId) : nullptr;
    if (disc != nullptr) {
        std::string prompt = "Please insert CD-ROM/DVD labeld ";
        prompt += disc->m_name != nullptr && *disc->m_name != 0 ? disc->m_name : "[untitled]";
        SetDlgItemText(IDC_REREAD_PROMPT, prompt.c_str());
        CWinApp* app = AfxGetApp();
        bool onlyInfo = app == nullptr || app->GetProfileInt("re-read", "onlyinfo", 1) == 1;
        CheckDlgButton(IDC_REREAD_ONLYINFO, onlyInfo ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(IDC_REREAD_READD, onlyInfo ? BST_UNCHECKED : BST_CHECKED);
    }
    theCollection.ReleaseDiscCopy(&disc);
    return TRUE;
}

void CReReadDiscDlg::OnOnlyInfo()
{
    CheckDlgButton(IDC_REREAD_ONLYINFO, BST_CHECKED);
    CheckDlgButton(IDC_REREAD_READD, BST_UNCHECKED);
}

void CReReadDiscDlg::OnReAdd()
{
    CheckDlgButton(IDC_REREAD_ONLYINFO, BST_UNCHECKED);
    CheckDlgButton(IDC_REREAD_READD, BST_CHECKED);
}

void CReReadDiscDlg::OnOK()
{
    bool onlyInfo = IsDlgButtonChecked(IDC_REREAD_ONLYINFO) == BST_CHECKED;
    CWinApp* app = AfxGetApp();
    if (app != nullptr)
        app->WriteProfileInt("re-read", "onlyinfo", onlyInfo ? 1 : 0);

    CDisc* disc = m_discId != NO_ID ? theCollection.GetDiscCopy(m_discId) : nullptr;
    if (disc == nullptr) {
        ShowError(0, "This CD-ROM/DVD doesn't exist in database");
        return;
    }
    std::string name = disc->m_name != nullptr ? disc->m_name : "";
    std::string serial = disc->m_serialNumber != nullptr ? disc->m_serialNumber : "";
    theCollection.ReleaseDiscCopy(&disc);

    bool matched = false;
    DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; i++) {
        char letter = char('a' + i);
        if ((drives & (1u << i)) == 0 || !DriveHoldsDisc(letter, name.c_str(), serial.c_str()))
            continue;
        matched = true;
        if (onlyInfo)
            ReReadDiscInfo(m_discId, letter);
        else
            ReAddDiscFiles(m_discId, letter);
    }
    if (!matched) {
        ShowError(0, "A CD-ROM/DVD with the correct Volumename and Serial Number was not to be found");
        return;
    }
    EndDialog(IDOK);
}
