#include "dialogs/ImportTextDlg.h"

#include <cstdio>

#include "classlib/WinApp.h"
#include "core/WndText.h"
#include "resources/resource.h"

namespace {

const char* const kHelpTopic = "dialog/import_line_dialog.html";

std::string FieldSetting(int box)
{
    char entry[16];
    std::snprintf(entry, sizeof(entry), "field%d", box + 1);
    return entry;
}

} // namespace

BEGIN_MESSAGE_MAP(CImportTextDlg, CHelpDialog)
    ON_CONTROL_RANGE(CBN_SELCHANGE, IDC_IMPORT_FIELD1, IDC_IMPORT_FIELD7, OnFieldChange)
END_MESSAGE_MAP()

CImportTextDlg::CImportTextDlg(CWnd* pParent) : CHelpDialog(IDD_IMPORT_TEXT, pParent, kHelpTopic)
{
}

BOOL CImportTextDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CWinApp* app = AfxGetApp();
    std::vector<std::string> choices;
    for (int box = 0; box < kImportBoxCount; box++) {
        SetWndText(::GetDlgItem(m_hWnd, IDC_IMPORT_SAMPLE1 + box),
                   size_t(box) < m_sample.size() ? m_sample[size_t(box)].c_str() : "");
        choices.push_back(app->GetProfileString("import_text", FieldSetting(box).c_str(), ""));
        if (size_t(box) >= m_sample.size())
            choices.back() = kImportSkip;
    }
    FillBoxes(choices);
    CheckDlgButton(IDC_IMPORT_OVERWRITE_ID,
                   app->GetProfileInt("import_text", "overwrite_id", 0) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_IMPORT_OVERWRITE_NAME,
                   app->GetProfileInt("import_text", "overwrite_name", 0) ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

std::vector<std::string> CImportTextDlg::ReadChoices() const
{
    std::vector<std::string> choices;
    for (int box = 0; box < kImportBoxCount; box++)
        choices.push_back(GetDlgItemText(IDC_IMPORT_FIELD1 + box));
    return choices;
}

void CImportTextDlg::FillBoxes(const std::vector<std::string>& choices)
{
    for (int box = 0; box < kImportBoxCount; box++) {
        int id = IDC_IMPORT_FIELD1 + box;
        SendDlgItemMessage(id, CB_RESETCONTENT);
        for (const std::string& option : ImportBoxOptions(choices, size_t(box), m_sample.size()))
            SendDlgItemMessage(id, CB_ADDSTRING, 0, LPARAM(option.c_str()));
        // A text that is not offered leaves the box on "[skip]", the last item.
        LRESULT index = SendDlgItemMessage(id, CB_FINDSTRINGEXACT, WPARAM(-1),
                                           LPARAM(choices[size_t(box)].c_str()));
        if (index == CB_ERR)
            index = SendDlgItemMessage(id, CB_GETCOUNT) - 1;
        SendDlgItemMessage(id, CB_SETCURSEL, WPARAM(index));
    }
}

void CImportTextDlg::OnFieldChange(UINT)
{
    std::vector<std::string> choices = ReadChoices();
    NormaliseImportChoices(choices, m_sample.size());
    FillBoxes(choices);
}

void CImportTextDlg::OnOK()
{
    std::vector<std::string> choices = ReadChoices();
    ImportMapping mapping = MappingFromChoices(choices);
    if (mapping.field[IMPORT_TITLE] < 0) {
        AfxShowMessageBox(m_hWnd, "You must choose a field for the movie title.", "User error",
                          MB_OK | MB_ICONWARNING);
        return;
    }
    mapping.overwriteId = IsDlgButtonChecked(IDC_IMPORT_OVERWRITE_ID) == BST_CHECKED;
    mapping.overwriteName = IsDlgButtonChecked(IDC_IMPORT_OVERWRITE_NAME) == BST_CHECKED;
    CWinApp* app = AfxGetApp();
    for (int box = 0; box < kImportBoxCount; box++)
        app->WriteProfileString("import_text", FieldSetting(box).c_str(), choices[size_t(box)].c_str());
    app->WriteProfileInt("import_text", "overwrite_id", mapping.overwriteId ? 1 : 0);
    app->WriteProfileInt("import_text", "overwrite_name", mapping.overwriteName ? 1 : 0);
    m_mapping = mapping;
    EndDialog(IDOK);
}
