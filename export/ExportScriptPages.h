// The export wizard's script pages: the script of the small files (3.1) and
// the head, body and foot of the big list (3.2), each in a script editor,
// with their files and the working copies that bring the last scripts back.
#pragma once

#include <string>

#include "classlib/TabCtrl.h"
#include "export/ExportPage.h"
#include "export/ScriptEdit.h"
#include "export/ScriptFiles.h"

class CExportSmallScriptPage : public CExport2Dlg {
public:
    explicit CExportSmallScriptPage(CExportDlg* wizard);

    BOOL OnInitDialog() override;
    void OnActivate(CWnd* title) override;
    void GetPrevPage(BYTE& step, BYTE& alternative) override;
    void GetNextPage(BYTE& step, BYTE& alternative) override;
    // Saves the working copy "current.small".
    void Apply() override;

    // The script in the small files' line format, as the run takes it.
    std::string m_script;
    std::string m_workingCopy;  // "" when the scripts folder can't be entered
    CScriptEdit m_edit;

protected:
    void OnLoad();
    void OnSave();
    DECLARE_MESSAGE_MAP()
};

class CExportBigScriptPage : public CExport2Dlg {
public:
    explicit CExportBigScriptPage(CExportDlg* wizard);

    BOOL OnInitDialog() override;
    void OnActivate(CWnd* title) override;
    void GetPrevPage(BYTE& step, BYTE& alternative) override;
    void GetNextPage(BYTE& step, BYTE& alternative) override;
    // Saves the working copy "current.big".
    void Apply() override;

    // The editor's text, in the big file's line format, goes into the part
    // of the tab shown.
    void StoreShownPart();
    // The three parts in the big file's line format, as the run takes them.
    ThreePartScript m_parts;
    std::string m_workingCopy;
    CScriptEdit m_edit;
    CTabCtrl m_tabs;

protected:
    void OnLoad();
    void OnSave();
    void OnTabChange(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    std::string& Part(int tab);
    void ShowPart(int tab);

    int m_shown;  // the tab whose part the editor holds
};

// The working copy of the scripts folder beside the program, which becomes
// the current directory; "" when it can't be entered.
std::string WorkingCopyPath(const char* name);
