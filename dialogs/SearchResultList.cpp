#include "dialogs/SearchResultList.h"

#include "app/MainFrame.h"
#include "classlib/Menu.h"
#include "classlib/WinApp.h"
#include "core/MovieCollection.h"
#include "dialogs/FileInfoDlg.h"
#include "dialogs/MovieInfoDlg.h"
#include "dialogs/SearchDlg.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CSearchResultList, CListBox)
    ON_WM_RBUTTONUP()
    ON_COMMAND(ID_RESULT_LOCATE_MOVIE, OnLocateMovie)
    ON_COMMAND(ID_RESULT_LOCATE_FILE, OnLocateFile)
    ON_COMMAND(ID_RESULT_LOCATE_DISC, OnLocateDisc)
    ON_COMMAND(ID_RESULT_SHOW_INFO, OnShowInfo)
END_MESSAGE_MAP()

void CSearchResultList::OnRButtonUp(UINT, CPoint point)
{
    // Nothing during a search: the worker is filling the list.
    if (m_dialog == nullptr || m_dialog->IsSearching())
        return;
    BOOL outside = TRUE;
    UINT index = ItemFromPoint(point, outside);
    if (outside || int(index) >= GetCount())
        return;
    SetCurSel(int(index));
    // The "nothing found" line carries no result.
    m_item = static_cast<CSearchResultItem*>(GetItemDataPtr(int(index)));
    if (m_item == nullptr || m_item == reinterpret_cast<CSearchResultItem*>(LB_ERR))
        return;

    CMenu menu;
    if (!menu.LoadMenu(IDR_SEARCH_MENU))
        return;
    int popupIndex = m_item->m_kind == SEARCH_FILE ? 1 : (m_item->m_kind == SEARCH_DISC ? 2 : 0);
    HMENU popup = ::GetSubMenu(menu, popupIndex);
    if (m_item->m_kind == SEARCH_FILE) {
        CMovie* movie = theCollection.GetMovieCopyByFile(m_item->m_id);
        bool held = movie != nullptr;
        theCollection.ReleaseMovieCopy(&movie);
        ::EnableMenuItem(popup, ID_RESULT_LOCATE_MOVIE, MF_BYCOMMAND | (held ? MF_ENABLED : MF_GRAYED));
    }
    ClientToScreen(&point);
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd, nullptr);
}

void CSearchResultList::OnLocateMovie()
{
    if (m_item == nullptr || m_dialog == nullptr)
        return;
    DWORD movieId = m_item->m_id;
    if (m_item->m_kind == SEARCH_FILE) {
        CMovie* movie = theCollection.GetMovieCopyByFile(m_item->m_id);
        movieId = movie != nullptr ? movie->m_id : NO_ID;
        theCollection.ReleaseMovieCopy(&movie);
        if (movieId == NO_ID)
            return;
    }
    m_dialog->Locate(SEARCH_MOVIE, movieId);
}

void CSearchResultList::OnLocateFile()
{
    if (m_item != nullptr && m_dialog != nullptr)
        m_dialog->Locate(SEARCH_FILE, m_item->m_id);
}

void CSearchResultList::OnLocateDisc()
{
    if (m_item != nullptr && m_dialog != nullptr)
        m_dialog->Locate(SEARCH_DISC, m_item->m_id);
}

void CSearchResultList::OnShowInfo()
{
    if (m_item == nullptr)
        return;
    if (m_item->m_kind != SEARCH_FILE && m_item->m_kind != SEARCH_DISC) {
        ShowMovieInfo(m_item->m_id);
        return;
    }
    CFileInfoDlg dialog(m_dialog);
    dialog.SetFile(m_item->m_id, m_item->m_kind == SEARCH_DISC, nullptr, false, true);
    dialog.DoModal();
}

void CSearchResultList::ShowMovieInfo(DWORD movieId)
{
    CMovie* copy = theCollection.GetMovieCopy(movieId);
    if (copy == nullptr)
        return;
    CMovieInfoDlg dialog(m_dialog);
    dialog.SetMovie(nullptr, copy, false);
    theCollection.ReleaseMovieCopy(&copy);
    if (dialog.DoModal() != IDOK)
        return;
    // Through the painted list when it shows the movie; else straight into
    // the catalogue, so that the edit is never lost.
    CMainFrame* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    CMovieListView* pane = frame != nullptr ? frame->GetPane() : nullptr;
    DWORD index = kNoEntry;
    CListingCell* entry = pane != nullptr ? pane->FindItemForMovie(movieId, &index) : nullptr;
    if (entry != nullptr)
        dialog.SaveToDatabase(pane, entry, index);
    else
        dialog.SaveEditedMovie();
    if (m_dialog != nullptr)
        m_dialog->SetChanged();
}
