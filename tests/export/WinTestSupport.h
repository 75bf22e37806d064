// Helpers of the export tests under Wine: the application object with a
// profile of the test's own, message pumping, keys with their modifiers and
// a window that holds a script editor.
#pragma once

#ifdef _WIN32

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "classlib/ClassLib.h"
#include "export/ScriptEdit.h"

// Points the application's profile at a company key of its own while it
// lives, and deletes the key afterwards.
class ScopedProfile {
public:
    explicit ScopedProfile(const char* testName);
    ~ScopedProfile();
    int GetInt(const char* section, const char* entry, int defaultValue)
    { return int(AfxGetApp()->GetProfileInt(section, entry, defaultValue)); }
    std::string GetString(const char* section, const char* entry)
    { return AfxGetApp()->GetProfileString(section, entry, "<none>"); }
    void SetInt(const char* section, const char* entry, int value)
    { AfxGetApp()->WriteProfileInt(section, entry, value); }
    void SetString(const char* section, const char* entry, const char* value)
    { AfxGetApp()->WriteProfileString(section, entry, value); }

private:
    std::string m_company;
};

// Handles every message waiting for this thread the way the program's loop
// does (PreTranslateMessage first).
void Pump();
// Posts a key to the window as the keyboard would, with the modifiers held
// in the thread's keyboard state while it is handled.
enum { KEY_SHIFT = 1, KEY_CONTROL = 2, KEY_ALT = 4 };
void PressKey(HWND window, UINT vk, int modifiers = 0);
void TypeText(HWND window, const char* text);
std::string WindowText(HWND window);
// The clipboard's text; "<none>" when it holds none.
std::string ClipboardText();
void SetClipboardText(const char* text);

// A visible top-level window holding one script editor (control 1225) that
// fills it; it counts the editor's EN_CHANGE notifications.
class CEditorHost : public CWnd {
public:
    CEditorHost(bool noMovie, bool singleLine, int width = 500, int height = 300);
    ~CEditorHost() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    CScriptEdit edit;
    int changes = 0;
};

// The right-most column of the editor's first text row with a red pixel
// (token colour, anti-aliased or not); -1 when none.
int LastRedColumn(HWND edit);

// Steps that play the user while a modal dialog of this thread runs: one
// step per timer tick (100 ms), in order. A step answers false to be asked
// again at the next tick (to wait for a window); a step still waiting after
// a minute fails the test and cancels the thread's dialogs.
class CTimedSteps {
public:
    explicit CTimedSteps(std::vector<std::function<bool()>> steps);
    ~CTimedSteps();
    bool Done() const;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    UINT_PTR m_timer;
};

// A visible top-level dialog of this thread whose caption is the text.
HWND FindThreadDialog(const char* caption);
void Click(HWND dialog, int id);

#endif
