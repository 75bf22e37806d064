// "Overwrite info ?": whether details from the site replace the comment
// and the rating; its answers are the two settings it writes.
#pragma once

#include "app/HelpDialog.h"

class COverwriteInfoDlg : public CHelpDialog {
public:
    explicit COverwriteInfoDlg(CWnd* pParent = nullptr);

    // Ends at once, as OK, when the user chose never to be asked.
    INT_PTR DoModal() override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    // The "overwrite" bits.
    enum { OVERWRITE_ONLY_EMPTY = 1, OVERWRITE_RATE = 16, OVERWRITE_COMMENT = 64 };

protected:
    void OnOnlyEmpty();
    DECLARE_MESSAGE_MAP()
};
