// The export wizard's script pages.
#include "export/ExportScriptPages.h"

#include "app/HelpTopic.h"
#include "classlib/FileDialog.h"
#include "core/ErrorBox.h"
#include "export/ExportDlg.h"
#include "resources/resource.h"

namespace {

const char kScriptFilter[] = "Vistrel Script file (*.vsc)|*.vsc|All Files (*.*)|*.*||";
const char kEmptyCaption[] = "Is this really what you want ?";

// The path chosen in an open or save dialog for script files; "" on cancel.
std::string ChooseScriptFile(CWnd* owner, bool open)
{
    DWORD flags = open ? OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST
                       : OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    CFileDialog dialog(open ? TRUE : FALSE, "vsc", NULL, flags, kScriptFilter, owner);
    return dialog.DoModal() == IDOK ? dialog.GetPathName() : std::string();
}

// Where Next leads from a script page: the covers when they are exported.
void NextAfterScript(CExportDlg* wizard, BYTE& step, BYTE& alternative)
{
    step = wizard->m_choosePage.m_saveCovers ? 4 : 5;
    alternative = 0;
}

} // namespace

std::string WorkingCopyPath(const char* name)
{
    std::string folder = ScriptsFolderOf(GetModulePath());
    if (!EnterFolder(folder.c_str()))
        return std::string();
    return folder + "\\" + name;
}

// ---------------------------------------------------------------------------
// The small files' script

BEGIN_MESSAGE_MAP(CExportSmallScriptPage, CExport2Dlg)
    ON_BN_CLICKED(IDC_EXPORT_LOAD_SCRIPT, OnLoad)
    ON_BN_CLICKED(IDC_EXPORT_SAVE_SCRIPT, OnSave)
END_MESSAGE_MAP()

CExportSmallScriptPage::CExportSmallScriptPage(CExportDlg* wizard)
    : CExport2Dlg(IDD_EXPORT_SMALL_SCRIPT, wizard), m_workingCopy(WorkingCopyPath(kCurrentSmallScript))
{
}

BOOL CExportSmallScriptPage::OnInitDialog()
{
    CExport2Dlg::OnInitDialog();
    m_edit.SubclassDlgItem(IDC_EXPORT_SCRIPT, this);
    m_edit.SetMovieContext(false, false);
    if (!m_workingCopy.empty())
        m_edit.LoadScriptFile(m_workingCopy.c_str(), false);
    m_script = m_edit.GetText(m_wizard->m_smallFilesPage.m_format);
    return TRUE;
}

void CExportSmallScriptPage::OnActivate(CWnd* title)
{
    title->SetWindowText("Enter export script for small files");
}

void CExportSmallScriptPage::OnLoad()
{
    std::string path = ChooseScriptFile(this, true);
    if (!path.empty())
        m_edit.LoadScriptFile(path.c_str(), true);
}

void CExportSmallScriptPage::OnSave()
{
    std::string path = ChooseScriptFile(this, false);
    if (!path.empty())
        m_edit.SaveScriptFile(path.c_str(), LINE_FORMAT_PC, true);
}

void CExportSmallScriptPage::GetPrevPage(BYTE& step, BYTE& alternative)
{
    step = 2;
    alternative = 2;
}

void CExportSmallScriptPage::GetNextPage(BYTE& step, BYTE& alternative)
{
    m_script = m_edit.GetText(m_wizard->m_smallFilesPage.m_format);
    if (m_script.empty() &&
        AskUser("The export script is empty. This will generate no output what so ever.", kEmptyCaption,
                MB_OKCANCEL | MB_ICONEXCLAMATION) == IDCANCEL)
        return;
    NextAfterScript(m_wizard, step, alternative);
}

void CExportSmallScriptPage::Apply()
{
    if (!m_workingCopy.empty())
        m_edit.SaveScriptFile(m_workingCopy.c_str(), LINE_FORMAT_PC, false);
}

// ---------------------------------------------------------------------------
// The big list's head, body and foot

BEGIN_MESSAGE_MAP(CExportBigScriptPage, CExport2Dlg)
    ON_BN_CLICKED(IDC_EXPORT_LOAD_SCRIPT, OnLoad)
    ON_BN_CLICKED(IDC_EXPORT_SAVE_SCRIPT, OnSave)
    ON_NOTIFY(TCN_SELCHANGE, IDC_EXPORT_SCRIPT_TABS, OnTabChange)
END_MESSAGE_MAP()

CExportBigScriptPage::CExportBigScriptPage(CExportDlg* wizard)
    : CExport2Dlg(IDD_EXPORT_BIG_SCRIPT, wizard), m_workingCopy(WorkingCopyPath(kCurrentBigScript)),
      m_shown(0)
{
}

BOOL CExportBigScriptPage::OnInitDialog()
{
    CExport2Dlg::OnInitDialog();
    m_tabs.SubclassDlgItem(IDC_EXPORT_SCRIPT_TABS, this);
    m_tabs.InsertItem(0, "head");
    m_tabs.InsertItem(1, "body");
    m_tabs.InsertItem(2, "foot");
    m_edit.SubclassDlgItem(IDC_EXPORT_SCRIPT, this);
    // The editor covers the tab control's display area.
    RECT area;
    m_tabs.GetWindowRect(&area);
    ScreenToClient(&area);
    m_tabs.AdjustRect(FALSE, &area);
    m_edit.SetWindowPos(HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top, 0);
    if (!m_workingCopy.empty())
        LoadThreePartScriptFile(m_workingCopy.c_str(), false, &m_parts);
    m_tabs.SetCurSel(0);
    ShowPart(0);
    return TRUE;
}

void CExportBigScriptPage::OnActivate(CWnd* title)
{
    title->SetWindowText("Edit scripts for big list");
}

std::string& CExportBigScriptPage::Part(int tab)
{
    return tab == 1 ? m_parts.body : (tab == 2 ? m_parts.foot : m_parts.head);
}

void CExportBigScriptPage::ShowPart(int tab)
{
    m_shown = tab;
    // Only the body is written for a movie.
    m_edit.SetMovieContext(tab != 1, false);
    m_edit.SetWindowText(Part(tab).c_str());
}

void CExportBigScriptPage::StoreShownPart()
{
    Part(m_shown) = m_edit.GetText(m_wizard->m_bigFilePage.m_format);
}

void CExportBigScriptPage::OnTabChange(NMHDR*, LRESULT* pResult)
{
    StoreShownPart();
    ShowPart(m_tabs.GetCurSel());
    *pResult = 0;
}

void CExportBigScriptPage::OnLoad()
{
    std::string path = ChooseScriptFile(this, true);
    if (!path.empty() && LoadThreePartScriptFile(path.c_str(), true, &m_parts))
        ShowPart(m_tabs.GetCurSel());
}

void CExportBigScriptPage::OnSave()
{
    StoreShownPart();
    std::string path = ChooseScriptFile(this, false);
    if (!path.empty())
        SaveThreePartScriptFile(path.c_str(), m_parts, true);
}

void CExportBigScriptPage::GetPrevPage(BYTE& step, BYTE& alternative)
{
    step = 2;
    alternative = 1;
}

void CExportBigScriptPage::GetNextPage(BYTE& step, BYTE& alternative)
{
    StoreShownPart();
    if (m_parts.head.empty() && m_parts.body.empty() && m_parts.foot.empty() &&
        AskUser("All of the body, head and foot scripts are empty. This will generate no output what so ever.",
                kEmptyCaption, MB_OKCANCEL | MB_ICONEXCLAMATION) == IDCANCEL)
        return;
    NextAfterScript(m_wizard, step, alternative);
}

void CExportBigScriptPage::Apply()
{
    if (!m_workingCopy.empty())
        SaveThreePartScriptFile(m_workingCopy.c_str(), m_parts, false);
}
