// "Internet connection settings": what it shows, the order of its checks,
// what it stores and how that reaches the client; and the main program's
// command that opens it.
#ifdef _WIN32

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "DialogDriver.h"
#include "ProgramRun.h"
#include "classlib/WinApp.h"
#include "net/HttpClient.h"
#include "net/InternetConfigDlg.h"
#include "net/InternetSettings.h"
#include "resources/resource.h"

namespace {

const int kProxyFields[] = { IDC_INET_SERVER, IDC_INET_PORT, IDC_INET_TYPE, IDC_INET_MUST_LOGIN };

std::string Stored(const char* entry)
{
    return AfxGetApp()->GetProfileString("inet", entry, "<none>");
}

int StoredInt(const char* entry)
{
    return int(AfxGetApp()->GetProfileInt("inet", entry, 12345));
}

void Click(HWND dialog, int id)
{
    SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
}

// Presses Save and gives the message it showed, "" when it stored the
// settings (a refused Save stores nothing).
std::string Save(HWND dialog)
{
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    return StoredInt("proxy_type") == 12345 ? AfxLastMessageBoxText() : std::string();
}

int Selection(HWND dialog, int id)
{
    return int(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

} // namespace

TEST(InternetConfigDlg, ChecksInOrderStoresAndEnables)
{
    ScopedProfile profile("InternetConfig");
    DialogDriver driver([&](HWND dialog) {
        EXPECT_FALSE(IsItemChecked(dialog, IDC_INET_USE_PROXY));
        EXPECT_EQ("8080", ItemText(dialog, IDC_INET_PORT));
        EXPECT_EQ(1, Selection(dialog, IDC_INET_PROTOCOL));
        for (int id : kProxyFields)
            EXPECT_FALSE(IsItemEnabled(dialog, id)) << id;
        EXPECT_FALSE(IsItemEnabled(dialog, IDC_INET_LOGIN));

        Click(dialog, IDC_INET_USE_PROXY);
        for (int id : kProxyFields)
            EXPECT_TRUE(IsItemEnabled(dialog, id)) << id;
        EXPECT_FALSE(IsItemEnabled(dialog, IDC_INET_PASSWORD));

        // Each check in turn, with the fields before it right.
        SetItemText(dialog, IDC_INET_PORT, "");
        Click(dialog, IDC_INET_MUST_LOGIN);
        EXPECT_TRUE(IsItemEnabled(dialog, IDC_INET_LOGIN));
        EXPECT_EQ("You must select the type of proxy you want to connect to.", Save(dialog));
        SendDlgItemMessageA(dialog, IDC_INET_TYPE, CB_SETCURSEL, 1, 0);
        EXPECT_EQ("Both the server and port fields need to be filled if your going to use a proxy.", Save(dialog));
        SetItemText(dialog, IDC_INET_SERVER, "proxy.local");
        for (const char* port : { "-5", "99999", "0", "80x" }) {
            SetItemText(dialog, IDC_INET_PORT, port);
            EXPECT_EQ("The value in the port field must be between 1-65535", Save(dialog)) << port;
        }
        SetItemText(dialog, IDC_INET_PORT, "40000");
        SetItemText(dialog, IDC_INET_LOGIN, "me");
        EXPECT_EQ("You need to fill in both login and password if the proxy needs login.", Save(dialog));
        SetItemText(dialog, IDC_INET_PASSWORD, "pw");
        SendDlgItemMessageA(dialog, IDC_INET_PROTOCOL, CB_SETCURSEL, 0, 0);
        EXPECT_EQ("", Save(dialog));
    });
    CInternetConfigDlg first;
    EXPECT_EQ(IDOK, first.DoModal());
    EXPECT_EQ(2, StoredInt("proxy_type"));
    EXPECT_EQ("proxy.local", Stored("proxy_server"));
    EXPECT_EQ(40000 - 65536, StoredInt("proxy_port"));
    EXPECT_EQ("me", Stored("proxy_login"));
    EXPECT_EQ("pw", Stored("proxy_passwd"));
    EXPECT_EQ(0, StoredInt("http_version"));

    LoadInternetSettings();
    EXPECT_EQ(HTTP_PROXY_SOCKS5, theHttpClient.GetProxyType());
    EXPECT_EQ(40000, theHttpClient.GetProxyPort());
    EXPECT_STREQ("me", theHttpClient.GetProxyLogin());
    EXPECT_EQ(0, theHttpClient.GetHttpVersion());
}

TEST(InternetConfigDlg, ShowsStoredSettingsAndSavesWithoutProxyUnchecked)
{
    ScopedProfile profile("InternetConfigStored");
    CWinApp* app = AfxGetApp();
    app->WriteProfileInt("inet", "proxy_type", 4);
    app->WriteProfileString("inet", "proxy_server", "socks.local");
    app->WriteProfileInt("inet", "proxy_port", -1);
    app->WriteProfileString("inet", "proxy_login", "me");
    app->WriteProfileString("inet", "proxy_passwd", "pw");
    DialogDriver driver([&](HWND dialog) {
        EXPECT_TRUE(IsItemChecked(dialog, IDC_INET_USE_PROXY));
        EXPECT_TRUE(IsItemChecked(dialog, IDC_INET_MUST_LOGIN));
        EXPECT_TRUE(IsItemEnabled(dialog, IDC_INET_PASSWORD));
        EXPECT_EQ(3, Selection(dialog, IDC_INET_TYPE));
        EXPECT_EQ("65535", ItemText(dialog, IDC_INET_PORT));
        // Without a proxy nothing is checked, not even a wrong port.
        Click(dialog, IDC_INET_MUST_LOGIN);
        Click(dialog, IDC_INET_USE_PROXY);
        EXPECT_FALSE(IsItemEnabled(dialog, IDC_INET_SERVER));
        SetItemText(dialog, IDC_INET_PORT, "-5");
        EXPECT_EQ("", Save(dialog));
    });
    CInternetConfigDlg dialog;
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(0, StoredInt("proxy_type"));
    EXPECT_EQ(-1, StoredInt("proxy_port"));
    EXPECT_EQ("<none>", Stored("proxy_login"));
    EXPECT_EQ("<none>", Stored("proxy_passwd"));
    LoadInternetSettings();
    EXPECT_EQ(HTTP_PROXY_NONE, theHttpClient.GetProxyType());
}

TEST(InternetConfigDlg, MainProgramCommandOpensIt)
{
    CProgramRun run("InternetSettingsCommand");
    ASSERT_NE(nullptr, run.StartToMainWindow());
    run.PostCommand(ID_INTERNET_SETTINGS);
    HWND dialog = run.WaitDialog("Internet connection settings");
    ASSERT_NE(nullptr, dialog);
    CProgramRun::Press(dialog, IDCANCEL);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
}

// Shown for screenshots only.
TEST(InternetConfigDlg, DISABLED_Showcase)
{
    ScopedProfile profile("InternetConfigShowcase");
    AfxGetApp()->WriteProfileInt("inet", "proxy_type", 2);
    AfxGetApp()->WriteProfileString("inet", "proxy_server", "proxy.example.com");
    AfxGetApp()->WriteProfileInt("inet", "proxy_port", 1080);
    AfxGetApp()->WriteProfileString("inet", "proxy_login", "viewer");
    AfxGetApp()->WriteProfileString("inet", "proxy_passwd", "secret");
    struct Cancel {
        static void CALLBACK Later(HWND window, UINT, UINT_PTR, DWORD) { PostMessageA(window, WM_COMMAND, IDCANCEL, 0); }
    };
    DialogDriver driver([](HWND dialog) { SetTimer(dialog, 1, 4000, Cancel::Later); });
    CInternetConfigDlg dialog;
    dialog.DoModal();
}

#endif
