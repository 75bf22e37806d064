// The export wizard.
#include "export/ExportDlg.h"

#include <cstdio>

#include "app/HelpTopic.h"
#include "classlib/DC.h"
#include "core/ErrorBox.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CExportDlg, CDialog)
    ON_BN_CLICKED(IDC_EXPORT_NEXT, OnNext)
    ON_BN_CLICKED(IDC_EXPORT_BACK, OnBack)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CExportDlg::CExportDlg(CWnd* pParent)
    : CDialog(IDD_EXPORT, pParent), m_choosePage(this), m_bigFilePage(this), m_smallFilesPage(this),
      m_smallScriptPage(this), m_bigScriptPage(this), m_coversPage(this), m_summaryPage(this), m_step(1),
      m_alternative(0), m_current(NULL), m_running(false),
      m_pages{&m_choosePage, &m_bigFilePage, &m_smallFilesPage, &m_smallScriptPage, &m_bigScriptPage, &m_coversPage,
              &m_summaryPage}
{
}

CExportDlg::~CExportDlg()
{
}

std::string CExportDlg::HelpTopic(int step, int alternative)
{
    char topic[64];
    if (alternative != 0)
        snprintf(topic, sizeof(topic), "dialog/export_2_%d_%d.html", step, alternative);
    else
        snprintf(topic, sizeof(topic), "dialog/export_2_%d.html", step);
    return topic;
}

BOOL CExportDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_picture.LoadFromResource("JPEG", IDR_EXPORT_PICTURE);
    m_pictureStatic.SubclassDlgItem(IDC_EXPORT_PICTURE, this);
    m_titleFont.CreateFont(-20, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_ROMAN, "Times New Roman");
    GetDlgItem(IDC_EXPORT_TITLE)->SetFont(&m_titleFont);

    RECT area;
    ::GetWindowRect(::GetDlgItem(m_hWnd, IDC_EXPORT_PAGE_AREA), &area);
    ScreenToClient(&area);
    // Each page is made from the template it was constructed with.
    for (CExport2Dlg* page : m_pages) {
        if (page->Create(page->m_nIDHelp, this))
            page->SetWindowPos(NULL, area.left, area.top, area.right - area.left, area.bottom - area.top,
                               SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowPage(1, 0);
    return TRUE;
}

bool CExportDlg::HasAllPages() const
{
    for (const CExport2Dlg* page : m_pages) {
        if (page->m_hWnd == NULL)
            return false;
    }
    return true;
}

CExport2Dlg* CExportDlg::PageOf(BYTE step, BYTE alternative)
{
    switch (step * 10 + alternative) {
    case 10: return &m_choosePage;
    case 21: return &m_bigFilePage;
    case 22: return &m_smallFilesPage;
    case 31: return &m_smallScriptPage;
    case 32: return &m_bigScriptPage;
    case 40: return &m_coversPage;
    case 50: return &m_summaryPage;
    default: return NULL;
    }
}

void CExportDlg::ShowPage(BYTE step, BYTE alternative)
{
    CExport2Dlg* page = PageOf(step, alternative);
    if (page == NULL || page->m_hWnd == NULL)
        return;
    m_step = step;
    m_alternative = alternative;
    m_current = page;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_EXPORT_NEXT), TRUE);
    page->ShowWindow(SW_SHOW);
    page->OnActivate(GetDlgItem(IDC_EXPORT_TITLE));
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_EXPORT_BACK), step >= 2);
}

void CExportDlg::SetContextHelp(bool shown)
{
    LONG_PTR style = ::GetWindowLongPtr(m_hWnd, GWL_EXSTYLE);
    LONG_PTR wanted = shown ? (style | WS_EX_CONTEXTHELP) : (style & ~LONG_PTR(WS_EX_CONTEXTHELP));
    if (wanted == style)
        return;
    ::SetLastError(0);
    if (::SetWindowLongPtr(m_hWnd, GWL_EXSTYLE, wanted) == 0 && ::GetLastError() != 0) {
        ::OutputDebugStringA("Unable to disable ContextHelp");
        ShowSystemError(::GetLastError(), "Unable to disable ContextHelp");
        return;
    }
    ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CExportDlg::OnNext()
{
    // Error boxes of the run pump messages: a click queued meanwhile must
    // not start it again.
    if (m_running || m_current == NULL)
        return;
    BYTE step = m_step;
    BYTE alternative = m_alternative;
    m_current->GetNextPage(step, alternative);
    if (step == m_step && alternative == m_alternative)
        return;
    m_current->ShowWindow(SW_HIDE);
    if (step < 5) {
        SetDlgItemText(IDC_EXPORT_NEXT, "&Next >");
    } else {
        SetContextHelp(false);
        if (step > 5) {
            m_running = true;
            EnableWindow(FALSE);
            m_current->Apply();
            EnableWindow(TRUE);
            m_running = false;
            EndDialog(IDOK);
            return;
        }
        SetDlgItemText(IDC_EXPORT_NEXT, "&Finish");
    }
    ShowPage(step, alternative);
}

void CExportDlg::OnBack()
{
    if (m_running || m_current == NULL)
        return;
    BYTE step = m_step;
    BYTE alternative = m_alternative;
    m_current->GetPrevPage(step, alternative);
    if (PageOf(step, alternative) == NULL)
        return;
    m_current->ShowWindow(SW_HIDE);
    SetDlgItemText(IDC_EXPORT_NEXT, "&Next >");
    SetContextHelp(true);
    ShowPage(step, alternative);
}

void CExportDlg::OnOK()
{
}

void CExportDlg::OnCancel()
{
    if (!m_running)
        EndDialog(IDCANCEL);
}

BOOL CExportDlg::OnHelpInfo(HELPINFO*)
{
    ShowHelpTopic(m_hWnd, HelpTopic(m_step, m_alternative).c_str());
    return TRUE;
}

void CExportDlg::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    RECT place;
    ::GetWindowRect(m_pictureStatic.m_hWnd, &place);
    ScreenToClient(&place);
    m_picture.Render(dc, place.left, place.top, place.right - place.left, place.bottom - place.top);
    ::EndPaint(m_hWnd, &ps);
}
