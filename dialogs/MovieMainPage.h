// "Main", the first page of the movie information dialog: the movie's own
// fields and those of its site record (year, director, genre, country,
// runtime, rating, address, cover), and its loan. Nothing is stored before
// the dialog's write-back: the loan buttons only change the borrower shown.
//
// The site parts are seams for the retrieval: "Update from IMDb" with the
// merge, "Change"/"Set ID", "What is IMDb ?" and the cover menu. Their
// buttons are disabled and their handlers do nothing yet.
#pragma once

#include <string>

#include "app/CoverStatic.h"
#include "dialogs/MovieDlg_0.h"
#include "core/WinTypes.h"

class CMovieMainPage : public CMovieDlg_0 {
public:
    CMovieMainPage();

    void OnSetMovie(const CMovie* source) override;
    BOOL CreatePage(CWnd* parent) override;
    bool SaveToMovie() override;
    BOOL OnInitDialog() override;

    // Fills the controls from the edited movie: fromImdb false when the page
    // opens, true after the record was fetched or a file added (the movie's
    // language, subtitles and seen flag then stay as shown).
    void FillFromMovie(bool fromImdb);

    // The change-id dialog's choice: the edited movie takes the id (the
    // catalogue is renumbered by the write-back) and the exchange flag
    // whether a movie holding it swaps ids or the run from it moves up.
    void ApplyChangedId(DWORD id, bool exchange);

    std::string GetTitleText() const;
    bool HasTitleText() const;
    // The last choice of the change-id dialog: a movie holding the new id
    // swaps ids with this one (true) or the run from it moves up.
    bool GetExchange() const { return m_exchange; }
    // The borrower's person id as shown and as it was on opening; NO_ID for
    // nobody.
    DWORD GetShownBorrower() const { return m_shownBorrower; }
    DWORD GetOpeningBorrower() const { return m_openingBorrower; }

protected:
    void OnTitleChange();
    void OnAddressChange();
    void OnSubtitlesClicked();
    void OnGoto();
    void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar);
    void OnBorrowed();
    void OnReturned();
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);

    // Seams of the retrieval (disabled).
    void OnUpdateFromImdb();
    void OnChangeId();
    void OnWhatIsImdb();
    void OnCoverMenu(POINT screenPoint);
    void OnShowCover();

    DECLARE_MESSAGE_MAP()

private:
    void ShowLoanText();
    void ShowRating(double rating);
    void ShowRatingText(int position);
    void SetNumber(int id, unsigned long value);
    bool InCover(CPoint point) const;

    CCoverStatic m_cover;
    DWORD m_shownBorrower;
    DWORD m_openingBorrower;
    int32_t m_loanIndex;
    SYSTEMTIME m_borrowedOn;  // of the opening borrower's loan
    bool m_exchange;
};
