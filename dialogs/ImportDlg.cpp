#include "dialogs/ImportDlg.h"

#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <utility>

#include "classlib/FileDialog.h"
#include "classlib/WinApp.h"
#include "core/MovieCollection.h"
#include "dialogs/ImportTextDlg.h"
#include "resources/resource.h"

namespace {

const char* const kHelpTopic = "dialog/import_dialog.html";
const char* const kNoDivider = "[none]";

// Valid UTF-8 lines become text of the program's code page.
std::string Utf8ToAnsi(const std::string& utf8)
{
    int wide = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), NULL, 0);
    if (wide <= 0)
        return utf8;
    std::wstring text(size_t(wide), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &text[0], wide);
    int bytes = ::WideCharToMultiByte(CP_ACP, 0, text.data(), wide, NULL, 0, "?", NULL);
    if (bytes <= 0)
        return utf8;
    std::string out(size_t(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), wide, &out[0], bytes, "?", NULL);
    return out;
}

} // namespace

BEGIN_MESSAGE_MAP(CImportDlg, CHelpDialog)
    ON_EN_CHANGE(IDC_IMPORT_FILE, OnFileChange)
    ON_BN_CLICKED(IDC_IMPORT_BROWSE, OnBrowse)
    ON_BN_CLICKED(IDC_IMPORT_RUN, OnImport)
    ON_BN_CLICKED(IDC_IMPORT_ADD, OnAdd)
    ON_BN_CLICKED(IDC_IMPORT_ADD_ALL, OnAddAll)
END_MESSAGE_MAP()

CImportDlg::CImportDlg(CWnd* pParent)
    : CHelpDialog(IDD_IMPORT, pParent, kHelpTopic), m_collection(&theCollection)
{
}

BOOL CImportDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    static const char* const kDataDividers[] = {";", ",", ":", "[space]", "[tab]"};
    static const char* const kStringDividers[] = {"\"", "'", kNoDivider};
    for (const char* text : kDataDividers)
        SendDlgItemMessage(IDC_IMPORT_TEXTDIV, CB_ADDSTRING, 0, LPARAM(text));
    for (const char* text : kStringDividers)
        SendDlgItemMessage(IDC_IMPORT_STRINGDIV, CB_ADDSTRING, 0, LPARAM(text));
    // A divider is one character: typing and pasting stop there. The listed
    // names ("[tab]") and the stored texts are set, not typed, so they pass.
    SendDlgItemMessage(IDC_IMPORT_TEXTDIV, CB_LIMITTEXT, 1, 0);
    SendDlgItemMessage(IDC_IMPORT_STRINGDIV, CB_LIMITTEXT, 1, 0);
    CWinApp* app = AfxGetApp();
    SetDlgItemText(IDC_IMPORT_TEXTDIV, app->GetProfileString("import", "textdiv", "").c_str());
    SetDlgItemText(IDC_IMPORT_STRINGDIV, app->GetProfileString("import", "stringdiv", "").c_str());

    ListView_SetExtendedListViewStyle(::GetDlgItem(m_hWnd, IDC_IMPORT_LIST), LVS_EX_FULLROWSELECT);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>("Movies");
    column.cx = 100;
    SendDlgItemMessage(IDC_IMPORT_LIST, LVM_INSERTCOLUMNA, 0, LPARAM(&column));

    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_IMPORT_RUN), FALSE);
    EnableAddButtons();
    return TRUE;
}

void CImportDlg::OnFileChange()
{
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_IMPORT_RUN),
                   ::GetWindowTextLengthA(::GetDlgItem(m_hWnd, IDC_IMPORT_FILE)) > 0);
}

void CImportDlg::OnBrowse()
{
    CFileDialog dialog(TRUE, NULL, NULL, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                       "Textfile (*.txt)|*.txt|All Files (*.*)|*.*||", this);
    if (dialog.DoModal() == IDOK)
        SetDlgItemText(IDC_IMPORT_FILE, dialog.GetPathName().c_str());
}

bool CImportDlg::ReadDivider(int id, char* divider) const
{
    std::string text = GetDlgItemText(id);
    if (text == "[space]")
        *divider = ' ';
    else if (text == "[tab]")
        *divider = '\t';
    else if (text.empty() || text == kNoDivider)
        *divider = '\0';
    else if (text.size() == 1)
        *divider = text[0];
    else
        return false;
    return true;
}

void CImportDlg::OnImport()
{
    if (::GetWindowTextLengthA(::GetDlgItem(m_hWnd, IDC_IMPORT_FILE)) == 0) {
        AfxShowMessageBox(m_hWnd, "You must enter a file to import data from.", "User error",
                          MB_OK | MB_ICONSTOP);
        return;
    }
    std::unique_ptr<FILE, int (*)(FILE*)> file(fopen(GetDlgItemText(IDC_IMPORT_FILE).c_str(), "rb"),
                                               fclose);
    if (file == NULL) {
        AfxShowMessageBox(m_hWnd, "Unable to open specified file.", "File error", MB_OK | MB_ICONSTOP);
        return;
    }

    char dataDivider = 0, stringDivider = 0;
    if (GetDlgItemText(IDC_IMPORT_TEXTDIV).empty()) {
        AfxShowMessageBox(m_hWnd, "You must enter or choose a character dividing each data-field.",
                          "User error", MB_OK | MB_ICONSTOP);
        return;
    }
    if (!ReadDivider(IDC_IMPORT_TEXTDIV, &dataDivider)) {
        AfxShowMessageBox(m_hWnd, "The dividing character must be ONE character only.", "User error",
                          MB_OK | MB_ICONSTOP);
        return;
    }
    if (!ReadDivider(IDC_IMPORT_STRINGDIV, &stringDivider)) {
        AfxShowMessageBox(m_hWnd, "The string dividing character must at most be ONE character only.",
                          "User error", MB_OK | MB_ICONSTOP);
        return;
    }

    std::vector<std::string> lines;
    if (!ReadImportLines(file.get(), lines, Utf8ToAnsi)) {
        AfxShowMessageBox(m_hWnd, "Error reading text file", "File error", MB_OK | MB_ICONSTOP);
        return;
    }
    file.reset();
    ImportTable table;
    switch (ParseImportLines(lines, dataDivider, stringDivider, table)) {
    case IMPORT_PARSED:
        break;
    case IMPORT_NEWLINE_IN_STRING:
        AfxShowMessageBox(m_hWnd, "Format error, a newline in a string.", "Format error",
                          MB_OK | MB_ICONSTOP);
        return;
    case IMPORT_NO_FIELDS:
        AfxShowMessageBox(m_hWnd, "Found no datafields on first line, wrong textdivider ?",
                          "Format error", MB_OK | MB_ICONSTOP);
        return;
    default:
        AfxShowMessageBox(m_hWnd, "Error reading text format", "File error", MB_OK | MB_ICONSTOP);
        return;
    }

    CImportTextDlg fields(this);
    fields.SetSample(table.lines[table.sample]);
    if (fields.DoModal() != IDOK)
        return;
    m_mapping = fields.GetMapping();
    m_rows = BuildImportRows(std::move(table), m_mapping);

    HWND list = ::GetDlgItem(m_hWnd, IDC_IMPORT_LIST);
    ListView_DeleteAllItems(list);
    for (size_t i = 0; i < m_rows.size(); i++) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = int(i);
        item.pszText = const_cast<char*>(m_rows[i].title.c_str());
        item.lParam = LPARAM(i);
        SendDlgItemMessage(IDC_IMPORT_LIST, LVM_INSERTITEMA, 0, LPARAM(&item));
    }
    EnableAddButtons();
}

bool CImportDlg::AddRow(CImportAdder& adder, int item)
{
    LVITEMA lvItem = {};
    lvItem.mask = LVIF_PARAM;
    lvItem.iItem = item;
    if (!SendDlgItemMessage(IDC_IMPORT_LIST, LVM_GETITEMA, 0, LPARAM(&lvItem)) || lvItem.lParam < 0 ||
        size_t(lvItem.lParam) >= m_rows.size())
        return true;
    ImportRow& row = m_rows[size_t(lvItem.lParam)];
    if (row.added || adder.Add(row))
        return true;
    AfxShowMessageBox(m_hWnd, "Unable to add Movie, unknown error", "Database error", MB_OK | MB_ICONSTOP);
    return false;
}

void CImportDlg::OnAdd()
{
    HWND list = ::GetDlgItem(m_hWnd, IDC_IMPORT_LIST);
    CImportAdder adder(*m_collection, m_mapping);
    // Highest index first, so removing an item keeps the others' indexes.
    for (int item = ListView_GetItemCount(list) - 1; item >= 0; item--) {
        if ((ListView_GetItemState(list, item, LVIS_SELECTED) & LVIS_SELECTED) == 0)
            continue;
        if (AddRow(adder, item))
            ListView_DeleteItem(list, item);
    }
    EnableAddButtons();
}

void CImportDlg::OnAddAll()
{
    HWND list = ::GetDlgItem(m_hWnd, IDC_IMPORT_LIST);
    CImportAdder adder(*m_collection, m_mapping);
    int count = ListView_GetItemCount(list);
    for (int item = 0; item < count; item++)
        AddRow(adder, item);
    ListView_DeleteAllItems(list);
    EnableAddButtons();
}

void CImportDlg::EnableAddButtons()
{
    BOOL any = ListView_GetItemCount(::GetDlgItem(m_hWnd, IDC_IMPORT_LIST)) > 0;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_IMPORT_ADD), any);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_IMPORT_ADD_ALL), any);
}

void CImportDlg::OnOK()
{
    CWinApp* app = AfxGetApp();
    app->WriteProfileString("import", "textdiv", GetDlgItemText(IDC_IMPORT_TEXTDIV).c_str());
    app->WriteProfileString("import", "stringdiv", GetDlgItemText(IDC_IMPORT_STRINGDIV).c_str());
    EndDialog(IDOK);
}
