// "Multiple results returned": the user picks the right movie among the
// site's search hits.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/HelpDialog.h"
#include "core/ImdbInfo.h"

class CMultipleResultsDlg : public CHelpDialog {
public:
    explicit CMultipleResultsDlg(CWnd* pParent = nullptr);

    // The hits stay the caller's and must outlive the dialog.
    void SetResults(const std::vector<std::unique_ptr<CImdbSearchHit>>* hits) { m_hits = hits; }
    // After IDOK: the chosen hit's link; false when none was chosen.
    bool GetSelection(std::string* link) const;

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnSelChange();
    void OnSelCancel();
    void OnGotoWebsite();
    void OnShowCover();
    DECLARE_MESSAGE_MAP()

private:
    // The hit of the selected line, or NULL.
    const CImdbSearchHit* SelectedHit() const;

    const std::vector<std::unique_ptr<CImdbSearchHit>>* m_hits;
    bool m_chosen;
    std::string m_link;
};
