// "Re-read Disc": reads a stored CD-ROM or DVD again from whichever CD-ROM
// drive holds it, refreshing its files' information or re-adding its files.
#pragma once

#include "app/HelpDialog.h"
#include "core/WinTypes.h"

class CReReadDiscDlg : public CHelpDialog {
public:
    explicit CReReadDiscDlg(CWnd* pParent = nullptr);

    // The stored disc to read again; call before DoModal. IDOK means the
    // disc was found in a drive and read.
    void SetDiscId(DWORD id) { m_discId = id; }

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnOnlyInfo();
    void OnReAdd();
    DECLARE_MESSAGE_MAP()

private:
    DWORD m_discId;
};
