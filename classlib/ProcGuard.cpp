#include "classlib/ProcGuard.h"
#include "classlib/Exception.h"
#include "classlib/WinApp.h"

#include <atomic>
#include <new>
#include <string>

namespace {

// A failure is reported once: nothing is shown while a failure box is on
// screen (the box runs a message loop, in which the same handler may fail
// again, each box opening another), and nothing for the same window and
// message as the last failure shown (a paint handler that fails on every
// WM_PAINT is reported the first time only). Another failure after the box
// has closed is shown again.
// The last two are used only by the one thread that set g_showing.
std::atomic<bool> g_showing(false);
HWND g_lastWnd = nullptr;
UINT g_lastMessage = UINT(-1);

const char kOutOfMemory[] = "Out of memory.";

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

void AfxReportCaughtException(HWND hWnd, UINT message)
{
    bool idle = false;
    if (!g_showing.compare_exchange_strong(idle, true))
        return;
    if (hWnd != g_lastWnd || message != g_lastMessage) {
        g_lastWnd = hWnd;
        g_lastMessage = message;
        try {
            std::string text;
            try {
                text = CaughtText();
            } catch (...) {
                text = kOutOfMemory;    // short enough to need no allocation
            }
            AfxMessageBox(text.c_str(), MB_OK | MB_ICONERROR);
        } catch (...) {
        }
    }
    g_showing = false;
}
