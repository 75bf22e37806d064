// "Update movie file": asks whether a file found on a CD-ROM replaces the
// same file stored from a hard disc. The answer can be made permanent.
#pragma once

#include "classlib/Dialog.h"

class CUpdateMovieFileDlg : public CDialog {
public:
    explicit CUpdateMovieFileDlg(CWnd* pParent = nullptr);
    ~CUpdateMovieFileDlg() override;

    // The stored file's path and the new one's, shown in the dialog.
    void SetPaths(const char* oldPath, const char* newPath);

    // DoModal gives IDOK for Yes (replace) and IDCANCEL for No. With a
    // remembered answer the dialog ends at once without showing itself.
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    // Remembers the answer when "Always answer this" is checked.
    void StoreAnswer(int answer);

    char* m_oldPath;
    char* m_newPath;
};
