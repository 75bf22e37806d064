// "Actors": the cast of the edited movie's site record, one row per entry
// in cast order (name, " as ", character), edited through the actor dialog
// and reordered in place; "Show IMDb" opens the actor's page on the site.
#pragma once

#include <string>

#include "classlib/ListCtrl.h"
#include "dialogs/MovieDlg_0.h"

class CMovieActorsPage : public CMovieDlg_0 {
public:
    CMovieActorsPage();

    BOOL CreatePage(CWnd* parent) override;
    bool SaveToMovie() override;
    BOOL OnInitDialog() override;

    void FillFromMovie();
    // Inserts a row at index (below 0: at the end), widening the name and
    // character columns to fit.
    void AddActor(int index, const char* name, const char* character);
    // The address "Show IMDb" opens for the selected row; empty without one.
    std::string GetShowImdbAddress() const;

protected:
    void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnAdd();
    void OnEdit();
    void OnRemove();
    void OnRemoveAll();
    void OnMoveUp();
    void OnMoveDown();
    void OnShowImdb();
    DECLARE_MESSAGE_MAP()

private:
    int TextWidth(const char* text) const;
    bool IsSelected(int row) const;
    // The only selected row, else the selection's anchor; -1 for none.
    int ChosenRow() const;
    // Moves the unselected row at from to to, keeping its texts.
    void MoveRow(int from, int to);
    void UpdateButtons();

    CListCtrl m_list;
};
