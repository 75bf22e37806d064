// A dialog that opens its own topic of the help file, from the help key and
// from the caption's help button.
#pragma once

#include "classlib/Dialog.h"

class CHelpDialog : public CDialog {
public:
    CHelpDialog(UINT nIDTemplate, CWnd* pParent, const char* helpTopic)
        : CDialog(nIDTemplate, pParent), m_helpTopic(helpTopic)
    {
    }

    BOOL OnHelpInfo(HELPINFO* pHelpInfo) override;

protected:
    void OnSysCommand(UINT nID, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    const char* m_helpTopic;
};
