// The application object: one per program, built as a static global. Its
// InitInstance starts the program, Run is the message loop of the
// user-interface thread, and it keeps the program's names, the wait cursor
// and the registry profile HKEY_CURRENT_USER\Software\<company>\<app>\<section>.
#pragma once

#include <windows.h>
#include <string>
#include <vector>

#include "classlib/WinThread.h"

class CWnd;

// Resource string with the application title, used when the application
// object is built without a name.
#define AFX_IDS_APP_TITLE 57344

// The command line as the program understands it: the first argument that
// is not a flag names a file to open.
class CCommandLineInfo {
public:
    enum ShellCommand { FileNew, FileOpen, FileNothing = -1 };

    CCommandLineInfo() {}
    virtual ~CCommandLineInfo() {}
    // Called for each argument; a flag ('/' or '-' first) comes without its
    // prefix and with bFlag set.
    virtual void ParseParam(LPCSTR pszParam, BOOL bFlag, BOOL bLast);

    ShellCommand m_nShellCommand = FileNew;
    std::string m_strFileName;
};

class CWinApp : public CWinThread {
public:
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    LPCSTR m_pszAppName = nullptr;      // the application title
    LPCSTR m_pszExeName = nullptr;      // the program file name without extension
    LPCSTR m_pszRegistryKey = nullptr;  // the company key, or NULL
    LPCSTR m_pszProfileName = nullptr;  // the application key under it
    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWDEFAULT;

    BOOL InitInstance() override { return TRUE; }
    int ExitInstance() override;

    // ---- profile
    void SetRegistryKey(LPCSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);
    std::string GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault = nullptr);
    // A NULL entry deletes the whole section; a NULL value deletes the entry.
    BOOL WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue);
    // On success *ppData is a new[] block the caller deletes with delete[].
    BOOL GetProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, BYTE** ppData, UINT* pBytes);
    BOOL GetProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, std::vector<BYTE>& data);
    BOOL WriteProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, const void* pData, UINT nBytes);
    // Open keys of the profile (the caller closes them), or NULL.
    HKEY GetAppRegistryKey(BOOL bCreate = TRUE);
    HKEY GetSectionKey(LPCSTR lpszSection, BOOL bCreate = TRUE);

    void ParseCommandLine(CCommandLineInfo& rCmdInfo);

    // ---- resources
    HICON LoadIcon(UINT nIDResource) const;
    HICON LoadIcon(LPCSTR lpszResourceName) const;
    HICON LoadStandardIcon(LPCSTR lpszIconName) const { return ::LoadIcon(nullptr, lpszIconName); }
    HCURSOR LoadCursor(UINT nIDResource) const;
    HCURSOR LoadStandardCursor(LPCSTR lpszCursorName) const { return ::LoadCursor(nullptr, lpszCursorName); }

    // ---- the wait cursor (counted; shown over every window of the layer)
    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();
    BOOL IsWaitCursorShown() const { return m_nWaitCursorCount > 0; }

private:
    std::string m_strAppName;
    std::string m_strExeName;
    std::string m_strRegistryKey;
    std::string m_strProfileName;
    int m_nWaitCursorCount = 0;
    HCURSOR m_hcurWaitCursorRestore = nullptr;
};

CWinApp* AfxGetApp();
// The main window of the calling thread, or else of the application.
CWnd* AfxGetMainWnd();

// Runs the application object: InitInstance, then Run (or ExitInstance when
// InitInstance fails). The library's WinMain calls it.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);

// A message box over the main window, captioned with the application name.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);

// Every message box of the layer goes through here. While recording is on
// (tests), no box is shown: the text is kept and nAnswer is returned.
int AfxShowMessageBox(HWND hOwner, LPCSTR lpszText, LPCSTR lpszCaption, UINT nType);
void AfxSetMessageBoxRecording(bool bOn, int nAnswer = IDOK);
std::string AfxLastMessageBoxText();

// Loads a string resource of the program; empty when missing.
std::string AfxLoadString(UINT nID);

// Shows the wait cursor for the lifetime of the object.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    void Restore();
};
