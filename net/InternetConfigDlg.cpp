#include "net/InternetConfigDlg.h"

#ifdef _WIN32

#include <cstdio>
#include <string>

#include "classlib/WinApp.h"
#include "core/StrUtil.h"
#include "net/InternetSettings.h"
#include "resources/resource.h"

namespace {

const char kSection[] = "inet";
const char* const kProxyTypes[] = { "HTTP 1.1", "SOCKS v5", "SOCKS v4", "SOCKS v4A" };
const char* const kProtocols[] = { "HTTP 1.0", "HTTP 1.1" };
const int kProxyControls[] = { IDC_INET_SERVER, IDC_INET_PORT, IDC_INET_TYPE, IDC_INET_MUST_LOGIN };

} // namespace

BEGIN_MESSAGE_MAP(CInternetConfigDlg, CDialog)
    ON_BN_CLICKED(IDC_INET_USE_PROXY, ApplyEnabling)
    ON_BN_CLICKED(IDC_INET_MUST_LOGIN, ApplyEnabling)
END_MESSAGE_MAP()

CInternetConfigDlg::CInternetConfigDlg(CWnd* pParent) : CDialog(IDD, pParent)
{
}

BOOL CInternetConfigDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    for (const char* type : kProxyTypes)
        ::SendDlgItemMessageA(m_hWnd, IDC_INET_TYPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(type));
    for (const char* protocol : kProtocols)
        ::SendDlgItemMessageA(m_hWnd, IDC_INET_PROTOCOL, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(protocol));

    CWinApp* app = AfxGetApp();
    int type = int(app->GetProfileInt(kSection, "proxy_type", 0));
    int port = int(app->GetProfileInt(kSection, "proxy_port", 8080));
    std::string login = app->GetProfileString(kSection, "proxy_login", "");
    std::string password = app->GetProfileString(kSection, "proxy_passwd", "");
    int version = int(app->GetProfileInt(kSection, "http_version", 1));

    SetDlgItemText(IDC_INET_SERVER, app->GetProfileString(kSection, "proxy_server", "").c_str());
    char text[16];
    snprintf(text, sizeof text, "%ld", long(PortFromSetting(port)));
    SetDlgItemText(IDC_INET_PORT, text);
    ::SendDlgItemMessageA(m_hWnd, IDC_INET_TYPE, CB_SETCURSEL, WPARAM(type - 1), 0);
    ::SendDlgItemMessageA(m_hWnd, IDC_INET_PROTOCOL, CB_SETCURSEL, WPARAM(version & 1), 0);
    SetDlgItemText(IDC_INET_LOGIN, login.c_str());
    SetDlgItemText(IDC_INET_PASSWORD, password.c_str());
    CheckDlgButton(IDC_INET_USE_PROXY, type != 0);
    CheckDlgButton(IDC_INET_MUST_LOGIN, !login.empty() && !password.empty());
    ApplyEnabling();
    return TRUE;
}

void CInternetConfigDlg::ApplyEnabling()
{
    bool proxy = IsDlgButtonChecked(IDC_INET_USE_PROXY) != 0;
    for (int id : kProxyControls)
        ::EnableWindow(::GetDlgItem(m_hWnd, id), proxy);
    bool login = proxy && IsDlgButtonChecked(IDC_INET_MUST_LOGIN) != 0;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_INET_LOGIN), login);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_INET_PASSWORD), login);
}

const char* CInternetConfigDlg::CheckProxyFields(unsigned long long* port) const
{
    if (::SendDlgItemMessageA(m_hWnd, IDC_INET_TYPE, CB_GETCURSEL, 0, 0) == CB_ERR)
        return "You must select the type of proxy you want to connect to.";
    std::string portText = GetDlgItemText(IDC_INET_PORT);
    if (GetDlgItemText(IDC_INET_SERVER).empty() || portText.empty())
        return "Both the server and port fields need to be filled if your going to use a proxy.";
    if (!ParseDecimal(portText.c_str(), 65535, port) || *port == 0)
        return "The value in the port field must be between 1-65535";
    if (IsDlgButtonChecked(IDC_INET_MUST_LOGIN) &&
        (GetDlgItemText(IDC_INET_LOGIN).empty() || GetDlgItemText(IDC_INET_PASSWORD).empty()))
        return "You need to fill in both login and password if the proxy needs login.";
    return nullptr;
}

void CInternetConfigDlg::OnOK()
{
    bool proxy = IsDlgButtonChecked(IDC_INET_USE_PROXY) != 0;
    unsigned long long port = 0;
    if (proxy) {
        if (const char* message = CheckProxyFields(&port)) {
            AfxShowMessageBox(m_hWnd, message, "vistrel", MB_OK | MB_ICONSTOP);
            return;
        }
    } else if (!ParseDecimal(GetDlgItemText(IDC_INET_PORT).c_str(), 65535, &port)) {
        // Unchecked fields are kept as typed, but a port only when it is one.
        port = 0;
    }

    CWinApp* app = AfxGetApp();
    int type = int(::SendDlgItemMessageA(m_hWnd, IDC_INET_TYPE, CB_GETCURSEL, 0, 0));
    app->WriteProfileInt(kSection, "proxy_type", proxy ? type + 1 : 0);
    app->WriteProfileString(kSection, "proxy_server", GetDlgItemText(IDC_INET_SERVER).c_str());
    if (port != 0)
        app->WriteProfileInt(kSection, "proxy_port", PortToSetting((unsigned short)port));
    if (IsDlgButtonChecked(IDC_INET_MUST_LOGIN)) {
        app->WriteProfileString(kSection, "proxy_login", GetDlgItemText(IDC_INET_LOGIN).c_str());
        app->WriteProfileString(kSection, "proxy_passwd", GetDlgItemText(IDC_INET_PASSWORD).c_str());
    } else {
        app->WriteProfileString(kSection, "proxy_login", nullptr);
        app->WriteProfileString(kSection, "proxy_passwd", nullptr);
    }
    int protocol = int(::SendDlgItemMessageA(m_hWnd, IDC_INET_PROTOCOL, CB_GETCURSEL, 0, 0));
    app->WriteProfileInt(kSection, "http_version", protocol == CB_ERR ? 1 : protocol);
    EndDialog(IDOK);
}

#endif
