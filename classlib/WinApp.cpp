#include "classlib/WinApp.h"
#include "classlib/Wnd.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

CWinApp* g_pApp = nullptr;

std::mutex& BoxLock()
{
    static std::mutex lock;
    return lock;
}
bool g_bRecordBoxes = false;
int g_nRecordedAnswer = IDOK;
std::string g_strLastBoxText;

} // namespace

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    CWinThread* pThread = AfxGetThread();
    if (pThread != nullptr && pThread->GetMainWnd() != nullptr)
        return pThread->GetMainWnd();
    return g_pApp != nullptr ? g_pApp->GetMainWnd() : nullptr;
}

std::string AfxLoadString(UINT nID)
{
    char buffer[1024];
    int n = ::LoadString(AfxGetResourceHandle(), nID, buffer, sizeof(buffer));
    return n > 0 ? std::string(buffer, (size_t)n) : std::string();
}

// ---------------------------------------------------------------------------

CWinApp::CWinApp(LPCSTR lpszAppName)
{
    g_pApp = this;
    m_nThreadID = ::GetCurrentThreadId();
    m_hInstance = ::GetModuleHandle(nullptr);

    char path[MAX_PATH + 1] = {};
    DWORD n = ::GetModuleFileName(nullptr, path, MAX_PATH);
    path[n < MAX_PATH ? n : MAX_PATH] = '\0';
    const char* base = std::strrchr(path, '\\');
    m_strExeName = base != nullptr ? base + 1 : path;
    size_t dot = m_strExeName.rfind('.');
    if (dot != std::string::npos)
        m_strExeName.erase(dot);
    m_pszExeName = m_strExeName.c_str();

    if (lpszAppName != nullptr)
        m_strAppName = lpszAppName;
    else
        m_strAppName = AfxLoadString(AFX_IDS_APP_TITLE);
    if (m_strAppName.empty())
        m_strAppName = m_strExeName;
    m_pszAppName = m_strAppName.c_str();
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

int CWinApp::ExitInstance()
{
    return (int)m_msgCur.wParam;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return -1;
    pApp->m_hInstance = hInstance;
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
    pApp->m_nThreadID = ::GetCurrentThreadId();
    if (!pApp->InitInstance()) {
        if (pApp->m_pMainWnd != nullptr && pApp->m_pMainWnd->m_hWnd != nullptr)
            pApp->m_pMainWnd->DestroyWindow();
        return pApp->ExitInstance();
    }
    return pApp->Run();
}

// ---------------------------------------------------------------------------
// Profile

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey)
{
    m_strRegistryKey = lpszRegistryKey != nullptr ? lpszRegistryKey : "";
    m_pszRegistryKey = m_strRegistryKey.empty() ? nullptr : m_strRegistryKey.c_str();
    m_strProfileName = m_strAppName;
    m_pszProfileName = m_strProfileName.c_str();
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    SetRegistryKey(AfxLoadString(nIDRegistryKey).c_str());
}

HKEY CWinApp::GetAppRegistryKey(BOOL bCreate)
{
    if (m_pszRegistryKey == nullptr || m_pszProfileName == nullptr)
        return nullptr;
    std::string path = std::string("Software\\") + m_pszRegistryKey + "\\" + m_pszProfileName;
    HKEY hKey = nullptr;
    LONG rc;
    if (bCreate)
        rc = ::RegCreateKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_READ | KEY_WRITE, nullptr, &hKey, nullptr);
    else
        rc = ::RegOpenKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ | KEY_WRITE, &hKey);
    return rc == ERROR_SUCCESS ? hKey : nullptr;
}

HKEY CWinApp::GetSectionKey(LPCSTR lpszSection, BOOL bCreate)
{
    if (lpszSection == nullptr)
        return nullptr;
    HKEY hApp = GetAppRegistryKey(bCreate);
    if (hApp == nullptr)
        return nullptr;
    HKEY hKey = nullptr;
    LONG rc;
    if (bCreate)
        rc = ::RegCreateKeyEx(hApp, lpszSection, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_READ | KEY_WRITE, nullptr, &hKey, nullptr);
    else
        rc = ::RegOpenKeyEx(hApp, lpszSection, 0, KEY_READ | KEY_WRITE, &hKey);
    ::RegCloseKey(hApp);
    return rc == ERROR_SUCCESS ? hKey : nullptr;
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault)
{
    HKEY hKey = GetSectionKey(lpszSection, FALSE);
    if (hKey == nullptr || lpszEntry == nullptr) {
        if (hKey != nullptr)
            ::RegCloseKey(hKey);
        return (UINT)nDefault;
    }
    DWORD type = 0, value = 0, size = sizeof(value);
    LONG rc = ::RegQueryValueEx(hKey, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(hKey);
    if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(value))
        return (UINT)nDefault;
    return value;
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue)
{
    if (lpszEntry == nullptr)
        return FALSE;
    HKEY hKey = GetSectionKey(lpszSection, TRUE);
    if (hKey == nullptr)
        return FALSE;
    DWORD value = (DWORD)nValue;
    LONG rc = ::RegSetValueEx(hKey, lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    ::RegCloseKey(hKey);
    return rc == ERROR_SUCCESS;
}

std::string CWinApp::GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault)
{
    std::string fallback = lpszDefault != nullptr ? lpszDefault : "";
    if (lpszEntry == nullptr)
        return fallback;
    HKEY hKey = GetSectionKey(lpszSection, FALSE);
    if (hKey == nullptr)
        return fallback;
    DWORD type = 0, size = 0;
    LONG rc = ::RegQueryValueEx(hKey, lpszEntry, nullptr, &type, nullptr, &size);
    std::string value;
    bool ok = rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ);
    if (ok && size > 0) {
        // The stored text need not end with a zero; the extra byte makes sure.
        std::vector<char> buffer((size_t)size + 1, '\0');
        DWORD got = size;
        rc = ::RegQueryValueEx(hKey, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
        ok = rc == ERROR_SUCCESS && got <= size;
        if (ok)
            value.assign(buffer.data(), ::strnlen(buffer.data(), got));
    }
    ::RegCloseKey(hKey);
    return ok ? value : fallback;
}

BOOL CWinApp::WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue)
{
    if (lpszSection == nullptr)
        return FALSE;
    if (lpszEntry == nullptr) {
        HKEY hApp = GetAppRegistryKey(FALSE);
        if (hApp == nullptr)
            return FALSE;
        LONG rc = ::RegDeleteKey(hApp, lpszSection);
        ::RegCloseKey(hApp);
        return rc == ERROR_SUCCESS;
    }
    if (lpszValue == nullptr) {
        HKEY hKey = GetSectionKey(lpszSection, FALSE);
        if (hKey == nullptr)
            return FALSE;
        LONG rc = ::RegDeleteValue(hKey, lpszEntry);
        ::RegCloseKey(hKey);
        return rc == ERROR_SUCCESS;
    }
    HKEY hKey = GetSectionKey(lpszSection, TRUE);
    if (hKey == nullptr)
        return FALSE;
    LONG rc = ::RegSetValueEx(hKey, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                              (DWORD)std::strlen(lpszValue) + 1);
    ::RegCloseKey(hKey);
    return rc == ERROR_SUCCESS;
}

BOOL CWinApp::GetProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, std::vector<BYTE>& data)
{
    data.clear();
    if (lpszEntry == nullptr)
        return FALSE;
    HKEY hKey = GetSectionKey(lpszSection, FALSE);
    if (hKey == nullptr)
        return FALSE;
    DWORD type = 0, size = 0;
    LONG rc = ::RegQueryValueEx(hKey, lpszEntry, nullptr, &type, nullptr, &size);
    bool ok = rc == ERROR_SUCCESS && type == REG_BINARY;
    if (ok && size > 0) {
        data.resize(size);
        DWORD got = size;
        rc = ::RegQueryValueEx(hKey, lpszEntry, nullptr, &type, data.data(), &got);
        ok = rc == ERROR_SUCCESS && got <= size;
        data.resize(ok ? got : 0);
    }
    ::RegCloseKey(hKey);
    return ok;
}

BOOL CWinApp::GetProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, BYTE** ppData, UINT* pBytes)
{
    if (ppData == nullptr || pBytes == nullptr)
        return FALSE;
    *ppData = nullptr;
    *pBytes = 0;
    std::vector<BYTE> data;
    if (!GetProfileBinary(lpszSection, lpszEntry, data))
        return FALSE;
    *ppData = new BYTE[data.empty() ? 1 : data.size()];
    if (!data.empty())
        std::memcpy(*ppData, data.data(), data.size());
    *pBytes = (UINT)data.size();
    return TRUE;
}

BOOL CWinApp::WriteProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, const void* pData, UINT nBytes)
{
    if (lpszEntry == nullptr || (pData == nullptr && nBytes != 0))
        return FALSE;
    HKEY hKey = GetSectionKey(lpszSection, TRUE);
    if (hKey == nullptr)
        return FALSE;
    LONG rc = ::RegSetValueEx(hKey, lpszEntry, 0, REG_BINARY, static_cast<const BYTE*>(pData), nBytes);
    ::RegCloseKey(hKey);
    return rc == ERROR_SUCCESS;
}

// ---------------------------------------------------------------------------
// Command line, resources, wait cursor

void CCommandLineInfo::ParseParam(LPCSTR pszParam, BOOL bFlag, BOOL)
{
    if (!bFlag && m_strFileName.empty() && pszParam != nullptr && *pszParam != '\0') {
        m_strFileName = pszParam;
        m_nShellCommand = FileOpen;
    }
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    for (int i = 1; i < __argc; ++i) {
        const char* param = __argv[i];
        if (param == nullptr)
            continue;
        bool bFlag = (param[0] == '-' || param[0] == '/') && param[1] != '\0';
        rCmdInfo.ParseParam(bFlag ? param + 1 : param, bFlag, i + 1 == __argc);
    }
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource));
}

HICON CWinApp::LoadIcon(LPCSTR lpszResourceName) const
{
    return ::LoadIcon(AfxGetResourceHandle(), lpszResourceName);
}

HCURSOR CWinApp::LoadCursor(UINT nIDResource) const
{
    return ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource));
}

void CWinApp::BeginWaitCursor()
{
    HCURSOR previous = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    if (m_nWaitCursorCount++ == 0)
        m_hcurWaitCursorRestore = previous;
}

void CWinApp::EndWaitCursor()
{
    if (m_nWaitCursorCount <= 0)
        return;
    if (--m_nWaitCursorCount == 0)
        ::SetCursor(m_hcurWaitCursorRestore != nullptr ? m_hcurWaitCursorRestore
                                                       : ::LoadCursor(nullptr, IDC_ARROW));
}

void CWinApp::RestoreWaitCursor()
{
    if (m_nWaitCursorCount > 0)
        ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
}

CWaitCursor::CWaitCursor()
{
    if (AfxGetApp() != nullptr)
        AfxGetApp()->BeginWaitCursor();
}

CWaitCursor::~CWaitCursor()
{
    if (AfxGetApp() != nullptr)
        AfxGetApp()->EndWaitCursor();
}

void CWaitCursor::Restore()
{
    if (AfxGetApp() != nullptr)
        AfxGetApp()->RestoreWaitCursor();
}

// ---------------------------------------------------------------------------
// Message boxes

void AfxSetMessageBoxRecording(bool bOn, int nAnswer)
{
    std::lock_guard<std::mutex> guard(BoxLock());
    g_bRecordBoxes = bOn;
    g_nRecordedAnswer = nAnswer;
}

std::string AfxLastMessageBoxText()
{
    std::lock_guard<std::mutex> guard(BoxLock());
    return g_strLastBoxText;
}

int AfxShowMessageBox(HWND hOwner, LPCSTR lpszText, LPCSTR lpszCaption, UINT nType)
{
    {
        std::lock_guard<std::mutex> guard(BoxLock());
        if (g_bRecordBoxes) {
            g_strLastBoxText = lpszText != nullptr ? lpszText : "";
            return g_nRecordedAnswer;
        }
    }
    return ::MessageBox(hOwner, lpszText, lpszCaption, nType);
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT)
{
    HWND hOwner = nullptr;
    if (CWnd* pMain = AfxGetMainWnd()) {
        if (pMain->m_hWnd != nullptr) {
            hOwner = ::GetLastActivePopup(pMain->m_hWnd);
            if (!::IsWindowEnabled(hOwner))
                hOwner = nullptr;
        }
    }
    LPCSTR caption = AfxGetApp() != nullptr ? AfxGetApp()->m_pszAppName : "";
    return AfxShowMessageBox(hOwner, lpszText, caption, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT)
{
    std::string text = AfxLoadString(nIDPrompt);
    return AfxMessageBox(text.c_str(), nType, 0);
}
