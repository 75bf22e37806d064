#include "app/ShowCoverDlg.h"

#include "resources/resource.h"

CShowCoverDlg::CShowCoverDlg(CWnd* pParent)
    : CDialog(IDD_SHOW_COVER, pParent), m_bytes(NULL), m_count(0)
{
}

void CShowCoverDlg::SetCover(DWORD count, const BYTE* bytes)
{
    m_count = count;
    m_bytes = bytes;
}

BOOL CShowCoverDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_cover.SubclassDlgItem(IDC_COVER, this);
    m_cover.SetImageAndSize(m_bytes, m_count, true, false);
    return TRUE;
}
