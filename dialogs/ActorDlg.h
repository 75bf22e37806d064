// "Actor": edits the name and the character of one cast entry.
#pragma once

#include "classlib/Dialog.h"

class CImdbCastEntry;

class CActorDlg : public CDialog {
public:
    explicit CActorDlg(CWnd* pParent = nullptr);

    // The entry to edit (not owned), before DoModal; OK writes both texts
    // into it.
    void SetEntry(CImdbCastEntry* entry) { m_entry = entry; }

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnTextChange();
    DECLARE_MESSAGE_MAP()

private:
    bool BothFilled() const;

    CImdbCastEntry* m_entry;
};
