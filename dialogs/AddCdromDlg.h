// "Add CD-ROM/DVD": the CD-ROM drives with their media, refreshed every
// second; the first drive with a medium is chosen by itself.
#pragma once

#include <string>
#include <vector>

#include "app/HelpDialog.h"

// What the dialog asks of the system about drives.
struct DriveProbe {
    DWORD (*logicalDrives)();
    UINT (*driveType)(const char* root);
    // The volume label of the medium in the drive; false without a medium.
    bool (*volumeLabel)(const char* root, std::string* label);
};
extern const DriveProbe kSystemDrives;

class CAddCdromDlg : public CHelpDialog {
public:
    explicit CAddCdromDlg(CWnd* pParent = nullptr, const DriveProbe& probe = kSystemDrives);

    // After IDOK.
    char GetDriveLetter() const { return m_driveLetter; }
    bool GetEject() const { return m_eject; }
    bool GetShowAgain() const { return m_showAgain; }

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnTimer(UINT_PTR nIDEvent);
    void OnSelChange();
    void OnSelCancel();
    void OnDblClk();
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    struct DriveEntry {
        bool hasMedia;
        char letter;
    };
    void Refresh();
    bool IsSelectable(int index) const;
    std::string LineText(int index) const;

    const DriveProbe& m_probe;
    char m_driveLetter;
    bool m_eject;
    bool m_showAgain;
    std::vector<DriveEntry> m_entries;
    UINT_PTR m_timerId;
    UINT_PTR m_timer;
};
