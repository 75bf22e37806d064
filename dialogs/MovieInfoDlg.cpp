#include "dialogs/MovieInfoDlg.h"

#include <commctrl.h>

#include <string>

#include "app/ListSelection.h"
#include "app/ListingCell.h"
#include "app/MovieListView.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "dialogs/MovieActorsPage.h"
#include "dialogs/MovieFilesPage.h"
#include "dialogs/MovieMainPage.h"
#include "dialogs/MoviePlotPage.h"
#include "resources/resource.h"

namespace {

const char* const kTabTexts[CMovieInfoDlg::PAGE_COUNT] = { "Main", "Tagline / Plot / Comment", "Actors",
                                                           "Files" };

// The person's loan of the movie, taken and handed back through the
// collection.
void ChangeLoan(CMovieCollection& collection, DWORD personId, DWORD movieId, bool open)
{
    if (personId == NO_ID)
        return;
    CPerson* person = collection.GetPersonCopy(personId);
    if (person == nullptr)
        return;
    if (open)
        person->AddLoan(movieId);
    else
        person->ReturnLoan(movieId);
    collection.ReleasePersonCopy(&person);
}

} // namespace

BEGIN_MESSAGE_MAP(CMovieInfoDlg, CDialog)
    ON_NOTIFY(TCN_SELCHANGING, IDC_MOVIEINFO_TABS, OnTabChanging)
    ON_NOTIFY(TCN_SELCHANGE, IDC_MOVIEINFO_TABS, OnTabChange)
    ON_BN_CLICKED(IDC_MOVIEINFO_REMOVE, OnRemove)
    ON_BN_CLICKED(IDC_MOVIEINFO_SAVE, OnSave)
END_MESSAGE_MAP()

CMovieInfoDlg::CMovieInfoDlg(CWnd* pParent)
    : CDialog(IDD_MOVIE_INFO, pParent),
      m_placeholder(NULL),
      m_removeButton(NULL),
      m_saveButton(NULL),
      m_tabs(NULL),
      m_currentPage(0),
      m_movieNumber(NO_ID),
      m_newMovie(false),
      m_remove(false),
      m_readOnly(false),
      m_collection(&theCollection)
{
    m_pages[PAGE_MAIN].reset(new CMovieMainPage);
    m_pages[PAGE_PLOT].reset(new CMoviePlotPage);
    m_pages[PAGE_ACTORS].reset(new CMovieActorsPage);
    m_pages[PAGE_FILES].reset(new CMovieFilesPage);
}

CMovieInfoDlg::~CMovieInfoDlg()
{
}

CMovieDlg_0* CMovieInfoDlg::GetPage(int index) const
{
    return index >= 0 && index < PAGE_COUNT ? m_pages[index].get() : nullptr;
}

CMovieMainPage* CMovieInfoDlg::GetMainPage() const
{
    return static_cast<CMovieMainPage*>(m_pages[PAGE_MAIN].get());
}

CMoviePlotPage* CMovieInfoDlg::GetPlotPage() const
{
    return static_cast<CMoviePlotPage*>(m_pages[PAGE_PLOT].get());
}

CMovieActorsPage* CMovieInfoDlg::GetActorsPage() const
{
    return static_cast<CMovieActorsPage*>(m_pages[PAGE_ACTORS].get());
}

CMovieFilesPage* CMovieInfoDlg::GetFilesPage() const
{
    return static_cast<CMovieFilesPage*>(m_pages[PAGE_FILES].get());
}

void CMovieInfoDlg::SetMovie(CMovieCollection* collection, const CMovie* source, bool readOnly)
{
    m_collection = collection != nullptr ? collection : &theCollection;
    m_movie.reset(new CMovie);
    if (source == nullptr) {
        m_newMovie = true;
        m_movieNumber = NO_ID;
        m_readOnly = false;
    } else {
        m_movie->CopyFrom(source);
        m_newMovie = false;
        m_movieNumber = source->m_id;
        m_readOnly = readOnly;
    }
    for (auto& page : m_pages) {
        page->SetOwner(this);
        page->OnSetMovie(source);
    }
}

bool CMovieInfoDlg::SetStoredMovie(CMovieCollection* collection, DWORD movieId, bool readOnly)
{
    CMovieCollection& from = collection != nullptr ? *collection : theCollection;
    CMovie* copy = from.GetMovieCopy(movieId);
    if (copy == nullptr)
        return false;
    SetMovie(&from, copy, readOnly);
    from.ReleaseMovieCopy(&copy);
    return true;
}

BOOL CMovieInfoDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_placeholder = ::GetDlgItem(m_hWnd, IDC_MOVIEINFO_PAGE);
    m_removeButton = ::GetDlgItem(m_hWnd, IDC_MOVIEINFO_REMOVE);
    m_saveButton = ::GetDlgItem(m_hWnd, IDC_MOVIEINFO_SAVE);
    m_tabs = ::GetDlgItem(m_hWnd, IDC_MOVIEINFO_TABS);

    CWnd* placeholder = CWnd::FromHandle(m_placeholder);
    RECT area = { 0, 0, 0, 0 };
    ::GetClientRect(m_placeholder, &area);
    for (auto& page : m_pages) {
        page->SetOwner(this);
        if (!page->CreatePage(placeholder))
            continue;
        page->MoveWindow(&area, FALSE);
        page->ShowWindow(SW_HIDE);
    }

    for (int i = 0; i < PAGE_COUNT; i++) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(kTabTexts[i]);
        ::SendMessage(m_tabs, TCM_INSERTITEMA, i, LPARAM(&item));
    }
    ::SendMessage(m_tabs, TCM_SETCURSEL, 0, 0);
    ShowPage(m_currentPage, true);

    const char* title = m_movie != nullptr ? m_movie->m_title : nullptr;
    std::string caption = std::string("Movie Info - ") + (title != nullptr ? title : "[no title]");
    SetWindowText(caption.c_str());
    return FALSE;  // the page has the focus
}

void CMovieInfoDlg::ShowPage(int index, bool show)
{
    CMovieDlg_0* page = GetPage(index);
    if (page == nullptr || page->m_hWnd == NULL)
        return;
    page->ShowWindow(show ? SW_SHOW : SW_HIDE);
    if (show)
        page->TakeFocus();
}

void CMovieInfoDlg::SelectPage(int index)
{
    if (index < 0 || index >= PAGE_COUNT || m_hWnd == NULL)
        return;
    ShowPage(m_currentPage, false);
    ::SendMessage(m_tabs, TCM_SETCURSEL, index, 0);
    m_currentPage = BYTE(index);
    ShowPage(m_currentPage, true);
}

void CMovieInfoDlg::OnTabChanging(NMHDR*, LRESULT* pResult)
{
    ShowPage(m_currentPage, false);
    *pResult = FALSE;
}

void CMovieInfoDlg::OnTabChange(NMHDR*, LRESULT* pResult)
{
    LRESULT selected = ::SendMessage(m_tabs, TCM_GETCURSEL, 0, 0);
    if (selected >= 0 && selected < PAGE_COUNT)
        m_currentPage = BYTE(selected);
    ShowPage(m_currentPage, true);
    *pResult = 0;
}

void CMovieInfoDlg::OnRemove()
{
    if (m_newMovie || m_readOnly)
        return;
    if (MessageBox("This will remove all info stored about the movie.", "Warning",
                   MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return;
    m_remove = true;
    EndDialog(IDOK);
}

void CMovieInfoDlg::OnSave()
{
    if (!m_readOnly) {
        // A new movie can't be saved before its title has text: the main
        // page keeps the button disabled until then.
        if (m_saveButton != NULL && !::IsWindowEnabled(m_saveButton))
            return;
        if (m_movie != nullptr) {
            if (!m_movie->m_imdbInfo)
                m_movie->m_imdbInfo.reset(new CImdbInfo);
            for (auto& page : m_pages)
                page->SaveToMovie();
        }
    }
    EndDialog(IDOK);
}

// Enter without a default button: Save when it may be pressed; a read-only
// dialog just closes, as it has nothing to save.
void CMovieInfoDlg::OnOK()
{
    if (m_readOnly) {
        EndDialog(IDCANCEL);
        return;
    }
    if (m_saveButton != NULL && ::IsWindowEnabled(m_saveButton) && ::IsWindowVisible(m_saveButton))
        OnSave();
}

DWORD CMovieInfoDlg::AddEditedMovie()
{
    std::unique_ptr<CMovie> record(new CMovie);
    record->CopyFrom(m_movie.get());
    // Files can go while the dialog is open (a re-read from "More Info").
    std::vector<DWORD> kept;
    for (DWORD id : record->m_fileIds) {
        CMovieFile* file = m_collection->GetFileCopy(id);
        if (file != nullptr)
            kept.push_back(id);
        m_collection->ReleaseFileCopy(&file);
    }
    record->m_fileIds.swap(kept);
    DWORD movieId = m_collection->AddMovie(record.get(), false);
    if (movieId == NO_ID)
        ShowError(0, "Unable to add movie to database");
    return movieId;
}

void CMovieInfoDlg::SaveLoan(DWORD movieId)
{
    CMovieMainPage* main = GetMainPage();
    DWORD shown = main->GetShownBorrower();
    DWORD opening = main->GetOpeningBorrower();
    if (shown == opening || movieId == NO_ID)
        return;
    ChangeLoan(*m_collection, opening, movieId, false);
    ChangeLoan(*m_collection, shown, movieId, true);
}

void CMovieInfoDlg::SaveEditedMovie()
{
    if (m_movie == nullptr) {
        ShowError(1, "Movie Info Dialog had some errors");
        return;
    }
    DWORD movieId = NO_ID;
    if (m_newMovie) {
        movieId = AddEditedMovie();
        if (movieId == NO_ID)
            return;
    } else if (m_remove) {
        m_collection->RemoveMovie(m_movieNumber);
        return;
    } else {
        CMovie* stored = m_collection->GetMovieCopy(m_movieNumber);
        if (stored == nullptr)
            return;  // the movie went while the dialog was open
        DWORD wanted = m_movie->m_id;
        DWORD storedId = stored->m_id;
        m_movie->m_id = storedId;
        stored->CopyFrom(m_movie.get());
        m_collection->ReleaseMovieCopy(&stored);
        if (wanted != storedId)
            m_collection->RenumberMovie(m_movieNumber, wanted, GetMainPage()->GetExchange());
        movieId = wanted;
    }
    SaveLoan(movieId);
}

void CMovieInfoDlg::SaveToDatabase(CMovieListView* view, CListingCell* entry, DWORD index)
{
    if (m_movie == nullptr) {
        ShowError(1, "Movie Info Dialog had some errors");
        return;
    }
    // The entry is used only while the view still holds it at its index.
    if (view != nullptr && (index == kNoEntry || view->GetEntry(index) != entry || entry == nullptr)) {
        entry = m_newMovie ? nullptr : view->FindItemForMovie(m_movieNumber, &index);
        if (entry == nullptr)
            index = kNoEntry;
    }
    DWORD movieId = NO_ID;
    if (m_newMovie) {
        movieId = AddEditedMovie();
        if (movieId == NO_ID)
            return;
        if (view != nullptr) {
            view->FillList();
            view->FillTree();
            view->UpdateMovieList();
        }
        SaveLoan(movieId);
        return;
    }

    DWORD storedId = entry != nullptr ? entry->GetMovie() : m_movieNumber;
    CMovie* stored = m_collection->GetMovieCopy(storedId);
    if (stored == nullptr)
        return;  // nothing to write to
    if (m_remove) {
        m_collection->ReleaseMovieCopy(&stored);
        m_collection->RemoveMovie(storedId);
        if (view != nullptr && index != kNoEntry)
            view->RemoveItem(index);
        return;
    }
    DWORD wanted = m_movie->m_id;
    m_movie->m_id = storedId;
    stored->CopyFrom(m_movie.get());
    m_collection->ReleaseMovieCopy(&stored);
    movieId = storedId;

    if (wanted != storedId) {
        bool exchange = GetMainPage()->GetExchange();
        DWORD otherIndex = kNoEntry;
        if (view != nullptr && exchange)
            view->FindItemForMovie(wanted, &otherIndex);
        m_collection->RenumberMovie(storedId, wanted, exchange);
        movieId = wanted;
        if (view != nullptr && !exchange) {
            // The movies from the wanted id on moved up by one: every entry
            // of that run would show another movie.
            view->FillList();
            view->UpdateMovieList();
            SaveLoan(movieId);
            return;
        }
        if (view != nullptr && otherIndex != kNoEntry)
            view->RefreshItem(otherIndex, storedId);
    }
    if (view != nullptr) {
        if (index != kNoEntry)
            view->RefreshItem(index, movieId);
        view->SortEntries(true);
        DWORD found = kNoEntry;
        if (view->FindItemForMovie(movieId, &found) != nullptr)
            view->EnsureItemVisible(found);
        view->UpdateMovieList();
    }
    SaveLoan(movieId);
}
