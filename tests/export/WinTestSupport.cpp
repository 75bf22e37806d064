#ifdef _WIN32

#include "WinTestSupport.h"

#include <shlwapi.h>

#include <cstdio>
#include <algorithm>
#include <cstring>

#include <gtest/gtest.h>

#include "core/ErrorBox.h"

CWinApp theTestApp("Vistrel Export Tests");

namespace {

class ExportEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        // No test may wait on a message box.
        AfxSetMessageBoxRecording(true, IDOK);
        SetErrorBoxRecording(true);
    }
};

::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new ExportEnvironment);

} // namespace

ScopedProfile::ScopedProfile(const char* testName)
{
    char name[160];
    std::snprintf(name, sizeof(name), "VistrelExportTest-%lu-%lu-%s", ::GetCurrentProcessId(),
                  ::GetTickCount(), testName);
    m_company = name;
    theTestApp.SetRegistryKey(m_company.c_str());
}

ScopedProfile::~ScopedProfile()
{
    ::SHDeleteKeyA(HKEY_CURRENT_USER, ("Software\\" + m_company).c_str());
    theTestApp.SetRegistryKey((LPCSTR)nullptr);
}

void Pump()
{
    MSG msg;
    while (::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (!AfxPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
        }
    }
}

void PressKey(HWND window, UINT vk, int modifiers)
{
    BYTE saved[256];
    ::GetKeyboardState(saved);
    BYTE state[256];
    memcpy(state, saved, sizeof(state));
    BYTE shift = (modifiers & KEY_SHIFT) ? 0x80 : 0;
    BYTE control = (modifiers & KEY_CONTROL) ? 0x80 : 0;
    BYTE alt = (modifiers & KEY_ALT) ? 0x80 : 0;
    state[VK_SHIFT] = state[VK_LSHIFT] = shift;
    state[VK_CONTROL] = state[VK_LCONTROL] = control;
    state[VK_MENU] = state[VK_LMENU] = alt;
    ::SetKeyboardState(state);
    LPARAM lParam = 1 | LPARAM(::MapVirtualKeyA(vk, 0) << 16) | (alt ? (LPARAM(1) << 29) : 0);
    ::PostMessage(window, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, lParam);
    Pump();
    ::SetKeyboardState(saved);
}

void TypeText(HWND window, const char* text)
{
    for (const char* p = text; *p != '\0'; p++)
        ::PostMessage(window, WM_CHAR, WPARAM((unsigned char)*p), 1);
    Pump();
}

std::string WindowText(HWND window)
{
    int length = ::GetWindowTextLengthA(window);
    std::string text(size_t(length) + 1, '\0');
    int got = ::GetWindowTextA(window, &text[0], length + 1);
    text.resize(size_t(got));
    return text;
}

std::string ClipboardText()
{
    std::string text = "<none>";
    if (!::OpenClipboard(NULL))
        return text;
    HANDLE block = ::GetClipboardData(CF_TEXT);
    if (const char* bytes = block != NULL ? static_cast<const char*>(::GlobalLock(block)) : NULL) {
        text = bytes;
        ::GlobalUnlock(block);
    }
    ::CloseClipboard();
    return text;
}

void SetClipboardText(const char* text)
{
    if (!::OpenClipboard(NULL))
        return;
    ::EmptyClipboard();
    if (text != NULL) {
        HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
        memcpy(::GlobalLock(block), text, strlen(text) + 1);
        ::GlobalUnlock(block);
        ::SetClipboardData(CF_TEXT, block);
    }
    ::CloseClipboard();
}

CEditorHost::CEditorHost(bool noMovie, bool singleLine, int width, int height)
{
    CreateEx(0, AfxRegisterWndClass(0, NULL, (HBRUSH)::GetStockObject(WHITE_BRUSH)), "editor host",
             WS_POPUP | WS_VISIBLE | WS_BORDER, 10, 10, width, height, NULL, NULL);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | SS_NOTIFY;
    if (!singleLine)
        style |= WS_VSCROLL | WS_HSCROLL;
    HWND control = ::CreateWindowExA(0, "Static", "", style, 0, 0, width - 2, height - 2, m_hWnd,
                                     (HMENU)1225, ::GetModuleHandle(NULL), NULL);
    edit.SubclassWindow(control);
    edit.SetMovieContext(noMovie, singleLine);
    ::SetForegroundWindow(m_hWnd);
    edit.SetFocus();
    Pump();
}

CEditorHost::~CEditorHost()
{
    DestroyWindow();
    Pump();
}

BOOL CEditorHost::OnCommand(WPARAM wParam, LPARAM)
{
    if (LOWORD(wParam) == 1225 && HIWORD(wParam) == EN_CHANGE)
        changes++;
    return TRUE;
}


int LastRedColumn(HWND edit)
{
    ::RedrawWindow(edit, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT client;
    ::GetClientRect(edit, &client);
    HDC dc = ::GetDC(edit);
    int last = -1;
    for (int y = 2; y < 18 && y < client.bottom; y++) {
        for (int x = 0; x < client.right; x++) {
            COLORREF c = ::GetPixel(dc, x, y);
            if (int(GetRValue(c)) - int(GetGValue(c)) > 80 && int(GetRValue(c)) - int(GetBValue(c)) > 80)
                last = std::max(last, x);
        }
    }
    ::ReleaseDC(edit, dc);
    return last;
}

namespace {

std::vector<std::function<bool()>> g_steps;
size_t g_nextStep = 0;
DWORD g_stepSince = 0;
// How long a step may wait for its window: long enough for a loaded machine.
const DWORD kStepWaitMs = 60000;

BOOL CALLBACK CollectDialog(HWND window, LPARAM lParam)
{
    char name[16] = {};
    ::GetClassNameA(window, name, sizeof(name));
    if (lstrcmpA(name, "#32770") == 0 && ::IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
    return TRUE;
}

// The visible top-level dialogs of this thread.
std::vector<HWND> ThreadDialogs()
{
    std::vector<HWND> dialogs;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

} // namespace

CTimedSteps::CTimedSteps(std::vector<std::function<bool()>> steps)
{
    g_steps = std::move(steps);
    g_nextStep = 0;
    g_stepSince = ::GetTickCount();
    m_timer = ::SetTimer(NULL, 0, 100, &CTimedSteps::Tick);
}

CTimedSteps::~CTimedSteps()
{
    ::KillTimer(NULL, m_timer);
    EXPECT_TRUE(Done()) << "step " << g_nextStep << " of " << g_steps.size() << " never ran";
    g_steps.clear();
}

bool CTimedSteps::Done() const
{
    return g_nextStep >= g_steps.size();
}

void CALLBACK CTimedSteps::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_nextStep >= g_steps.size())
        return;
    size_t step = g_nextStep;
    if (g_steps[step]()) {
        if (g_nextStep == step)
            g_nextStep++;
        g_stepSince = ::GetTickCount();
    } else if (::GetTickCount() - g_stepSince > kStepWaitMs) {
        ADD_FAILURE() << "step " << step << " waited too long";
        g_nextStep = g_steps.size();
        for (HWND dialog : ThreadDialogs())
            ::PostMessage(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

HWND FindThreadDialog(const char* caption)
{
    for (HWND dialog : ThreadDialogs()) {
        if (WindowText(dialog) == caption)
            return dialog;
    }
    return NULL;
}

void Click(HWND dialog, int id)
{
    ::PostMessage(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

#endif
