// "Movie Info": one movie viewed, created, edited or removed on four pages
// in a tab control (main, tagline / plot / comment, actors, files). The
// dialog works on a private copy of the movie; the catalogue changes only
// when the opener calls one of the write-backs after the dialog ended with
// IDOK (Save or Remove).
#pragma once

#include <memory>

#include "classlib/Dialog.h"
#include "core/WinTypes.h"

class CListingCell;
class CMovie;
class CMovieActorsPage;
class CMovieCollection;
class CMovieDlg_0;
class CMovieFilesPage;
class CMovieListView;
class CMovieMainPage;
class CMoviePlotPage;

class CMovieInfoDlg : public CDialog {
public:
    enum { PAGE_MAIN, PAGE_PLOT, PAGE_ACTORS, PAGE_FILES, PAGE_COUNT };

    explicit CMovieInfoDlg(CWnd* pParent = nullptr);
    ~CMovieInfoDlg() override;

    // The movie to show: a copy of source, or a new movie when source is
    // NULL (never read-only). collection NULL means theCollection. The
    // dialog keeps no pointer to source.
    void SetMovie(CMovieCollection* collection, const CMovie* source, bool readOnly);
    // SetMovie on the movie stored under movieId; false, with nothing set,
    // when the collection holds no such movie.
    bool SetStoredMovie(CMovieCollection* collection, DWORD movieId, bool readOnly);

    // Write-back for openers that show the painted list: entry is the list's
    // entry of the movie at index (NULL and kNoEntry for a new movie); view
    // may be NULL.
    void SaveToDatabase(CMovieListView* view, CListingCell* entry, DWORD index);
    // Write-back for the tree list, which follows the change log.
    void SaveEditedMovie();

    CMovie* GetEditedMovie() const { return m_movie.get(); }
    CMovieCollection* GetCollection() const { return m_collection; }
    bool IsNewMovie() const { return m_newMovie; }
    bool IsReadOnly() const { return m_readOnly; }
    bool IsRemoved() const { return m_remove; }
    CMovieDlg_0* GetPage(int index) const;
    CMovieMainPage* GetMainPage() const;
    CMoviePlotPage* GetPlotPage() const;
    CMovieActorsPage* GetActorsPage() const;
    CMovieFilesPage* GetFilesPage() const;
    int GetCurrentPage() const { return m_currentPage; }
    // Shows the page as if its tab had been chosen.
    void SelectPage(int index);

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnTabChanging(NMHDR* pNMHDR, LRESULT* pResult);
    void OnTabChange(NMHDR* pNMHDR, LRESULT* pResult);
    void OnRemove();
    void OnSave();
    DECLARE_MESSAGE_MAP()

private:
    void ShowPage(int index, bool show);
    // The loan step of both write-backs, for the movie's id after them.
    void SaveLoan(DWORD movieId);
    // Adds a copy of the edited movie, without the ids of files that are
    // gone, to the catalogue: its id, or NO_ID after telling the user.
    DWORD AddEditedMovie();

    HWND m_placeholder;
    HWND m_removeButton;
    HWND m_saveButton;
    HWND m_tabs;
    std::unique_ptr<CMovieDlg_0> m_pages[PAGE_COUNT];
    BYTE m_currentPage;
    std::unique_ptr<CMovie> m_movie;
    DWORD m_movieNumber;
    bool m_newMovie;
    bool m_remove;
    bool m_readOnly;
    CMovieCollection* m_collection;
};
