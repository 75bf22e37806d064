#include "dialogs/AboutDlg.h"

#include <shellapi.h>

#include "resources/resource.h"

const char CAboutDlg::kDownloadPage[] = "https://example.org/vistrel/";

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
    ON_BN_CLICKED(IDC_ABOUT_GO, OnGoThere)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg(CWnd* pParent) : CDialog(IDD_ABOUT, pParent), m_versionFont(nullptr)
{
}

CAboutDlg::~CAboutDlg()
{
    if (m_versionFont != nullptr)
        ::DeleteObject(m_versionFont);
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_versionFont = ::CreateFontA(20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial Black");
    if (m_versionFont != nullptr)
        SendDlgItemMessage(IDC_ABOUT_VERSION, WM_SETFONT, WPARAM(m_versionFont), TRUE);
    return TRUE;
}

void CAboutDlg::OnGoThere()
{
    ::ShellExecuteA(m_hWnd, "open", kDownloadPage, nullptr, nullptr, SW_SHOWNORMAL);
}
