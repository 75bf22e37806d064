// The export wizard's summary page and the export run.
#include "export/ExportSummaryPage.h"

#include <direct.h>

#include <new>

#include "app/ProgressWindow.h"
#include "core/ErrorBox.h"
#include "dialogs/SortByCustomDlg.h"
#include "export/ExportDlg.h"
#include "export/ExportPaths.h"
#include "export/ExportShell.h"
#include "export/ExportWriter.h"
#include "export/ScriptText.h"
#include "resources/resource.h"

namespace {

const char kSevere[] = "Unknown but severe error accured.";
const char kNoCoverName[] = "no_pic.gif";
const int kSortCustom = 88;

const char* SortName(int code)
{
    switch (code) {
    case 44: return "id";
    case 66: return "type";
    case 77: return "genre";
    case 88: return "custom";
    default: return "title";
    }
}

std::string Line(int level, const std::string& text)
{
    return std::string(size_t(level), '\t') + text + "\r\n";
}

std::string Format(const char* format, unsigned long a, unsigned long b)
{
    char text[96];
    snprintf(text, sizeof(text), format, a, b);
    return text;
}

// Enters the folder, making it with its parents when it can't be entered,
// and gives it a trailing separator.
bool PrepareFolder(std::string* folder, const char* trace)
{
    if (folder->empty())
        return true;
    if (_chdir(folder->c_str()) != 0) {
        ShowError(1, trace, folder->c_str());
        if (!CreatePath(folder->c_str()))
            return false;
    }
    if (folder->back() != '\\')
        *folder += '\\';
    return true;
}

} // namespace

CExportSummaryPage::CExportSummaryPage(CExportDlg* wizard)
    : CExport2Dlg(IDD_EXPORT_SUMMARY, wizard), m_movieCount(0), m_coverCount(0)
{
}

void CExportSummaryPage::OnActivate(CWnd* title)
{
    title->SetWindowText("You are about to export the movies");
    SetDlgItemText(IDC_EXPORT_SUMMARY, BuildSummary().c_str());
}

void CExportSummaryPage::GetPrevPage(BYTE& step, BYTE& alternative)
{
    if (m_wizard->m_choosePage.m_saveCovers) {
        step = 4;
        alternative = 0;
    } else {
        step = 3;
        alternative = m_wizard->m_choosePage.m_oneBigList ? 2 : 1;
    }
}

void CExportSummaryPage::GetNextPage(BYTE& step, BYTE& alternative)
{
    step = 6;
    alternative = 0;
}

std::string CExportSummaryPage::BuildSummary()
{
    CExportDlg& wizard = *m_wizard;
    if (!wizard.HasAllPages())
        return kSevere;
    const CExportChoosePage& choose = wizard.m_choosePage;
    const CExportCoversPage& covers = wizard.m_coversPage;
    std::string text;
    std::string warnings;
    ExportRange range;
    if (choose.m_oneBigList) {
        const CExportBigFilePage& page = wizard.m_bigFilePage;
        size_t slash = page.m_path.find_last_of('\\');
        m_outputFolder = slash == std::string::npos ? std::string() : page.m_path.substr(0, slash);
        range = page.m_range;
        text += Line(0, "Export movies to one big file.");
        text += Line(1, "output file: " + page.m_path);
        text += Line(1, std::string("output format: ") + LineFormatName(page.m_format));
        text += Line(1, std::string("sort movies by ") + SortName(page.m_sort) + " " +
                            (page.m_order == 51 ? "descending" : "ascending"));
        const ThreePartScript& parts = wizard.m_bigScriptPage.m_parts;
        if (parts.head.empty() && parts.body.empty() && parts.foot.empty())
            warnings += Line(1, "* All of the head, body and foot scripts are empty\r\n\t- No output will be generated");
    } else {
        CExportSmallFilesPage& page = wizard.m_smallFilesPage;
        if (!page.m_type.empty() && page.m_type[0] == '.')
            page.m_type.erase(0, 1);
        m_outputFolder = page.m_folder;
        range = page.m_range;
        text += Line(0, "Export one file for each movie.");
        text += Line(1, "output directory: " + page.m_folder);
        text += Line(1, std::string("output files format: ") + LineFormatName(page.m_format));
        text += Line(1, std::string("output files named by: ") + (page.m_nameKind == 31 ? "movie title" : "movie id"));
        text += Line(1, "output files type: " + page.m_type);
        if (wizard.m_smallScriptPage.m_script.empty())
            warnings += Line(1, "* The export script is empty.\r\n\t- No output will be generated");
    }
    if (range.used) {
        text += Line(0, "export only in range of movie Id's");
        text += Line(1, Format("from: %lu to: %lu", (unsigned long)range.start, (unsigned long)range.end));
    }
    if (!m_outputFolder.empty() && !FolderExists(m_outputFolder.c_str()))
        warnings += Line(1, "* The directory choosen to export file(s) to doesn't exist\r\n\t- I will try to create it\r\n\t\t[" +
                                m_outputFolder + "]");

    m_noCoverName.clear();
    m_movieCount = CountExportMovies(range);
    m_coverCount = 0;
    if (choose.m_saveCovers) {
        if (covers.m_replaceEmpty)
            m_noCoverName = kNoCoverName;
        m_coverCount = CountExportCovers(covers.m_range);
        text += Line(0, "Export cover images for movies.");
        text += Line(1, "cover directory: " + covers.m_folder);
        if (!m_noCoverName.empty())
            text += Line(1, "movies without covers will be able to link to: " + m_noCoverName);
        if (!covers.m_folder.empty() && !FolderExists(covers.m_folder.c_str()))
            warnings += Line(1, "* The directory choosen to export cover images to doesn't exist\r\n\t- I will try to create it\r\n\t\t[" +
                                    covers.m_folder + "]");
    }
    text += Line(0, "Total output:");
    text += Line(1, Format("movies: %lu in %lu file(s)", (unsigned long)m_movieCount, choose.m_oneBigList ? 1ul : (unsigned long)m_movieCount));
    if (choose.m_saveCovers)
        text += Line(1, Format("covers: %lu in %lu file(s)", (unsigned long)m_coverCount, (unsigned long)m_coverCount + (m_noCoverName.empty() ? 0 : 1)));
    if (!warnings.empty())
        text += Line(0, "Warnings!:") + warnings;
    return text;
}

void CExportSummaryPage::Apply()
{
    try {
        Run();
    } catch (const std::bad_alloc&) {
        ShowOutOfMemory();
    }
}

void CExportSummaryPage::Run()
{
    CExportDlg& wizard = *m_wizard;
    if (!wizard.HasAllPages()) {
        ShowError(0, kSevere);
        return;
    }
    if (m_outputFolder.empty()) {
        ShowError(0, "The path to save everything to was not calculated.");
        return;
    }
    const CExportChoosePage& choose = wizard.m_choosePage;
    const CExportBigFilePage& big = wizard.m_bigFilePage;
    const CExportSmallFilesPage& small = wizard.m_smallFilesPage;
    const CExportCoversPage& covers = wizard.m_coversPage;
    bool oneBigList = choose.m_oneBigList != 0;
    bool saveCovers = choose.m_saveCovers != 0;

    if (oneBigList && big.m_sort == kSortCustom) {
        CSortByCustomDlg sort(&wizard);
        if (sort.DoModal() != IDOK)
            return;
    }
    if (!PrepareFolder(&m_outputFolder, "Before checking/creating filepath [%s]")) {
        ShowError(0, "Unable to create path to export to.");
        return;
    }
    std::string coverFolder = covers.m_folder;
    if (saveCovers && !PrepareFolder(&coverFolder, "Before checking/creating coverpath [%s]")) {
        ShowError(0, "Unable to create path for cover images.");
        return;
    }

    ShowError(1, "Saving stuff into registry");
    wizard.m_choosePage.Apply();
    if (oneBigList) {
        wizard.m_bigFilePage.Apply();
        wizard.m_bigScriptPage.Apply();
    } else {
        wizard.m_smallFilesPage.Apply();
        wizard.m_smallScriptPage.Apply();
    }
    if (saveCovers)
        wizard.m_coversPage.Apply();

    ShowError(1, "Calculate the real path to cover images");
    m_coverPrefix.clear();
    MakeRelativeLink(&m_coverPrefix, m_outputFolder.c_str(), coverFolder.c_str());

    ShowError(1, "Start the real export");
    ExportJob job;
    job.coverPrefix = m_coverPrefix;
    job.noCoverName = saveCovers ? m_noCoverName : std::string();
    if (oneBigList) {
        job.outputFile = big.m_path;
        job.sortCode = big.m_sort;
        job.order = big.m_order;
        job.bigRange = big.m_range;
        job.bigScripts = wizard.m_bigScriptPage.m_parts;
    } else {
        job.outputFolder = m_outputFolder;
        job.nameKind = small.m_nameKind;
        job.fileType = small.m_type;
        job.smallRange = small.m_range;
        job.smallScript = wizard.m_smallScriptPage.m_script;
    }
    CLoadProgressWindow progress(&wizard);
    bool goOn = oneBigList ? WriteBigList(job, &progress) : WriteSmallFiles(job, &progress);
    if (!goOn || !saveCovers)
        return;
    job.coverFolder = coverFolder;
    job.coverRange = covers.m_range;
    if (!job.noCoverName.empty()) {
        DWORD size = 0;
        if (LoadResourceBytes("GIF", IDR_DEFAULT_COVER, NULL, &size)) {
            job.noCoverBytes.resize(size);
            if (!LoadResourceBytes("GIF", IDR_DEFAULT_COVER, job.noCoverBytes.data(), &size))
                job.noCoverBytes.clear();
        }
    }
    WriteCovers(job, &progress);
}
