// "Edit file": edits the part number ("Count:") of one of a movie's files.
// The number is handed back, not stored: the movie dialog writes it when the
// movie is saved, so that cancelling that dialog changes nothing.
#pragma once

#include <cstdint>

#include "classlib/Dialog.h"
#include "core/WinTypes.h"

class CEditFileDlg : public CDialog {
public:
    explicit CEditFileDlg(CWnd* pParent = nullptr);

    // The stored file to edit; call before DoModal. A file that isn't
    // stored ends the dialog at once with IDCANCEL.
    void SetFileId(DWORD id) { m_fileId = id; }
    // After IDOK: the part number typed.
    int32_t GetPartNumber() const { return m_partNumber; }

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnCountChange();
    DECLARE_MESSAGE_MAP()

private:
    DWORD m_fileId;
    int32_t m_partNumber;
};
