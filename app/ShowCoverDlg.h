// "Show cover": a cover at its full size, the dialog sized around it and
// captioned with the picture's size.
#pragma once

#include "app/CoverStatic.h"
#include "classlib/Dialog.h"

class CShowCoverDlg : public CDialog {
public:
    explicit CShowCoverDlg(CWnd* pParent = NULL);

    // The bytes are borrowed; they must outlive the dialog.
    void SetCover(DWORD count, const BYTE* bytes);

    BOOL OnInitDialog() override;

    CCoverStatic m_cover;
    const BYTE* m_bytes;
    DWORD m_count;
};
