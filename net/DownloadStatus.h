// The modeless "Downloading" window of a retrieval: a status text, the
// transfer speed and a Cancel button. The user-interface thread runs its
// loop (Run) while a worker fetches; the worker and the HTTP client set the
// texts, enable Cancel and close it from their own thread. Cancel calls the
// function given at construction, then closes the window.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "core/WinTypes.h"

typedef void (*DownloadCancelProc)(void* argument);

class CDownloadStatus {
public:
    enum { IDD = 212, IDC_STATUS = 1257, IDC_SPEED = 1258 };

    // Without an owner the foreground window owns the window.
    CDownloadStatus(HWND owner, DownloadCancelProc cancel, void* cancelArgument);
    virtual ~CDownloadStatus();

    // Shows the window and returns once it is closed (at once when it can't
    // be made). User-interface thread.
    void Run();

    // Any thread. A text replaces the status text; a speed above 0 (bytes
    // per second) replaces the speed text.
    void SetSpeed(double bytesPerSecond, const char* text);
    void EnableCancel(bool enable);
    void Close();

    std::string GetStatusText() const;
    std::string GetSpeedText() const;
    bool IsClosed() const { return m_closed; }
    // The window while Run shows it, else NULL.
    HWND GetWindow() const { return m_window; }

private:
    CDownloadStatus(const CDownloadStatus&) = delete;
    CDownloadStatus& operator=(const CDownloadStatus&) = delete;

    // Wakes Run's loop to take the changes.
    void Wake();
    void TakeChanges();
    void OnCancel();
#ifdef _WIN32
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
#endif

    DownloadCancelProc m_cancel;
    void* m_cancelArgument;
    HWND m_owner;
    std::atomic<HWND> m_window;

    mutable std::mutex m_lock;      // the texts and the Cancel state
    std::string m_speedText;
    std::string m_statusText;
    bool m_cancelEnabled;
    std::atomic<bool> m_closed;
    std::atomic<bool> m_changed;
};
