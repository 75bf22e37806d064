// "About vistrel": the version, who wrote it and where newer versions are.
#pragma once

#include "classlib/Dialog.h"

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* pParent = nullptr);
    ~CAboutDlg() override;

    BOOL OnInitDialog() override;

    // The download page "Go there" opens.
    static const char kDownloadPage[];

protected:
    void OnGoThere();
    DECLARE_MESSAGE_MAP()

private:
    HFONT m_versionFont;
};
