// The installer: covers the screen with its banner window and runs the
// setup wizard over it; the program ends when the wizard does.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "classlib/WinApp.h"
#include "resources/setup_resource.h"
#include "setup/SetupBanner.h"
#include "setup/SetupDlg.h"

class CSetupApp : public CWinApp {
public:
    CSetupApp() : CWinApp("Vistrel Setup") {}
    BOOL InitInstance() override;
};

CSetupApp theApp;

BOOL CSetupApp::InitInstance()
{
    if (FAILED(::CoInitialize(nullptr)))
        return FALSE;
    ::InitCommonControls();
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_NOCLOSE;
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = m_hInstance;
    windowClass.hIcon = ::LoadIcon(m_hInstance, MAKEINTRESOURCE(IDI_SETUP));
    windowClass.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "VistrelSetupBanner";
    ::RegisterClassA(&windowClass);

    CSetupBanner banner;
    banner.CreateEx(0, "VistrelSetupBanner", "Setup", WS_POPUP, 0, 0, ::GetSystemMetrics(SM_CXSCREEN),
                    ::GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr);
    banner.ShowWindow(SW_SHOWMAXIMIZED);
    banner.UpdateWindow();
    {
        CSetupDlg dialog(&banner);
        dialog.DoModal();
    }
    banner.ShowWindow(SW_HIDE);
    banner.DestroyWindow();
    ::CoUninitialize();
    return FALSE;
}
