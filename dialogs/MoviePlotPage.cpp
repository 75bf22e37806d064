#include "dialogs/MoviePlotPage.h"

#include "core/Movie.h"
#include "core/WndText.h"
#include "resources/resource.h"

CMoviePlotPage::CMoviePlotPage() : CMovieDlg_0(IDD_MOVIE_PLOT, nullptr)
{
    m_focusId = IDC_PLOT_TAGLINE;
}

BOOL CMoviePlotPage::CreatePage(CWnd* parent)
{
    return CreateFromResource(parent);
}

BOOL CMoviePlotPage::OnInitDialog()
{
    CMovieDlg_0::OnInitDialog();
    FillFromMovie(false);
    if (IsReadOnly()) {
        for (int id : { IDC_PLOT_OUTLINE, IDC_PLOT_TAGLINE, IDC_PLOT_COMMENT })
            SetItemReadOnly(id, true);
    }
    return FALSE;
}

void CMoviePlotPage::FillFromMovie(bool fromImdb)
{
    CMovie* movie = EditedMovie();
    if (movie == nullptr || !movie->m_imdbInfo || m_hWnd == NULL)
        return;
    const CImdbInfo& info = *movie->m_imdbInfo;
    int overwrite = OverwriteBits();
    if (!fromImdb || (overwrite & 64) != 0 || ((overwrite & 1) != 0 && !ItemHasText(IDC_PLOT_COMMENT)))
        SetWndText(::GetDlgItem(m_hWnd, IDC_PLOT_COMMENT), info.m_comment);
    SetWndText(::GetDlgItem(m_hWnd, IDC_PLOT_OUTLINE), info.m_plot);
    SetWndText(::GetDlgItem(m_hWnd, IDC_PLOT_TAGLINE), info.m_tagline);
}

bool CMoviePlotPage::SaveToMovie()
{
    CImdbInfo* info = m_hWnd != NULL ? EditedRecord() : nullptr;
    if (info == nullptr)
        return true;
    GetWndText(::GetDlgItem(m_hWnd, IDC_PLOT_COMMENT), &info->m_comment);
    GetWndText(::GetDlgItem(m_hWnd, IDC_PLOT_OUTLINE), &info->m_plot);
    GetWndText(::GetDlgItem(m_hWnd, IDC_PLOT_TAGLINE), &info->m_tagline);
    return true;
}
