// "Manage persons": lists the borrowers; adds, removes and opens them.
#pragma once

#include "app/HelpDialog.h"

class CManagePersonsDlg : public CHelpDialog {
public:
    explicit CManagePersonsDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;

protected:
    void OnSelChange();
    void OnAddPerson();
    void OnRemovePersons();
    void OnShowInfo();
    DECLARE_MESSAGE_MAP()

private:
    // Fills the list again, keeping the selected persons selected.
    void FillList();
    HWND List() const;
};
