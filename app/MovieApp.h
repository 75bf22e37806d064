// The application object of the main program: it makes sure only one copy
// runs, starts the platform services, registers the program's file types,
// loads the format plug-ins, creates the main frame and opens a database.
// Also the program-wide helpers for the help file and the program's path.
#pragma once

#include <string>

#include "app/HelpTopic.h"
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

