#include "app/HelpDialog.h"

#include "app/HelpTopic.h"

BEGIN_MESSAGE_MAP(CHelpDialog, CDialog)
    ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

BOOL CHelpDialog::OnHelpInfo(HELPINFO*)
{
    ShowHelpTopic(m_hWnd, m_helpTopic);
    return TRUE;
}

void CHelpDialog::OnSysCommand(UINT nID, LPARAM)
{
    if ((nID & 0xFFF0) == SC_CONTEXTHELP) {
        ShowHelpTopic(m_hWnd, m_helpTopic);
        return;
    }
    Default();
}
