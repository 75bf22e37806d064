// The export wizard "Export data": up to five steps (what to export; where
// and how; the scripts; the covers; a summary), each a page shown beside a
// picture under a title, and on "&Finish" the export run.
#pragma once

#include <string>

#include "app/ImageStatic.h"
#include "app/OlePicture.h"
#include "classlib/Dialog.h"
#include "classlib/GdiObject.h"
#include "export/ExportFilePages.h"
#include "export/ExportScriptPages.h"
#include "export/ExportSummaryPage.h"

class CExportDlg : public CDialog {
public:
    explicit CExportDlg(CWnd* pParent = nullptr);
    ~CExportDlg() override;

    BOOL OnInitDialog() override;
    // Next is the default button; no IDOK command ends the wizard.
    void OnOK() override;
    void OnCancel() override;
    BOOL OnHelpInfo(HELPINFO* pHelpInfo) override;

    // The help topic of a step: "dialog/export_2_<step>[_<alternative>].html".
    static std::string HelpTopic(int step, int alternative);
    // Whether every page has its window.
    bool HasAllPages() const;
    bool IsRunning() const { return m_running; }

    // The pages, in the order their settings are read.
    CExportChoosePage m_choosePage;
    CExportBigFilePage m_bigFilePage;
    CExportSmallFilesPage m_smallFilesPage;
    CExportSmallScriptPage m_smallScriptPage;
    CExportBigScriptPage m_bigScriptPage;
    CExportCoversPage m_coversPage;
    CExportSummaryPage m_summaryPage;

    BYTE m_step;
    BYTE m_alternative;
    CExport2Dlg* m_current;

protected:
    void OnNext();
    void OnBack();
    void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    CExport2Dlg* PageOf(BYTE step, BYTE alternative);
    void ShowPage(BYTE step, BYTE alternative);
    // The caption's help button, which the last step doesn't have.
    void SetContextHelp(bool shown);

    CFont m_titleFont;
    COlePicture m_picture;
    CImageStatic m_pictureStatic;
    bool m_running;
    // Every page above, in the same order.
    CExport2Dlg* const m_pages[7];
};
