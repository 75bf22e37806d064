// "Compare databases": chooses the other catalogue and what to compare,
// and loads that catalogue into a collection of its own, which this dialog
// owns and deletes in its destructor.
#pragma once

#include <memory>
#include <string>

#include "classlib/Dialog.h"
#include "core/MovieCollection.h"
#include "export/ScriptEdit.h"

class CCompareDbDlg : public CDialog {
public:
    explicit CCompareDbDlg(CWnd* pParent = nullptr);
    ~CCompareDbDlg() override;

    // After IDOK.
    CMovieCollection* GetOtherCollection() const { return m_other.get(); }
    const std::string& GetTemplate() const { return m_template; }

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnTitle();
    void OnTitleAndType();
    void OnCustom();
    void OnBrowse();
    void OnInputChange();
    DECLARE_MESSAGE_MAP()

private:
    // Enables Compare when a file (and with "Custom:" a template) is given;
    // with load the file is loaded too, and a load that fails disables it.
    bool Validate(bool load);
    void ChooseFixed(int radio, const char* templateText);

    CScriptEdit m_templateEdit;
    std::unique_ptr<CMovieCollection> m_other;
    std::string m_template;
    std::string m_savedCustom;
};
