#include "net/DownloadStatus.h"

#include <cstdio>

#ifdef _WIN32
#include "classlib/ProcGuard.h"
#include "core/ErrorBox.h"
#endif

namespace {

#ifdef _WIN32
// Posted by the other threads so that the loop takes their changes at once.
const UINT kWakeMessage = WM_USER + 51;
// The loop looks at the flags at least this often.
const DWORD kLoopWaitMs = 250;
#endif

} // namespace

CDownloadStatus::CDownloadStatus(HWND owner, DownloadCancelProc cancel, void* cancelArgument)
    : m_cancel(cancel),
      m_cancelArgument(cancelArgument),
      m_owner(owner),
      m_window(nullptr),
      m_speedText("Speed: 0.00kb/s"),
      m_cancelEnabled(false),
      m_closed(false),
      m_changed(false)
{
}

CDownloadStatus::~CDownloadStatus()
{
}

void CDownloadStatus::SetSpeed(double bytesPerSecond, const char* text)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (text != nullptr)
            m_statusText = text;
        if (bytesPerSecond > 0) {
            char speed[64];
            if (bytesPerSecond < 512)
                snprintf(speed, sizeof speed, "Speed: %.2fb/s", bytesPerSecond);
            else
                snprintf(speed, sizeof speed, "Speed: %.2fkb/s", bytesPerSecond / 1024);
            m_speedText = speed;
        }
    }
    m_changed = true;
    Wake();
}

void CDownloadStatus::EnableCancel(bool enable)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_cancelEnabled = enable;
    }
    m_changed = true;
    Wake();
}

void CDownloadStatus::Close()
{
    m_closed = true;
    Wake();
}

std::string CDownloadStatus::GetStatusText() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_statusText;
}

std::string CDownloadStatus::GetSpeedText() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_speedText;
}

void CDownloadStatus::OnCancel()
{
    if (m_cancel != nullptr)
        m_cancel(m_cancelArgument);
    m_closed = true;
}

#ifdef _WIN32

void CDownloadStatus::Wake()
{
    HWND window = m_window;
    if (window != nullptr)
        PostMessageA(window, kWakeMessage, 0, 0);
}

void CDownloadStatus::TakeChanges()
{
    HWND window = m_window;
    std::string status, speed;
    bool cancel;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        status = m_statusText.empty() ? "Loading..." : m_statusText;
        speed = m_speedText;
        cancel = m_cancelEnabled;
    }
    SetDlgItemTextA(window, IDC_STATUS, status.c_str());
    SetDlgItemTextA(window, IDC_SPEED, speed.c_str());
    EnableWindow(GetDlgItem(window, IDCANCEL), cancel);
}

INT_PTR CALLBACK CDownloadStatus::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return AfxCallGuarded(window, message, [&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            // The object comes as the creation parameter.
            SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) {
                // Only the enabled Cancel button cancels (Escape comes as its
                // click too).
                HWND button = GetDlgItem(window, IDCANCEL);
                auto* self = reinterpret_cast<CDownloadStatus*>(GetWindowLongPtrA(window, GWLP_USERDATA));
                if (self != nullptr && IsWindowEnabled(button))
                    self->OnCancel();
            }
            return TRUE;
        case WM_CLOSE:
            return TRUE;
        default:
            return FALSE;
        }
    }, [] { return INT_PTR(FALSE); });
}

void CDownloadStatus::Run()
{
    HWND owner = m_owner != nullptr ? m_owner : GetForegroundWindow();
    HWND window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD), owner, DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    if (window == nullptr) {
        ShowSystemError(GetLastError(), "Unable to create download status window");
        return;
    }
    m_window = window;
    TakeChanges();
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);

    // The window is modeless but the retrieval is not: the owner of this
    // thread takes no input until the window closes.
    bool ownerDisabled = false;
    if (owner != nullptr && GetWindowThreadProcessId(owner, nullptr) == GetCurrentThreadId() &&
        IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        ownerDisabled = true;
    }

    bool quit = false;
    WPARAM quitCode = 0;
    while (!m_closed && !quit) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kLoopWaitMs, QS_ALLINPUT);
        MSG msg;
        while (!quit && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = msg.wParam;
                break;
            }
            if (!IsDialogMessageA(window, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        if (m_changed.exchange(false))
            TakeChanges();
    }

    if (ownerDisabled)
        EnableWindow(owner, TRUE);
    m_window = nullptr;
    DestroyWindow(window);
    if (quit)
        PostQuitMessage(int(quitCode));
}

#else

void CDownloadStatus::Wake()
{
}

void CDownloadStatus::TakeChanges()
{
}

void CDownloadStatus::Run()
{
    (void)m_owner;
}

#endif
