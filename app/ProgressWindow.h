// The modeless "Please wait..." window with a text and a progress bar that
// long work on the user-interface thread keeps up to date. CProgressWindow is
// the handle callers hold; CProgressDlg is the dialog it shows.
#pragma once

#include <cstdint>
#include <memory>

#include "app/BarSteps.h"
#include "classlib/Dialog.h"
#include "classlib/ProgressCtrl.h"
#include "classlib/Static.h"
#include "core/DatabaseFile.h"

class CProgressDlg : public CDialog {
public:
    enum { IDD = 148, IDC_PROGRESS_BAR = 1067, IDC_PROGRESS_TEXT = 1039 };

    CProgressDlg();
    ~CProgressDlg() override;

    // Taken over when the window is next created.
    void SetText(const char* text, int32_t low, int32_t high);

    BOOL OnInitDialog() override;

    CProgressCtrl m_bar;
    CStatic m_text;
    char* m_message;  // NULL: "Please wait..."
    int32_t m_low;    // -1 until set
    int32_t m_high;

protected:
    void OnClose();
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void EndWait();

    bool m_waiting;  // this window began the wait cursor and has not ended it
};

class CProgressWindow {
public:
    CProgressWindow();
    virtual ~CProgressWindow();

    // Text and range for the next Show; callers use 0 to at most 32000.
    void SetText(const char* text, int32_t low, int32_t high);
    // Closes an earlier window, then shows the dialog centred over the frame
    // of the given window (or over the window itself when it has none).
    void Show(CWnd* window);
    // Moves the bar and handles one waiting message of the window, which
    // keeps it painted without letting the rest of the program run.
    void SetPos(int32_t pos);
    // Handles one waiting message of the window without moving the bar.
    void HandleWaitingMessage();
    // The bar's width in pixels; 0 while no window is shown.
    int32_t BarWidth() const;
    void Close();

private:
    CProgressWindow(const CProgressWindow&) = delete;
    CProgressWindow& operator=(const CProgressWindow&) = delete;

    CWnd* m_parent;
    std::unique_ptr<CProgressDlg> m_dialog;
};

// A database load's progress shown in a progress window over a window of the
// program. The load reports every record; the bar is moved only when that
// shows (a repaint of the bar costs far more than reading a record), and
// in between the window still handles a waiting message now and then, so
// that it keeps painted.
class CLoadProgressWindow : public ILoadProgress {
public:
    explicit CLoadProgressWindow(CWnd* over) : m_over(over), m_lastHandled(0) {}

    void Show(const char* text, int low, int high) override;
    void SetPos(int pos) override;
    void Close() override { m_window.Close(); }

private:
    CWnd* m_over;
    CProgressWindow m_window;
    CBarSteps m_steps;
    DWORD m_lastHandled;  // tick count of the last message handled
};
