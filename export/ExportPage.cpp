// The base of the export wizard's pages and what they share.
#include "export/ExportPage.h"

#include "classlib/WinApp.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "export/ExportDlg.h"
#include "resources/resource.h"

namespace {

const char kSection[] = "export";
const int kLineFormats[] = {12, 13, 14};
const char* const kLineFormatNames[] = {"PC", "UNIX", "MAC"};

// A movie id typed in an edit; NO_ID itself is none.
bool ReadId(const std::string& text, DWORD* id)
{
    unsigned long long value = 0;
    if (!ParseDecimal(text.c_str(), NO_ID - 1, &value))
        return false;
    *id = DWORD(value);
    return true;
}

} // namespace

CExport2Dlg::CExport2Dlg(UINT nIDTemplate, CExportDlg* wizard)
    : CDialog(nIDTemplate, wizard), m_wizard(wizard)
{
}

void CExport2Dlg::GetPrevPage(BYTE&, BYTE&)
{
    ShowError(1, "CExport2Dlg should never handle anything");
}

void CExport2Dlg::OnActivate(CWnd*)
{
    ShowError(1, "CExport2Dlg should never handle anything");
}

void CExport2Dlg::GetNextPage(BYTE&, BYTE&)
{
    ShowError(1, "CExport2Dlg should never handle anything");
}

void CExport2Dlg::Apply()
{
    ShowError(1, "CExport2Dlg should never handle anything");
}

LRESULT CExport2Dlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && lParam == 0)
        return 0;
    return CDialog::WindowProc(message, wParam, lParam);
}

void CExport2Dlg::EnableNext(bool enable)
{
    if (m_wizard != NULL && m_wizard->m_hWnd != NULL)
        ::EnableWindow(::GetDlgItem(m_wizard->m_hWnd, IDC_EXPORT_NEXT), enable);
}

void CExport2Dlg::ShowRange(bool use, DWORD start, DWORD end)
{
    CheckDlgButton(IDC_EXPORT_USE_RANGE, use ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemText(IDC_EXPORT_RANGE_FROM, std::to_string((unsigned long)start).c_str());
    SetDlgItemText(IDC_EXPORT_RANGE_TO, std::to_string((unsigned long)end).c_str());
    EnableRangeEdits();
}

void CExport2Dlg::ShowStoredRange(bool use, DWORD start, DWORD end)
{
    if (start == end) {
        start = 0;
        end = theCollection.GetMovieCount() > 0 ? theCollection.GetIdOfLastMovie() : 0;
    }
    ShowRange(use, start, end);
}

void CExport2Dlg::EnableRangeEdits()
{
    bool use = IsDlgButtonChecked(IDC_EXPORT_USE_RANGE) == BST_CHECKED;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_EXPORT_RANGE_FROM), use);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_EXPORT_RANGE_TO), use);
}

bool CExport2Dlg::ReadRange(bool* use, DWORD* start, DWORD* end) const
{
    bool checked = IsDlgButtonChecked(IDC_EXPORT_USE_RANGE) == BST_CHECKED;
    DWORD from = 0, to = 0;
    bool valid = ReadId(GetDlgItemText(IDC_EXPORT_RANGE_FROM), &from) &&
                 ReadId(GetDlgItemText(IDC_EXPORT_RANGE_TO), &to) && to > from;
    if (checked && !valid)
        return false;
    *use = checked;
    if (valid) {
        *start = from;
        *end = to;
    }
    return true;
}

void CExport2Dlg::FillLineFormats(int format)
{
    int selected = 0;
    for (int i = 0; i < 3; i++) {
        SendDlgItemMessage(IDC_EXPORT_FORMAT, CB_ADDSTRING, 0, LPARAM(kLineFormatNames[i]));
        if (kLineFormats[i] == format)
            selected = i;
    }
    SendDlgItemMessage(IDC_EXPORT_FORMAT, CB_SETCURSEL, WPARAM(selected));
}

int CExport2Dlg::ReadLineFormat() const
{
    LRESULT selected = SendDlgItemMessage(IDC_EXPORT_FORMAT, CB_GETCURSEL);
    return selected >= 0 && selected < 3 ? kLineFormats[selected] : 12;
}

int ExportSetting(const char* entry, int defaultValue)
{
    return int(AfxGetApp()->GetProfileInt(kSection, entry, defaultValue));
}

std::string ExportSetting(const char* entry, const char* defaultValue)
{
    return AfxGetApp()->GetProfileString(kSection, entry, defaultValue);
}

void StoreExportSetting(const char* entry, int value)
{
    AfxGetApp()->WriteProfileInt(kSection, entry, value);
}

void StoreExportSetting(const char* entry, const std::string& value)
{
    AfxGetApp()->WriteProfileString(kSection, entry, value.c_str());
}

bool IsFullPath(const std::string& path)
{
    return path.size() > 2 && path[1] == ':' && path[2] == '\\';
}

bool IsValidExtension(const std::string& extension)
{
    return !extension.empty() && extension.find_first_of("?:\\/\"<>*|") == std::string::npos;
}
