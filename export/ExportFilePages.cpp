// The export wizard's choice pages.
#include "export/ExportFilePages.h"

#include "classlib/FileDialog.h"
#include "core/MovieCollection.h"
#include "export/ExportDlg.h"
#include "export/ExportShell.h"
#include "resources/resource.h"

namespace {

const int kSortCodes[] = {44, 55, 66, 77, 88};
const char* const kSortNames[] = {"Sort by ID", "Sort by Title", "Sort by Type", "Sort by Genre", "Sort by Custom"};
const int kDescending = 51;
const int kNameByTitle = 31;
const int kNameById = 14;
const char kFileFilter[] =
    "Text file (*.txt)|*.txt|Info file (*.nfo)|*.nfo|HyperText Document (*.htm;*.html)|*.htm; *.html|All Files (*.*)|*.*||";

void AddStrings(CWnd* page, int id, const char* const* texts, int count, int selected)
{
    for (int i = 0; i < count; i++)
        page->SendDlgItemMessage(id, CB_ADDSTRING, 0, LPARAM(texts[i]));
    page->SendDlgItemMessage(id, CB_SETCURSEL, WPARAM(selected));
}

int Selection(const CWnd* page, int id)
{
    return int(page->SendDlgItemMessage(id, CB_GETCURSEL));
}

} // namespace

// ---------------------------------------------------------------------------
// What to export

BEGIN_MESSAGE_MAP(CExportChoosePage, CExport2Dlg)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_EXPORT_ONE_BIG, IDC_EXPORT_PER_MOVIE, OnRadio)
END_MESSAGE_MAP()

CExportChoosePage::CExportChoosePage(CExportDlg* wizard)
    : CExport2Dlg(IDD_EXPORT_CHOOSE, wizard),
      m_oneBigList(ExportSetting("one_big_list", 1)),
      m_templates(m_oneBigList == 0 ? ExportSetting("templates", 0) : 0),
      m_saveCovers(ExportSetting("savecovers", 1))
{
}

BOOL CExportChoosePage::OnInitDialog()
{
    CExport2Dlg::OnInitDialog();
    SelectRadio(m_oneBigList ? IDC_EXPORT_ONE_BIG : (m_templates ? IDC_EXPORT_TEMPLATES : IDC_EXPORT_PER_MOVIE));
    CheckDlgButton(IDC_EXPORT_SAVE_COVERS, m_saveCovers ? BST_CHECKED : BST_UNCHECKED);
    // No templates come with the program yet.
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_EXPORT_TEMPLATES), FALSE);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_EXPORT_TEMPLATE_LIST), FALSE);
    return TRUE;
}

// The radio buttons are set one by one: the automatic group skips the
// disabled templates button, which would stay checked, and the covers check
// box lies among their ids.
void CExportChoosePage::SelectRadio(int id)
{
    for (int radio : {IDC_EXPORT_ONE_BIG, IDC_EXPORT_PER_MOVIE, IDC_EXPORT_TEMPLATES})
        CheckDlgButton(radio, radio == id ? BST_CHECKED : BST_UNCHECKED);
}

void CExportChoosePage::OnRadio(UINT nID)
{
    SelectRadio(int(nID));
}

void CExportChoosePage::OnActivate(CWnd* title)
{
    title->SetWindowText("What would you like to do?");
}

void CExportChoosePage::GetNextPage(BYTE& step, BYTE& alternative)
{
    m_oneBigList = IsDlgButtonChecked(IDC_EXPORT_ONE_BIG) == BST_CHECKED;
    m_templates = IsDlgButtonChecked(IDC_EXPORT_TEMPLATES) == BST_CHECKED;
    m_saveCovers = IsDlgButtonChecked(IDC_EXPORT_SAVE_COVERS) == BST_CHECKED;
    if (m_templates)
        return;
    step = 2;
    alternative = m_oneBigList ? 1 : 2;
}

void CExportChoosePage::Apply()
{
    StoreExportSetting("one_big_list", m_oneBigList);
    if (m_oneBigList == 0)
        StoreExportSetting("templates", m_templates);
    StoreExportSetting("savecovers", m_saveCovers);
}

// ---------------------------------------------------------------------------
// One big file

BEGIN_MESSAGE_MAP(CExportBigFilePage, CExportRangePage)
    ON_BN_CLICKED(IDC_EXPORT_BROWSE, OnBrowse)
    ON_EN_CHANGE(IDC_EXPORT_FILE, OnChange)
END_MESSAGE_MAP()

CExportBigFilePage::CExportBigFilePage(CExportDlg* wizard)
    : CExportRangePage(IDD_EXPORT_BIG_FILE, wizard, "big"),
      m_path(ExportSetting("txt-path-big", "")),
      m_format(ExportSetting("txt-format-big", 12)),
      m_sort(ExportSetting("txt-sort", 55)),
      m_order(ExportSetting("txt-sort2", 1))
{
}

BOOL CExportBigFilePage::OnInitDialog()
{
    CExportRangePage::OnInitDialog();
    SetDlgItemText(IDC_EXPORT_FILE, m_path.c_str());
    FillLineFormats(m_format);
    int sort = 1;
    for (int i = 0; i < 5; i++) {
        if (kSortCodes[i] == m_sort)
            sort = i;
    }
    AddStrings(this, IDC_EXPORT_SORT, kSortNames, 5, sort);
    const char* const orders[] = {"Ascending", "Descending"};
    AddStrings(this, IDC_EXPORT_ORDER, orders, 2, m_order == kDescending ? 1 : 0);
    ShowStoredRange(m_range);
    return TRUE;
}

void CExportBigFilePage::OnActivate(CWnd* title)
{
    title->SetWindowText("Export one big file");
    Validate();
}

void CExportBigFilePage::Validate()
{
    EnableNext(IsFullPath(GetDlgItemText(IDC_EXPORT_FILE)) && RangeIsValid());
}

void CExportBigFilePage::OnBrowse()
{
    CFileDialog dialog(FALSE, NULL, GetDlgItemText(IDC_EXPORT_FILE).c_str(),
                       OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kFileFilter, this);
    if (dialog.DoModal() == IDOK)
        SetDlgItemText(IDC_EXPORT_FILE, dialog.GetPathName().c_str());
}

void CExportBigFilePage::GetPrevPage(BYTE& step, BYTE& alternative)
{
    step = 1;
    alternative = 0;
}

void CExportBigFilePage::GetNextPage(BYTE& step, BYTE& alternative)
{
    m_path = GetDlgItemText(IDC_EXPORT_FILE);
    m_format = ReadLineFormat();
    int sort = Selection(this, IDC_EXPORT_SORT);
    m_sort = sort >= 0 && sort < 5 ? kSortCodes[sort] : 55;
    m_order = Selection(this, IDC_EXPORT_ORDER) == 1 ? kDescending : 1;
    if (!ReadRange(&m_range))
        return;
    step = 3;
    alternative = 2;
}

void CExportBigFilePage::Apply()
{
    StoreExportSetting("txt-path-big", m_path);
    StoreExportSetting("txt-format-big", m_format);
    StoreExportSetting("txt-sort", m_sort);
    StoreExportSetting("txt-sort2", m_order);
    StoreRange();
}

// ---------------------------------------------------------------------------
// One file per movie

BEGIN_MESSAGE_MAP(CExportSmallFilesPage, CExportRangePage)
    ON_BN_CLICKED(IDC_EXPORT_BROWSE, OnBrowse)
    ON_EN_CHANGE(IDC_EXPORT_FOLDER, OnChange)
    ON_EN_CHANGE(IDC_EXPORT_EXTENSION, OnChange)
END_MESSAGE_MAP()

CExportSmallFilesPage::CExportSmallFilesPage(CExportDlg* wizard)
    : CExportRangePage(IDD_EXPORT_SMALL_FILES, wizard, "small"),
      m_folder(ExportSetting("txt-path-small", "")),
      m_format(ExportSetting("txt-format-small", 12)),
      m_nameKind(ExportSetting("txt-file_name", kNameByTitle)),
      m_type(ExportSetting("txt-type", "htm"))
{
}

BOOL CExportSmallFilesPage::OnInitDialog()
{
    CExportRangePage::OnInitDialog();
    SetDlgItemText(IDC_EXPORT_FOLDER, m_folder.c_str());
    FillLineFormats(m_format);
    const char* const names[] = {"movie title", "movie id"};
    AddStrings(this, IDC_EXPORT_NAMED_BY, names, 2, m_nameKind == kNameByTitle ? 0 : 1);
    SetDlgItemText(IDC_EXPORT_EXTENSION, m_type.c_str());
    ShowStoredRange(m_range);
    return TRUE;
}

void CExportSmallFilesPage::OnActivate(CWnd* title)
{
    title->SetWindowText("Export one small file for every movie");
    Validate();
}

void CExportSmallFilesPage::Validate()
{
    EnableNext(IsFullPath(GetDlgItemText(IDC_EXPORT_FOLDER)) && RangeIsValid() &&
               IsValidExtension(GetDlgItemText(IDC_EXPORT_EXTENSION)));
}

void CExportSmallFilesPage::OnBrowse()
{
    std::string folder;
    if (BrowseForFolder(this, "Choose directory to export files to", &folder))
        SetDlgItemText(IDC_EXPORT_FOLDER, folder.c_str());
}

void CExportSmallFilesPage::GetPrevPage(BYTE& step, BYTE& alternative)
{
    step = 1;
    alternative = 0;
}

void CExportSmallFilesPage::GetNextPage(BYTE& step, BYTE& alternative)
{
    m_folder = GetDlgItemText(IDC_EXPORT_FOLDER);
    m_format = ReadLineFormat();
    m_nameKind = Selection(this, IDC_EXPORT_NAMED_BY) == 1 ? kNameById : kNameByTitle;
    m_type = GetDlgItemText(IDC_EXPORT_EXTENSION);
    if (!ReadRange(&m_range))
        return;
    step = 3;
    alternative = 1;
}

void CExportSmallFilesPage::Apply()
{
    StoreExportSetting("txt-path-small", m_folder);
    StoreExportSetting("txt-format-small", m_format);
    StoreExportSetting("txt-type", m_type);
    StoreExportSetting("txt-file_name", m_nameKind);
    StoreRange();
}

// ---------------------------------------------------------------------------
// Covers

BEGIN_MESSAGE_MAP(CExportCoversPage, CExportRangePage)
    ON_BN_CLICKED(IDC_EXPORT_BROWSE, OnBrowse)
END_MESSAGE_MAP()

CExportCoversPage::CExportCoversPage(CExportDlg* wizard)
    : CExportRangePage(IDD_EXPORT_COVERS, wizard, "img"),
      m_folder(ExportSetting("img_path", "")),
      m_replaceEmpty(ExportSetting("replacempty", 1))
{
}

BOOL CExportCoversPage::OnInitDialog()
{
    CExportRangePage::OnInitDialog();
    SetDlgItemText(IDC_EXPORT_COVER_FOLDER, m_folder.c_str());
    CheckDlgButton(IDC_EXPORT_REPLACE_EMPTY, m_replaceEmpty ? BST_CHECKED : BST_UNCHECKED);
    ShowRange(m_range);
    return TRUE;
}

void CExportCoversPage::OnActivate(CWnd* title)
{
    title->SetWindowText("Export cover images");
    // The covers follow the range of the movies being exported.
    const ExportRange& movies =
        m_wizard->m_choosePage.m_oneBigList ? m_wizard->m_bigFilePage.m_range : m_wizard->m_smallFilesPage.m_range;
    if (movies.used) {
        ShowRange(movies);
    } else {
        CheckDlgButton(IDC_EXPORT_USE_RANGE, BST_UNCHECKED);
        EnableRangeEdits();
    }
    OnChange();
}

void CExportCoversPage::OnBrowse()
{
    std::string folder;
    if (BrowseForFolder(this, "Choose directory to export cover images into", &folder))
        SetDlgItemText(IDC_EXPORT_COVER_FOLDER, folder.c_str());
}

void CExportCoversPage::GetPrevPage(BYTE& step, BYTE& alternative)
{
    step = 3;
    alternative = m_wizard->m_choosePage.m_oneBigList ? 2 : 1;
}

void CExportCoversPage::GetNextPage(BYTE& step, BYTE& alternative)
{
    m_folder = GetDlgItemText(IDC_EXPORT_COVER_FOLDER);
    m_replaceEmpty = IsDlgButtonChecked(IDC_EXPORT_REPLACE_EMPTY) == BST_CHECKED;
    if (!ReadRange(&m_range))
        return;
    step = 5;
    alternative = 0;
}

void CExportCoversPage::Apply()
{
    StoreExportSetting("img_path", m_folder);
    StoreExportSetting("replacempty", m_replaceEmpty);
    StoreRange();
}
