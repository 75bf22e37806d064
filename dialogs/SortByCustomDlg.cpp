#include "dialogs/SortByCustomDlg.h"

#include <memory>
#include <string>

#include "classlib/WinApp.h"
#include "resources/resource.h"

namespace {

// The cached script of the user-interface thread; none at start.
std::unique_ptr<std::string> g_script;

} // namespace

const char* LoadSaveCustomSortScript(CustomSortCommand command, const char* text)
{
    switch (command) {
    case CUSTOM_SORT_SET:
        g_script.reset(new std::string(text != nullptr ? text : ""));
        return g_script->c_str();
    case CUSTOM_SORT_LOAD:
        g_script.reset(new std::string(AfxGetApp()->GetProfileString("sortby", "custom", "")));
        return g_script->c_str();
    case CUSTOM_SORT_SAVE:
        if (g_script != nullptr)
            AfxGetApp()->WriteProfileString("sortby", "custom", g_script->c_str());
        g_script.reset();
        return nullptr;
    case CUSTOM_SORT_GET:
    default:
        return g_script != nullptr ? g_script->c_str() : "";
    }
}

BEGIN_MESSAGE_MAP(CSortByCustomDlg, CHelpDialog)
    ON_EN_CHANGE(IDC_SORT_SCRIPT, OnScriptChange)
END_MESSAGE_MAP()

CSortByCustomDlg::CSortByCustomDlg(CWnd* pParent)
    : CHelpDialog(IDD_SORT_BY_CUSTOM, pParent, "dialog/sort_by_custom_dialog.html")
{
}

BOOL CSortByCustomDlg::OnInitDialog()
{
    CHelpDialog::OnInitDialog();
    // The key is the script expanded for each movie: movie tokens count.
    m_script.SubclassDlgItem(IDC_SORT_SCRIPT, this);
    m_script.SetMovieContext(false, false);
    SetDlgItemText(IDC_SORT_SCRIPT, LoadSaveCustomSortScript(CUSTOM_SORT_GET));
    OnScriptChange();
    return TRUE;
}

void CSortByCustomDlg::OnScriptChange()
{
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), !GetDlgItemText(IDC_SORT_SCRIPT).empty());
}

void CSortByCustomDlg::OnOK()
{
    std::string script = GetDlgItemText(IDC_SORT_SCRIPT);
    if (script.empty())
        return;
    LoadSaveCustomSortScript(CUSTOM_SORT_SET, script.c_str());
    EndDialog(IDOK);
}
