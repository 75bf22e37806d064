// "Files": the edited movie's media files, one line each ("(n) " with the
// part number, then the name), the selected file's media information and
// the movie's own type text. Files are added through the add-file dialog
// and taken off the movie here; a part number edited here waits, like every
// other edit, until the movie is saved.
#pragma once

#include <cstdint>
#include <map>

#include "dialogs/MovieDlg_0.h"
#include "core/WinTypes.h"

class CMovieFilesPage : public CMovieDlg_0 {
public:
    CMovieFilesPage();

    BOOL CreatePage(CWnd* parent) override;
    bool SaveToMovie() override;
    BOOL OnInitDialog() override;

    void FillFromMovie();
    // Add is offered only while the movie has a title (and never read-only).
    void AllowAdd(bool titled);
    // The part number a line shows for the file: the one edited here and not
    // yet saved, else the stored one.
    int32_t ShownPartNumber(DWORD fileId, int32_t stored) const;

protected:
    void OnSelChange();
    void OnSelCancel();
    void OnAdd();
    void OnEdit();
    void OnRemove();
    void OnMoreInfo();
    DECLARE_MESSAGE_MAP()

private:
    // The file id of the selected line; NO_ID for none.
    DWORD SelectedFileId() const;
    void SelectFile(DWORD fileId);

    std::map<DWORD, int32_t> m_pendingParts;  // file id -> part number typed
};
