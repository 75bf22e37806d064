// "Tagline / Plot / Comment": three texts of the edited movie's site record.
#pragma once

#include "dialogs/MovieDlg_0.h"

class CMoviePlotPage : public CMovieDlg_0 {
public:
    CMoviePlotPage();

    BOOL CreatePage(CWnd* parent) override;
    bool SaveToMovie() override;
    BOOL OnInitDialog() override;

    // Fills the three edits from the record. After a retrieval (fromImdb)
    // the comment follows the "update"/"overwrite" bits: 64 replaces it, 1
    // fills only an empty one, otherwise a typed comment stays.
    void FillFromMovie(bool fromImdb);
};
