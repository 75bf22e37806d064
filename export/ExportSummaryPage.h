// The export wizard's summary (5.0): what is about to be written, with
// warnings, and on Finish the export run itself.
#pragma once

#include <string>

#include "export/ExportPage.h"

class CExportSummaryPage : public CExport2Dlg {
public:
    explicit CExportSummaryPage(CExportDlg* wizard);

    void OnActivate(CWnd* title) override;
    void GetPrevPage(BYTE& step, BYTE& alternative) override;
    void GetNextPage(BYTE& step, BYTE& alternative) override;
    // The run: makes the folders, stores every page's settings, writes the
    // big list or the small files, then the covers. No memory ends it with
    // "Out of memory."; nothing is thrown to the wizard.
    void Apply() override;

    // The summary's text; it also fixes the output folder, the extension,
    // the counts and the default picture's name for the run.
    std::string BuildSummary();

    std::string m_outputFolder;
    DWORD m_movieCount;
    DWORD m_coverCount;
    std::string m_noCoverName;
    std::string m_coverPrefix;

private:
    void Run();
};
