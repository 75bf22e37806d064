// "Import text": shows the sample line's fields and lets the user say which
// field holds the title, the id and the other movie texts.
#pragma once

#include <string>
#include <vector>

#include "app/HelpDialog.h"
#include "dialogs/ImportText.h"

class CImportTextDlg : public CHelpDialog {
public:
    explicit CImportTextDlg(CWnd* pParent = nullptr);

    // The sample line; every line of the file has its field count.
    void SetSample(const std::vector<std::string>& fields) { m_sample = fields; }
    // After IDOK: which field holds what, and the two overwrite choices.
    const ImportMapping& GetMapping() const { return m_mapping; }

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnFieldChange(UINT nID);
    DECLARE_MESSAGE_MAP()

private:
    std::vector<std::string> ReadChoices() const;
    void FillBoxes(const std::vector<std::string>& choices);

    std::vector<std::string> m_sample;
    ImportMapping m_mapping;
};
