// The application object of the main program: it makes sure only one copy
// runs, starts the platform services, registers the program's file types,
// loads the format plug-ins, creates the main frame and opens a database.
// Also the program-wide helpers for the help file and the program's path.
#pragma once

#include <string>

#include "classlib/WinApp.h"

class CMovieApp : public CWinApp {
public:
    CMovieApp();
    ~CMovieApp() override;

    BOOL InitInstance() override;

    // Writes the shell file types ".vdb" and ".vsc" (at every start).
    void RegisterFileTypes();

protected:
    void OnHelp();
    DECLARE_MESSAGE_MAP()

private:
    bool m_winsockStarted;
};

extern CMovieApp theApp;

// The registered message of the single-instance probe; the main frame
// answers it with the message id itself.
extern const UINT UWM_ARE_YOU_ME;

// The EnumWindows callback of the probe: asks each window (200 ms at most)
// and stops at the first that answers; *lParam (an HWND*) receives it.
BOOL CALLBACK FindOtherInstanceProc(HWND window, LPARAM lParam);

// The full path of the main program, however long it is; empty when the
// system can't tell.
std::string GetModulePath();

// The help file beside the program, "<folder>\vistrel.chm", followed by
// "::/" and the topic when one is given.
std::string GetHelpTopicPath(const char* topic);

// Opens the help file at a topic over the owner window (HTML Help, bound
// from hhctrl.ocx at first use). Dialogs call it from their help handler.
void ShowHelpTopic(HWND owner, const char* topic);
