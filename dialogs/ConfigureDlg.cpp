#include "dialogs/ConfigureDlg.h"

#include <cstdio>
#include <string>

#include "classlib/WinApp.h"
#include "core/StrUtil.h"
#include "dialogs/MakeSmallCoversDlg.h"
#include "resources/resource.h"

namespace {

// The check boxes that are one bit of a setting.
struct Option {
    int control;
    const char* section;
    const char* key;
    int defaultValue;
};
const Option kOptions[] = {
    { IDC_CONFIG_NAME_ALWAYS, "movie_name", "always", 1 },
    { IDC_CONFIG_NAME_SEVERE, "movie_name", "severe", 1 },
    { IDC_CONFIG_ASK_OVERWRITE, "update", "askoverwrite", 1 },
    { IDC_CONFIG_DVDRIP, "database", "show_dvdrip", 1 },
    { IDC_CONFIG_IMDB_RUNTIME, "script", "imdb_runtime", 0 },
    { IDC_CONFIG_SMALL_COVERS, "update", "force_small_cover", 0 },
    { IDC_CONFIG_KEEP_TITLE, "update", "dont_update_title", 0 },
    { IDC_CONFIG_KEEP_COVERS, "update", "no_new_cover", 0 },
    { IDC_CONFIG_AUTOLOAD, "open", "autoload_last", 1 },
};
const int kMaxRecent = 10;
const char kShrinkQuestion[] =
    "You have choosen to only download small covers from IMDb.\r\n"
    "If you wan't it to vistrel can make all your now downloaded big covers small.\r\n"
    "Your own custom covers are not affected.\r\n\r\n"
    "Do you wish for vistrel to shrink all big covers ?";

} // namespace

CConfigureDlg::CConfigureDlg(CWnd* pParent)
    : CHelpDialog(IDD_CONFIGURE, pParent, "dialog/configure_dialog.html")
{
}

BOOL CConfigureDlg::OnInitDialog()
{
    CHelpDialog::OnInitDialog();
    CWinApp* app = AfxGetApp();
    for (const Option& option : kOptions)
        CheckDlgButton(option.control, (app->GetProfileInt(option.section, option.key, option.defaultValue) & 1) != 0);
    // Asked again unless an answer is remembered (1 or 2 of 0-2).
    CheckDlgButton(IDC_CONFIG_ASK_UPDATE_FILE, app->GetProfileInt("updatemoviefile", "answer", 0) % 3 == 0);
    int recent = int(app->GetProfileInt("open", "recent", 4));
    recent = recent < 0 ? 0 : (recent > kMaxRecent ? kMaxRecent : recent);
    char text[16];
    std::snprintf(text, sizeof text, "%d", recent);
    SetDlgItemText(IDC_CONFIG_RECENT, text);
    return TRUE;
}

void CConfigureDlg::OnOK()
{
    std::string text = GetDlgItemText(IDC_CONFIG_RECENT);
    unsigned long long recent = 0;
    if (text.size() >= 3 || (!text.empty() && !ParseDecimal(text.c_str(), kMaxRecent, &recent))) {
        AfxShowMessageBox(m_hWnd, "The recent documents count can only be between 0 - 10.", "User error",
                          MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CWinApp* app = AfxGetApp();
    bool smallCoversOn = IsDlgButtonChecked(IDC_CONFIG_SMALL_COVERS) &&
                         (app->GetProfileInt("update", "force_small_cover", 0) & 1) == 0;
    for (const Option& option : kOptions)
        app->WriteProfileInt(option.section, option.key, IsDlgButtonChecked(option.control) ? 1 : 0);
    app->WriteProfileInt("open", "recent", int(recent));
    // Checked: ask again. Unchecked: a remembered answer stays, else Yes.
    if (IsDlgButtonChecked(IDC_CONFIG_ASK_UPDATE_FILE))
        app->WriteProfileInt("updatemoviefile", "answer", 0);
    else if (app->GetProfileInt("updatemoviefile", "answer", 0) == 0)
        app->WriteProfileInt("updatemoviefile", "answer", 1);
    // Switching small covers on offers to shrink the large covers stored.
    if (smallCoversOn &&
        AfxShowMessageBox(m_hWnd, kShrinkQuestion, app->m_pszAppName, MB_YESNO | MB_ICONQUESTION) == IDYES) {
        CMakeSmallCoversDlg covers(this);
        covers.DoModal();
    }
    EndDialog(IDOK);
}
