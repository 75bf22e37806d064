// "Internet connection settings": the proxy (server, port, type, login)
// and the HTTP version, stored in the profile section "inet". The caller
// hands the stored settings to the client after OK (LoadInternetSettings).
#pragma once

#ifdef _WIN32

#include "classlib/Dialog.h"

class CInternetConfigDlg : public CDialog {
public:
    enum { IDD = 210 };

    explicit CInternetConfigDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    // Save: checks the proxy fields when a proxy is used, then stores.
    void OnOK() override;

protected:
    // Server, port, type and "Must login" follow "Use proxy"; login and
    // password follow "Must login" too.
    void ApplyEnabling();
    DECLARE_MESSAGE_MAP()

private:
    // The message of the first field that is wrong, or NULL.
    const char* CheckProxyFields(unsigned long long* port) const;
};

#endif
