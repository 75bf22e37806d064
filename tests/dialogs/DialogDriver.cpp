#include "DialogDriver.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <map>
#include <vector>

#include "classlib/WinApp.h"
#include "core/ErrorBox.h"
#include "core/PluginManager.h"
#include "dialogs/FoundFileDialogs.h"

CWinApp theTestApp("Vistrel Dialog Tests");

namespace {

class DialogsEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&icc);
        // No test may wait on a message box.
        AfxSetMessageBoxRecording(true, IDOK);
        SetErrorBoxRecording(true);
        InstallFoundFileDialogs();
        thePluginManager.SetPluginFolder((WindowsPath(VISTREL_SCAN_PLUGIN_DIR) + "\\").c_str());
        thePluginManager.LoadPlugins();
    }
};

::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new DialogsEnvironment);

DialogDriver* g_driver = nullptr;
const char* const kSeenProperty = "VistrelTestDriverSeen";
const char* const kCancelAtProperty = "VistrelTestDriverCancelAt";
// How long a dialog may stay open after its script ran: a dialog that works
// (converting covers, scanning a disc) stays open for a while on a loaded
// machine, and only a broken test keeps one open this long.
const DWORD kLeftOpenMs = 60000;

BOOL CALLBACK CollectDialog(HWND window, LPARAM param)
{
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof(className));
    if (lstrcmpA(className, "#32770") == 0 && ::IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

} // namespace

ScopedProfile::ScopedProfile(const char* testName)
{
    char name[160];
    std::snprintf(name, sizeof(name), "VistrelDialogsTest-%lu-%lu-%s", ::GetCurrentProcessId(),
                  ::GetTickCount(), testName);
    m_company = name;
    theTestApp.SetRegistryKey(m_company.c_str());
}

ScopedProfile::~ScopedProfile()
{
    std::string path = "Software\\" + m_company;
    ::SHDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
    theTestApp.SetRegistryKey((LPCSTR)nullptr);
}

int ScopedProfile::GetInt(const char* section, const char* entry, int defaultValue)
{
    return int(theTestApp.GetProfileInt(section, entry, defaultValue));
}

void ScopedProfile::SetInt(const char* section, const char* entry, int value)
{
    theTestApp.WriteProfileInt(section, entry, value);
}

DialogDriver::DialogDriver(std::function<void(HWND)> script)
    : m_script(std::move(script)), m_timer(0), m_count(0)
{
    g_driver = this;
    m_timer = ::SetTimer(nullptr, 0, 20, &DialogDriver::OnTimer);
}

DialogDriver::~DialogDriver()
{
    ::KillTimer(nullptr, m_timer);
    g_driver = nullptr;
}

void CALLBACK DialogDriver::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_driver != nullptr)
        g_driver->Tick();
}

void DialogDriver::Tick()
{
    std::vector<HWND> dialogs;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    for (HWND dialog : dialogs) {
        if (::GetPropA(dialog, kSeenProperty) == nullptr) {
            ::SetPropA(dialog, kSeenProperty, reinterpret_cast<HANDLE>(1));
            ::SetPropA(dialog, kCancelAtProperty,
                       reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(::GetTickCount() + kLeftOpenMs)));
            ++m_count;
            m_script(dialog);
        } else {
            DWORD cancelAt = DWORD(reinterpret_cast<UINT_PTR>(::GetPropA(dialog, kCancelAtProperty)));
            if (LONG(::GetTickCount() - cancelAt) > 0) {
                ADD_FAILURE() << "the dialog \"" << WindowCaption(dialog) << "\" was left open";
                ::PostMessage(dialog, WM_COMMAND, IDCANCEL, 0);
                ::SetPropA(dialog, kCancelAtProperty,
                           reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(::GetTickCount() + kLeftOpenMs)));
            }
        }
    }
}

namespace {
std::vector<std::function<void()>> g_later;
std::map<UINT_PTR, std::function<bool()>> g_polls;

void CALLBACK LaterTick(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    if (g_later.empty())
        return;
    std::function<void()> f = std::move(g_later.front());
    g_later.erase(g_later.begin());
    f();
}

void CALLBACK PollTick(HWND, UINT, UINT_PTR id, DWORD)
{
    auto it = g_polls.find(id);
    if (it == g_polls.end()) {
        ::KillTimer(nullptr, id);
        return;
    }
    // Called in place, so a check keeps what it changes in itself; a map's
    // entries stay where they are while checks add others.
    if (it->second()) {
        ::KillTimer(nullptr, id);
        g_polls.erase(id);
    }
}
} // namespace

void Later(std::function<void()> f)
{
    g_later.push_back(std::move(f));
    ::SetTimer(nullptr, 0, 150 * UINT(g_later.size()), LaterTick);
}

void Poll(std::function<bool()> check)
{
    g_polls[::SetTimer(nullptr, 0, 20, PollTick)] = std::move(check);
}

int ThreadCount()
{
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = ::Thread32First(snapshot, &entry); more; more = ::Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == ::GetCurrentProcessId())
            count++;
    }
    ::CloseHandle(snapshot);
    return count;
}

std::string ItemText(HWND dialog, int id)
{
    char text[1024] = {};
    ::GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

void SetItemText(HWND dialog, int id, const char* text)
{
    ::SetDlgItemTextA(dialog, id, text);
}

bool IsItemEnabled(HWND dialog, int id)
{
    return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE;
}

bool IsItemChecked(HWND dialog, int id)
{
    return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void PostClick(HWND dialog, int id)
{
    ::PostMessage(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::string WindowCaption(HWND window)
{
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof(text));
    return text;
}

std::string WindowsPath(const char* unixPath)
{
    std::string path = "Z:";
    for (const char* p = unixPath; *p != '\0'; ++p)
        path += *p == '/' ? '\\' : *p;
    return path;
}
