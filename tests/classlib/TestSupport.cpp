#include "TestSupport.h"
#include "TestResource.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <cstdio>

CTestApp theTestApp;

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(ID_TEST_APPCMD, OnAppCommand)
END_MESSAGE_MAP()

namespace {

class ClasslibEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_WIN95_CLASSES };
        ::InitCommonControlsEx(&icc);
        // No test may wait on a message box.
        AfxSetMessageBoxRecording(true, IDOK);
    }
};

::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new ClasslibEnvironment);

} // namespace

void PumpPending()
{
    MSG msg;
    while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Not for the tests' loop: leave it for whoever posted it.
            ::PostQuitMessage((int)msg.wParam);
            return;
        }
        if (!AfxPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
        }
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        PumpPending();
    }
    return true;
}

bool WaitPumping(HANDLE handle, DWORD timeoutMs)
{
    DWORD start = ::GetTickCount();
    for (;;) {
        DWORD elapsed = ::GetTickCount() - start;
        if (elapsed > timeoutMs)
            return false;
        DWORD rc = ::MsgWaitForMultipleObjects(1, &handle, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
        if (rc == WAIT_OBJECT_0)
            return true;
        if (rc != WAIT_OBJECT_0 + 1)
            return false;
        PumpPending();
    }
}

std::string UniqueCompanyName(const char* testName)
{
    char name[160];
    std::snprintf(name, sizeof(name), "VistrelClasslibTest-%lu-%lu-%s", ::GetCurrentProcessId(),
                  ::GetTickCount(), testName);
    return name;
}

void DeleteCompanyKey(const std::string& company)
{
    std::string path = "Software\\" + company;
    ::SHDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
}
