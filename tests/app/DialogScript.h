// Plays the user in the dialogs of the app tests: while a script lives, a
// timer of this thread hands each dialog the thread shows to it, once;
// nested dialogs (file, colour, font dialogs) are handed to the same script.
// Dialogs are found among the thread's windows, not as the active window:
// other programs on the test display may hold the activation.
#pragma once

#include <windows.h>

#include <cstring>
#include <functional>
#include <string>

struct Script {
    static std::function<void(HWND)>* current;
    explicit Script(std::function<void(HWND)> script) : m_script(std::move(script))
    {
        current = &m_script;
        m_timer = SetTimer(NULL, 0, 40, OnTimer);
    }
    // Window callbacks use the system's calling convention (stdcall on i686).
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND found = NULL;
        EnumThreadWindows(GetCurrentThreadId(), FindUnseenDialog, LPARAM(&found));
        if (found == NULL)
            return;
        SetPropA(found, "VistrelSeen", HANDLE(1));
        (*current)(found);
    }
    static BOOL CALLBACK FindUnseenDialog(HWND window, LPARAM param)
    {
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (strcmp(name, "#32770") != 0 || !IsWindowVisible(window) || GetPropA(window, "VistrelSeen") != NULL)
            return TRUE;
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    ~Script() { KillTimer(NULL, m_timer); }
    std::function<void(HWND)> m_script;
    UINT_PTR m_timer;
};
inline std::function<void(HWND)>* Script::current = nullptr;

inline std::string Caption(HWND window)
{
    char text[128] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Chooses an entry of a combo box as the user would.
inline void ChooseLevel(HWND dlg, int combo, int level)
{
    SendDlgItemMessageA(dlg, combo, CB_SETCURSEL, WPARAM(level), 0);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE), LPARAM(GetDlgItem(dlg, combo)));
}
