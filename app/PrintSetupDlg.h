// "Print setup": margins and page rules of the printed movie list, kept in
// the profile section "print".
#pragma once

#include <cstdint>

#include "app/HelpDialog.h"

class CPrintSetupDlg : public CHelpDialog {
public:
    explicit CPrintSetupDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnMarginChange(UINT nID);
    void OnFit();
    void OnClip();
    DECLARE_MESSAGE_MAP()

private:
    // Cleans the edit's text in place; true when a number is left.
    bool FilterMarginText(int id);

    uint8_t m_validMask;  // top 1, left 2, right 4, bottom 8
    bool m_busy;          // set while a margin text is rewritten
};
