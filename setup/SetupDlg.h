// The installer's wizard: notice and agreement, folder, shortcuts, then the
// installation of the payload archive with a progress bar.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/Dialog.h"

class CSetupDlg : public CDialog {
public:
    explicit CSetupDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override {}      // Enter does nothing: Next is the way on
    void OnCancel() override {}  // nor does Esc

    std::string m_installFolder;
    uint8_t m_page;
    bool m_finished;
    bool m_accepted;
    bool m_declined;
    bool m_failed;
    bool m_desktopShortcut;
    bool m_startMenuShortcut;

protected:
    void OnNext();
    void OnBack();
    void OnAccept();
    void OnDecline();
    void OnFolderChange();
    void OnDesktop();
    void OnStartMenu();
    void OnBrowse();
    DECLARE_MESSAGE_MAP()

private:
    void ShowPage(uint8_t page, bool show);
    void UpdateButtons();
    bool Install();
    void Fail(const char* text);
    bool WriteShortcuts();

    bool m_installing;
};

// The proposed folder: the program files folder of the registry value, else
// "C:\Program", then "\vistrel".
std::string DefaultInstallFolder(const char* valueName = "ProgramFilesDir");
// Makes the folder and its missing parents; an existing folder is success.
bool MakeFolderPath(const std::string& folder);
// A copy of a resource of the program; false when it is missing.
bool LoadResourceCopy(const char* name, const char* type, std::vector<uint8_t>& copy);
