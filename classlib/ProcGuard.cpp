#include "classlib/ProcGuard.h"
#include "classlib/Exception.h"
#include "classlib/WinApp.h"

#include <atomic>
#include <new>

namespace {

// A failure is reported once: nothing is shown while a failure box is on
// screen (the box runs a message loop, in which the same handler may fail
// again, each box opening another), and nothing for a repeat of the last
// failure shown: the same window, message and, for commands and
// notifications, the same command or notification (a paint handler that
// fails on every WM_PAINT is reported the first time only). Any other
// failure after the box has closed is shown: another command of the same
// window, say.
struct FailureKey {
    HWND wnd;
    UINT message;
    WPARAM command;     // WM_COMMAND's wParam, WM_NOTIFY's control id
    UINT notification;  // WM_NOTIFY's code

    bool operator==(const FailureKey& other) const
    {
        return wnd == other.wnd && message == other.message && command == other.command &&
               notification == other.notification;
    }
};

// The last key is used only by the one thread that set g_showing.
std::atomic<bool> g_showing(false);
FailureKey g_last = { nullptr, UINT(-1), 0, 0 };

const char kOutOfMemory[] = "Out of memory.";

FailureKey KeyOf(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    FailureKey key = { hWnd, message, 0, 0 };
    if (message == WM_COMMAND) {
        key.command = wParam;
    } else if (message == WM_NOTIFY && lParam != 0) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        key.command = header->idFrom;
        key.notification = header->code;
    }
    return key;
}

// The text for the exception being handled.
std::string CaughtText()
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    } catch (const CException& e) {
        return e.GetErrorMessage();
    } catch (...) {
        return CException().GetErrorMessage();
    }
}

} // namespace

std::string AfxCaughtExceptionText()
{
    try {
        return CaughtText();
    } catch (...) {
        return kOutOfMemory;    // short enough to need no allocation
    }
}

void AfxReportCaughtException(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    bool idle = false;
    if (!g_showing.compare_exchange_strong(idle, true))
        return;
    FailureKey key = KeyOf(hWnd, message, wParam, lParam);
    if (!(key == g_last)) {
        g_last = key;
        try {
            std::string text = AfxCaughtExceptionText();
            AfxMessageBox(text.c_str(), MB_OK | MB_ICONERROR);
        } catch (...) {
        }
    }
    g_showing = false;
}
