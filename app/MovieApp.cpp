#include "app/MovieApp.h"

#include "core/SmallBlockHeap.h"

#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <cstdlib>
#include <vector>

#include "app/AppLayoutHost.h"
#include "app/MainFrame.h"
#include "classlib/FrameWnd.h"
#include "classlib/ProcGuard.h"
#include "core/ErrorBox.h"
#include "dialogs/FoundFileDialogs.h"
#include "core/PluginManager.h"
#include "export/TokenEngine.h"
#include "net/InternetSettings.h"
#include "net/Winsock.h"
#include "resources/resource.h"

// The static globals of the program, built in this order before start-up
// and destroyed in the reverse order at exit. The collection, the plug-in
// manager and the database format's magic live beside their classes.
CMovieApp theApp;

namespace {

const char kMutexName[] = "VISTREL-{CCD4FCAE-8657-4224-93D8-DA53E59B45F5}";
const char kCompanyKey[] = "Torvane Corp.";
// Tests start the program under a company key of their own, so that they
// never read or write the user's settings.
const char kCompanyOverrideVariable[] = "VISTREL_PROFILE_COMPANY";


// Held for the life of the process; the system closes it at the end.
HANDLE g_instanceMutex = NULL;

std::string CompanyKey()
{
    const char* own = getenv(kCompanyOverrideVariable);
    return own != NULL && *own != '\0' ? std::string(own) : std::string(kCompanyKey);
}

HWND MainWindowHandle()
{
    CWnd* main = AfxGetMainWnd();
    return main != NULL ? main->m_hWnd : NULL;
}

int ProfileInt(const char* section, const char* entry, int defaultValue)
{
    CWinApp* app = AfxGetApp();
    return app != NULL ? int(app->GetProfileInt(section, entry, defaultValue)) : defaultValue;
}

// The token engine's settings, read from the profile at each use.
class CProfileTokenSettings : public ITokenSettings {
public:
    bool UseImdbRuntime() override { return ProfileInt("script", "imdb_runtime", 0) != 0; }
};

CProfileTokenSettings g_tokenSettings;
// The listing layout reads its files beside the program and its settings
// from the profile.
CAppLayoutHost g_layoutHost;

// One default value under HKEY_CLASSES_ROOT, written with its terminating
// zero as REG_SZ data must be.
void SetClassValue(const char* key, const std::string& value)
{
    SHSetValueA(HKEY_CLASSES_ROOT, key, NULL, REG_SZ, value.c_str(), DWORD(value.size() + 1));
}

} // namespace

// ---------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CMovieApp, CWinApp)
    ON_COMMAND(ID_HELP_INDEX, OnHelp)
END_MESSAGE_MAP()

CMovieApp::CMovieApp() : m_winsockStarted(false)
{
}

CMovieApp::~CMovieApp()
{
    if (m_winsockStarted)
        WSACleanup();
}

BOOL CMovieApp::InitInstance()
{
    // While memory is there: a later failure to allocate can then be thrown
    // and reported instead of ending the program.
    SmallBlockHeapPrepareForFailure();
    // One copy at a time: a second start brings the first one forward and
    // ends without opening anything.
    g_instanceMutex = CreateMutexA(NULL, FALSE, kMutexName);
    DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED) {
        HWND other = NULL;
        EnumWindows(FindOtherInstanceProc, reinterpret_cast<LPARAM>(&other));
        if (other != NULL) {
            SetForegroundWindow(other);
            if (IsIconic(other))
                ShowWindow(other, SW_RESTORE);
        }
        return FALSE;
    }

    m_winsockStarted = InitWinsock();
    if (!m_winsockStarted) {
        AfxShowMessageBox(NULL,
                          "Unable to load winsock 2.x.\r\nInternet functions will not work.\r\n"
                          "This shouldn't happen on any Windows version after 3.11.",
                          "vistrel", MB_OK | MB_ICONERROR);
    }
    InitCommonControls();
    LoadLibraryA("RICHED32.DLL");

    SetRegistryKey(CompanyKey().c_str());
    SetErrorBoxOwnerProvider(MainWindowHandle);
    thePluginManager.SetProfileIntReader(ProfileInt);
    SetTokenSettings(&g_tokenSettings);
    SetLayoutHost(&g_layoutHost);
    InstallFoundFileDialogs();

    RegisterFileTypes();
    thePluginManager.LoadPlugins();

    CMainFrame* frame = new CMainFrame;
    m_pMainWnd = frame;
    if (!frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE)) {
        // A frame whose window was made deletes itself when it goes.
        if (m_pMainWnd == frame && frame->m_hWnd == NULL)
            delete frame;
        m_pMainWnd = NULL;
        return FALSE;
    }
    HICON icon = LoadIcon(IDR_MAINFRAME);
    frame->SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    frame->SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

    CCommandLineInfo commandLine;
    ParseCommandLine(commandLine);

    frame->ShowWindow(SW_SHOW);
    frame->UpdateWindow();

    if (commandLine.m_nShellCommand == CCommandLineInfo::FileOpen) {
        frame->LoadDatabase(commandLine.m_strFileName.c_str());
    } else if (GetProfileInt("open", "autoload_last", 1) == 1) {
        std::string last = GetProfileString("open", "last", "");
        if (!last.empty())
            frame->LoadDatabase(last.c_str());
    }
    LoadInternetSettings();
    return TRUE;
}

void CMovieApp::RegisterFileTypes()
{
    std::string program = GetModulePath();

    SetClassValue(".vdb", "Vistrel Database file");
    SetClassValue(".vsc", "Vistrel Export Script file");
    SetClassValue("Vistrel Database file", "Vistrel Database file");
    SetClassValue("Vistrel Database file\\DefaultIcon", program + ",1");
    SetClassValue("Vistrel Database file\\Shell", "Open");
    SetClassValue("Vistrel Database file\\Shell\\Open\\command",
                  "\"" + program + "\" \"%1\"");
    SetClassValue("Vistrel Export Script file", "Vistrel Export Script file");
    SetClassValue("Vistrel Export Script file\\DefaultIcon", program + ",4");
    SetClassValue("Vistrel Export Script file\\Shell\\Open\\command", "\"notepad.exe\" \"%1\"");
}

void CMovieApp::OnHelp()
{
    ShowHelpTopic(MainWindowHandle(), "index.html");
}

// ---------------------------------------------------------------------------

BOOL CALLBACK FindOtherInstanceProc(HWND window, LPARAM lParam)
{
    return AfxCallGuarded(window, UWM_ARE_YOU_ME, [&]() -> BOOL {
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutA(window, UWM_ARE_YOU_ME, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 200,
                                 &answer))
            return TRUE;
        if (answer != UWM_ARE_YOU_ME)
            return TRUE;
        *reinterpret_cast<HWND*>(lParam) = window;
        return FALSE;
    }, [] { return BOOL(TRUE); });
}

