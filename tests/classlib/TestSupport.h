// Shared helpers of the class layer's tests.
#pragma once

#include <functional>
#include <string>

#include "classlib/ClassLib.h"

// Dispatches every message waiting in this thread's queue.
void PumpPending();
// Pumps messages until done() holds or the time is up; answers done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 60000);
// Waits for a handle while dispatching this thread's messages.
bool WaitPumping(HANDLE handle, DWORD timeoutMs = 60000);

// A registry company name that no other test or run uses.
std::string UniqueCompanyName(const char* testName);
// Deletes HKEY_CURRENT_USER\Software\<company> with everything below it.
void DeleteCompanyKey(const std::string& company);

// The test program's application object; it answers ID_TEST_APPCMD.
class CTestApp : public CWinApp {
public:
    CTestApp() : CWinApp("Classlib Tests") {}
    int m_nAppCommands = 0;

protected:
    void OnAppCommand() { ++m_nAppCommands; }
    DECLARE_MESSAGE_MAP()
};

extern CTestApp theTestApp;
