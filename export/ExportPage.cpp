// The base of the export wizard's pages and what they share.
#include "export/ExportPage.h"

#include "classlib/WinApp.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "export/ExportDlg.h"
#include "export/ScriptText.h"
#include "resources/resource.h"

namespace {

const char kSection[] = "export";
const int kLineFormats[] = {LINE_FORMAT_PC, LINE_FORMAT_UNIX, LINE_FORMAT_MAC};

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

void CExport2Dlg::FillLineFormats(int format)
{
    int selected = 0;
    for (int i = 0; i < 3; i++) {
        SendDlgItemMessage(IDC_EXPORT_FORMAT, CB_ADDSTRING, 0, LPARAM(LineFormatName(kLineFormats[i])));
        if (kLineFormats[i] == format)
            selected = i;
    }
    SendDlgItemMessage(IDC_EXPORT_FORMAT, CB_SETCURSEL, WPARAM(selected));
}

int CExport2Dlg::ReadLineFormat() const
{
    LRESULT selected = SendDlgItemMessage(IDC_EXPORT_FORMAT, CB_GETCURSEL);
    return selected >= 0 && selected < 3 ? kLineFormats[selected] : LINE_FORMAT_PC;
}

// ---------------------------------------------------------------------------
// The range controls

BEGIN_MESSAGE_MAP(CExportRangePage, CExport2Dlg)
    ON_BN_CLICKED(IDC_EXPORT_USE_RANGE, OnChange)
    ON_EN_CHANGE(IDC_EXPORT_RANGE_FROM, OnChange)
    ON_EN_CHANGE(IDC_EXPORT_RANGE_TO, OnChange)
END_MESSAGE_MAP()

CExportRangePage::CExportRangePage(UINT nIDTemplate, CExportDlg* wizard, const char* part)
    : CExport2Dlg(nIDTemplate, wizard), m_part(part)
{
    std::string suffix = std::string("-") + part;
    m_range.used = ExportSetting(("userange" + suffix).c_str(), 0) != 0;
    m_range.start = DWORD(ExportSetting(("range-start" + suffix).c_str(), 0));
    m_range.end = DWORD(ExportSetting(("range-end" + suffix).c_str(), 0));
}

void CExportRangePage::StoreRange() const
{
    std::string suffix = std::string("-") + m_part;
    StoreExportSetting(("userange" + suffix).c_str(), m_range.used ? 1 : 0);
    StoreExportSetting(("range-start" + suffix).c_str(), int(m_range.start));
    StoreExportSetting(("range-end" + suffix).c_str(), int(m_range.end));
}

void CExportRangePage::ShowRange(const ExportRange& range)
{
    CheckDlgButton(IDC_EXPORT_USE_RANGE, range.used ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemText(IDC_EXPORT_RANGE_FROM, std::to_string((unsigned long)range.start).c_str());
    SetDlgItemText(IDC_EXPORT_RANGE_TO, std::to_string((unsigned long)range.end).c_str());
    EnableRangeEdits();
}

void CExportRangePage::ShowStoredRange(ExportRange range)
{
    if (range.start == range.end) {
        range.start = 0;
        range.end = theCollection.GetMovieCount() > 0 ? theCollection.GetIdOfLastMovie() : 0;
    }
    ShowRange(range);
}

void CExportRangePage::EnableRangeEdits()
{
    bool use = IsDlgButtonChecked(IDC_EXPORT_USE_RANGE) == BST_CHECKED;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_EXPORT_RANGE_FROM), use);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_EXPORT_RANGE_TO), use);
}

bool CExportRangePage::ReadRange(ExportRange* range) const
{
    bool checked = IsDlgButtonChecked(IDC_EXPORT_USE_RANGE) == BST_CHECKED;
    DWORD from = 0, to = 0;
    bool valid = ReadId(GetDlgItemText(IDC_EXPORT_RANGE_FROM), &from) &&
                 ReadId(GetDlgItemText(IDC_EXPORT_RANGE_TO), &to) && to > from;
    if (checked && !valid)
        return false;
    range->used = checked;
    if (valid) {
        range->start = from;
        range->end = to;
    }
    return true;
}

bool CExportRangePage::RangeIsValid() const
{
    ExportRange range = m_range;
    return ReadRange(&range);
}

void CExportRangePage::OnChange()
{
    EnableRangeEdits();
    Validate();
}

void CExportRangePage::Validate()
{
    EnableNext(RangeIsValid());
}

// ---------------------------------------------------------------------------
// Settings and paths

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
