// "Sort by custom": the script whose expansion for each movie is its sort
// key, and the program-wide copy of that script.
#pragma once

#include "app/HelpDialog.h"
#include "export/ScriptEdit.h"

// What LoadSaveCustomSortScript does with the cached script.
enum CustomSortCommand {
    CUSTOM_SORT_GET,   // the cached script, "" when there is none
    CUSTOM_SORT_SET,   // the cache becomes a copy of text
    CUSTOM_SORT_LOAD,  // the cache becomes "sortby"/"custom" (default "")
    CUSTOM_SORT_SAVE   // the cache goes to "sortby"/"custom" and is emptied; NULL
};
const char* LoadSaveCustomSortScript(CustomSortCommand command, const char* text = nullptr);

class CSortByCustomDlg : public CHelpDialog {
public:
    explicit CSortByCustomDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnScriptChange();
    DECLARE_MESSAGE_MAP()

private:
    CScriptEdit m_script;
};
