// "Main", the first page of the movie information dialog: the movie's own
// fields and those of its site record (year, director, genre, country,
// runtime, rating, address, cover), and its loan. Nothing is stored before
// the dialog's write-back: the loan buttons only change the borrower shown.
// "Update from IMDb" fetches the record from the site and refills this page
// and its sister pages; the cover menu works on the record's cover.
#pragma once

#include <string>

#include "app/CoverStatic.h"
#include "core/ImdbInfo.h"
#include "dialogs/MovieDlg_0.h"
#include "core/WinTypes.h"

class CMovieMainPage : public CMovieDlg_0, public ICoverOwner {
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

    // The cover operations of the cover menu, on the edited movie's record.
    bool HasCover() override;
    void ShowCover() override;
    void GetCoverType(char** type) override;
    bool LoadCover(const char* path) override;
    bool SaveCover(const char* path) override;
    bool RemoveCover() override;

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
    void OnPaint();
    void OnUpdateFromImdb();
    void OnChangeId();
    void OnWhatIsImdb();

    DECLARE_MESSAGE_MAP()

private:
    void ShowLoanText();
    void ShowRating(double rating);
    void ShowRatingText(int position);
    void SetNumber(int id, unsigned long value);
    bool InCover(CPoint point) const;
    // Runs a retrieval into the record; false after telling the user why
    // it failed (failure is that text).
    bool Retrieve(CImdbInfo* record, const std::string& name, bool isLink, const char* failure);
    // Takes what a retrieval brought into the movie and the pages.
    void MergeRetrieved(bool updateTitle);

    CCoverStatic m_cover;
    DWORD m_shownBorrower;
    DWORD m_openingBorrower;
    int32_t m_loanIndex;
    SYSTEMTIME m_borrowedOn;  // of the opening borrower's loan
    bool m_exchange;
};
