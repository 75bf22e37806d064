// The base of the movie information dialog's pages. A page is a child dialog
// of its own resource inside the dialog's page placeholder; it reaches the
// edited movie, the dialog's flags and its collection only through its
// owner, and never ends itself: Enter, Esc and closing act on the owner.
#pragma once

#include <string>

#include "classlib/Dialog.h"

class CImdbInfo;
class CMovie;
class CMovieCollection;
class CMovieInfoDlg;

class CMovieDlg_0 : public CDialog {
public:
    CMovieDlg_0(UINT nIDTemplate, CWnd* pParent);

    void SetOwner(CMovieInfoDlg* owner) { m_owner = owner; }
    CMovieInfoDlg* GetOwner() const { return m_owner; }

    // The stored movie the dialog shows (NULL for a new movie), before the
    // page is created.
    virtual void OnSetMovie(const CMovie* source);
    // Makes the page window under parent; nonzero on success.
    virtual BOOL CreatePage(CWnd* parent);
    // Copies the page's controls into the edited movie.
    virtual bool SaveToMovie();

    // Gives the focus to the page's first control, or to the one the page
    // chose when it opened.
    void TakeFocus();

    void OnOK() override;
    void OnCancel() override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // What the pages share: the window of their own resource, and the
    // owner's movie, flags and collection.
    BOOL CreateFromResource(CWnd* parent);
    CMovie* EditedMovie() const;
    // The edited movie's site record, made empty when the movie has none
    // yet; NULL without a movie.
    CImdbInfo* EditedRecord() const;
    CMovieCollection* Collection() const;
    bool IsReadOnly() const;
    bool IsNewMovie() const;

    // The profile's "update"/"overwrite" bits: 16 the rating, 64 the
    // comment, 1 a field that is empty; they rule what a refill after a
    // retrieval replaces.
    static int OverwriteBits();

    void EnableItem(int id, bool enable);
    void ShowItem(int id, bool show);
    void SetItemReadOnly(int id, bool readOnly);
    bool ItemHasText(int id) const;
    // Opens a web address with the program the user has for it; nothing for
    // an empty address.
    void OpenAddress(const std::string& address) const;

    CMovieInfoDlg* m_owner;
    int m_focusId;  // 0: the first control in the tab order
};
