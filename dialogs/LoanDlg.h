// "Loan this movie": picks the person who borrows the movie.
#pragma once

#include <string>

#include "app/HelpDialog.h"

class CLoanDlg : public CHelpDialog {
public:
    explicit CLoanDlg(CWnd* pParent = nullptr);

    void SetMovie(const char* title) { m_title = title != nullptr ? title : ""; }
    // The chosen person, after IDOK; NO_ID before.
    DWORD GetPersonId() const { return m_personId; }

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnSelChange();
    void OnSelCancel();
    void OnAddPerson();
    DECLARE_MESSAGE_MAP()

private:
    void FillList();

    std::string m_title;
    DWORD m_personId;
};
