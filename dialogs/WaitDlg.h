// The small window shown while a disc is read: it disables the main window
// and shows the wait cursor until it is closed.
#pragma once

#include <string>

#include "classlib/Dialog.h"

class CWaitDlg : public CDialog {
public:
    CWaitDlg() : CDialog(), m_disabled(nullptr), m_cursorShown(false) {}
    ~CWaitDlg() override { Close(); }

    // NULL counts as empty.
    void SetText(const char* text);
    // Creates the window over the main window, which it disables.
    void Show();
    // Enables the main window again, activates it when this window was the
    // active one, and destroys this one.
    void Close();

    BOOL OnInitDialog() override;

private:
    std::string m_text;
    HWND m_disabled;
    bool m_cursorShown;
};
