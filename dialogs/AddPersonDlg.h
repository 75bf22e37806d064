// "Add person": a new borrower with name, address and telephone. Names are
// unique without regard to case.
#pragma once

#include "app/HelpDialog.h"

class CAddPersonDlg : public CHelpDialog {
public:
    explicit CAddPersonDlg(CWnd* pParent = nullptr);

    // The id of the person added, after IDOK; NO_ID before.
    DWORD GetPersonId() const { return m_personId; }

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnNameChange();
    DECLARE_MESSAGE_MAP()

private:
    DWORD m_personId;
};
