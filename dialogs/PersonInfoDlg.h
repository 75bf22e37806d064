// "Person info": edits one borrower and shows his loans. Loans declared
// returned here are stored only by Save or "Locate movie...".
#pragma once

#include <string>
#include <vector>

#include "app/HelpDialog.h"
#include "core/Person.h"

class CPersonInfoDlg : public CHelpDialog {
public:
    explicit CPersonInfoDlg(CWnd* pParent = nullptr);

    void SetPersonId(DWORD id) { m_personId = id; }
    // After IDOK: the user chose "Locate movie...".
    bool IsLocateChosen() const { return m_locate; }

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnNameChange();
    void OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnRightClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnIsReturned();
    void OnLocateMovie();
    DECLARE_MESSAGE_MAP()

private:
    void FillList();
    void SortList(int column);
    // The loans of the stored person with the pending returns applied.
    std::vector<CLoan> CurrentLoans() const;
    // Stores name, address, telephone and the pending returns.
    bool Apply();
    HWND List() const;

    DWORD m_personId;
    int m_clickedLoan;
    std::vector<int> m_pendingReturns;
    bool m_locate;
    // The title of each loan index, as listed.
    std::vector<std::string> m_titles;
};
