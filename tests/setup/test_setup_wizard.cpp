// The installer's wizard under Wine: pages and buttons as the user meets
// them, a whole installation with its shortcuts, and the failure paths.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "ZipTestSupport.h"
#include "classlib/WinApp.h"
#include "resources/setup_resource.h"
#include "setup/SetupBanner.h"
#include "setup/SetupDlg.h"
#include "setup/ZipPlatform.h"

CWinApp theSetupTestApp("Vistrel Setup Tests");

namespace {

std::string Text(HWND dlg, int id)
{
    char text[512] = {};
    ::GetDlgItemTextA(dlg, id, text, sizeof(text));
    return text;
}

bool Visible(HWND dlg, int id)
{
    return ::IsWindowVisible(::GetDlgItem(dlg, id)) != FALSE;
}

void Click(HWND dlg, int id)
{
    ::SendMessage(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(::GetDlgItem(dlg, id)));
}

// Runs the wizard; the script plays the user as soon as it shows.
INT_PTR RunWizard(CSetupDlg& dialog, const std::function<void(HWND)>& script)
{
    static const std::function<void(HWND)>* current;
    current = &script;
    struct Play {
        static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD)
        {
            HWND dlg = ::FindWindowA("#32770", "Vistrel Setup");
            if (dlg == nullptr || !::IsWindowVisible(dlg))
                return;
            ::KillTimer(nullptr, id);
            (*current)(dlg);
        }
    };
    UINT_PTR timer = ::SetTimer(nullptr, 0, 30, Play::OnTimer);
    INT_PTR result = dialog.DoModal();
    ::KillTimer(nullptr, timer);
    return result;
}

std::string SpecialFolderPath(int csidl)
{
    char path[MAX_PATH] = {};
    ::SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE);
    return path;
}

std::string ShortcutTarget(const std::string& lnk, std::string* description)
{
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    std::string target;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                     reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR wide[MAX_PATH] = {};
        ::MultiByteToWideChar(CP_ACP, 0, lnk.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(file->Load(wide, STGM_READ))) {
            char path[MAX_PATH] = {}, text[MAX_PATH] = {};
            link->GetPath(path, MAX_PATH, nullptr, 0);
            link->GetDescription(text, MAX_PATH);
            target = path;
            *description = text;
        }
    }
    if (file != nullptr)
        file->Release();
    if (link != nullptr)
        link->Release();
    return target;
}

class ComScope {
public:
    ComScope() { ::CoInitialize(nullptr); }
    ~ComScope() { ::CoUninitialize(); }
};

} // namespace

TEST(SetupWizard, FullInstallWithShortcuts)
{
    ComScope com;
    AfxSetMessageBoxRecording(true, IDOK);
    ScratchFolder scratch("install");
    std::string folder = scratch.Path() + "\\target\\vistrel";
    std::string desktopLnk = SpecialFolderPath(CSIDL_DESKTOPDIRECTORY) + "\\vistrel.lnk";
    std::string programsLnk = SpecialFolderPath(CSIDL_PROGRAMS) + "\\vistrel.lnk";
    ::DeleteFileA(desktopLnk.c_str());
    ::DeleteFileA(programsLnk.c_str());

    std::string firstNext, firstBack, installText, doneText;
    bool nextEnabledBeforeAccept = true;
    std::string backShown;  // Back on page 0 declined, 0 accepted, 1, 2, 3 installed
    auto noteBack = [&](HWND dlg) { backShown += Visible(dlg, IDC_SETUP_BACK) ? '1' : '0'; };
    CSetupDlg dialog;
    EXPECT_EQ(RunWizard(dialog, [&](HWND dlg) {
        firstNext = Text(dlg, IDC_SETUP_NEXT);
        firstBack = Text(dlg, IDC_SETUP_BACK);
        nextEnabledBeforeAccept = ::IsWindowEnabled(::GetDlgItem(dlg, IDC_SETUP_NEXT)) != FALSE;
        noteBack(dlg);
        Click(dlg, IDC_SETUP_ACCEPT);
        noteBack(dlg);
        Click(dlg, IDC_SETUP_NEXT);
        noteBack(dlg);
        ::SetDlgItemTextA(dlg, IDC_SETUP_FOLDER, folder.c_str());
        Click(dlg, IDC_SETUP_NEXT);
        noteBack(dlg);
        installText = Text(dlg, IDC_SETUP_NEXT);
        Click(dlg, IDC_SETUP_NEXT);  // installs
        noteBack(dlg);
        doneText = Text(dlg, IDC_SETUP_NEXT);
        Click(dlg, IDC_SETUP_NEXT);
    }), IDOK);
    EXPECT_EQ(firstNext, "Next >>");
    EXPECT_EQ(firstBack, "Exit");
    EXPECT_FALSE(nextEnabledBeforeAccept);
    EXPECT_EQ(installText, "Install");
    EXPECT_EQ(doneText, "Done");
    EXPECT_EQ(backShown, "10110");
    EXPECT_TRUE(dialog.m_finished);
    // The installer's payload: the example scripts byte for byte, the
    // program, the plug-ins and the empty folders.
    std::string templates = std::string(VISTREL_TEST_DATA) + "/../../resources/scripts/template-script/";
    for (const char* name : {"big.vsc", "small.vsc", "readme.txt"})
        EXPECT_EQ(ReadWhole(folder + "\\template-script\\" + name), ReadWhole(templates + name)) << name;
    for (const char* name : {"vistrel.exe", "vistrel.chm", "plugins\\toolbridge.dll", "plugins\\vidscan.exe"})
        EXPECT_EQ(ZipPlatform::FileExists(folder + "\\" + name), 1) << name;
    for (const char* name : {"scripts", "template-script\\bigfile", "template-script\\files"})
        EXPECT_EQ(ZipPlatform::FileExists(folder + "\\" + name), -1) << name;
    std::string description;
    EXPECT_EQ(ShortcutTarget(desktopLnk, &description), folder + "\\vistrel.exe");
    EXPECT_EQ(description, "vistrel - the Vistrel program");
    EXPECT_EQ(ShortcutTarget(programsLnk, &description), folder + "\\vistrel.exe");
    ::DeleteFileA(desktopLnk.c_str());
    ::DeleteFileA(programsLnk.c_str());
}

TEST(SetupWizard, DeclineClearedBoxesAndAFolderThatIsAFile)
{
    ComScope com;
    AfxSetMessageBoxRecording(true, IDOK);
    ScratchFolder scratch("setup-paths");
    std::string desktopLnk = SpecialFolderPath(CSIDL_DESKTOPDIRECTORY) + "\\vistrel.lnk";
    ::DeleteFileA(desktopLnk.c_str());

    // Declining: Back reads "Exit" and ends without installing.
    {
        CSetupDlg dialog;
        dialog.m_installFolder = scratch.Path() + "\\declined";
        EXPECT_EQ(RunWizard(dialog, [&](HWND dlg) {
            Click(dlg, IDC_SETUP_ACCEPT);
            Click(dlg, IDC_SETUP_DECLINE);
            Click(dlg, IDC_SETUP_BACK);
        }), IDCANCEL);
        EXPECT_EQ(ZipPlatform::FileExists(scratch.Path() + "\\declined"), 0);
    }
    // Both boxes cleared: installed, no shortcut.
    {
        CSetupDlg dialog;
        dialog.m_installFolder = scratch.Path() + "\\noshortcut";
        RunWizard(dialog, [&](HWND dlg) {
            Click(dlg, IDC_SETUP_ACCEPT);
            Click(dlg, IDC_SETUP_NEXT);
            Click(dlg, IDC_SETUP_NEXT);
            ::CheckDlgButton(dlg, IDC_SETUP_DESKTOP, BST_UNCHECKED);
            Click(dlg, IDC_SETUP_DESKTOP);
            ::CheckDlgButton(dlg, IDC_SETUP_START_MENU, BST_UNCHECKED);
            Click(dlg, IDC_SETUP_START_MENU);
            Click(dlg, IDC_SETUP_NEXT);
            Click(dlg, IDC_SETUP_NEXT);
        });
        EXPECT_TRUE(dialog.m_finished);
        EXPECT_EQ(ZipPlatform::FileExists(scratch.Path() + "\\noshortcut\\vistrel.exe"), 1);
        EXPECT_EQ(ZipPlatform::FileExists(desktopLnk), 0);
    }
    // A file in the folder's place: the message, then Back to change it.
    {
        std::string file = scratch.Path() + "\\occupied";
        WriteWhole(file, "a file");
        CSetupDlg dialog;
        dialog.m_installFolder = file;
        bool backShown = false;
        int pageAfterBack = -1;
        RunWizard(dialog, [&](HWND dlg) {
            Click(dlg, IDC_SETUP_ACCEPT);
            Click(dlg, IDC_SETUP_NEXT);
            Click(dlg, IDC_SETUP_NEXT);
            Click(dlg, IDC_SETUP_NEXT);
            backShown = Visible(dlg, IDC_SETUP_BACK);
            Click(dlg, IDC_SETUP_NEXT);  // ignored on the last page
            Click(dlg, IDC_SETUP_BACK);
            pageAfterBack = dialog.m_page;
            Click(dlg, IDC_SETUP_DECLINE);
            Click(dlg, IDC_SETUP_BACK);
        });
        EXPECT_EQ(AfxLastMessageBoxText(), "Unable to create install path.\nPlease try to correct path\n" + file);
        EXPECT_TRUE(backShown);
        EXPECT_EQ(pageAfterBack, 2);
        EXPECT_FALSE(dialog.m_finished);
    }
    EXPECT_EQ(DefaultInstallFolder("NoSuchValueHere"), "C:\\Program\\vistrel");
}

TEST(SetupWizard, BannerGradientFallsFromBlueToBlack)
{
    EXPECT_EQ(CSetupBanner::RowBlue(0, 0, 0), 255);
    for (int height : {100, 1000}) {
        EXPECT_EQ(CSetupBanner::RowBlue(0, 0, height), 255) << height;
        EXPECT_LE(CSetupBanner::RowBlue(height - 1, 0, height), 3) << height;
        EXPECT_GE(CSetupBanner::RowBlue(height / 2, 0, height), 126) << height;
    }
}

// Shown for screenshots only: the wizard on the page SHOWCASE_PAGE names,
// over the banner window.
TEST(SetupWizard, DISABLED_Showcase)
{
    ComScope com;
    AfxSetMessageBoxRecording(true, IDOK);
    const char* pageText = ::getenv("SHOWCASE_PAGE");
    int page = pageText != nullptr ? atoi(pageText) : 0;
    ScratchFolder scratch("showcase");
    CSetupBanner banner;
    banner.CreateEx(0, ::AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW), "Setup", WS_POPUP, 0, 0,
                    ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr);
    banner.ShowWindow(SW_SHOWMAXIMIZED);
    CSetupDlg dialog(&banner);
    dialog.m_installFolder = scratch.Path() + "\\vistrel";
    dialog.m_desktopShortcut = dialog.m_startMenuShortcut = false;
    RunWizard(dialog, [&](HWND dlg) {
        if (page > 0)
            Click(dlg, IDC_SETUP_ACCEPT);
        for (int i = 0; i < page; i++)
            Click(dlg, IDC_SETUP_NEXT);
        struct Cancel {
            static void CALLBACK Later(HWND window, UINT, UINT_PTR, DWORD) { ::EndDialog(window, IDCANCEL); }
        };
        ::SetTimer(dlg, 1, 8000, Cancel::Later);
    });
    banner.DestroyWindow();
}

#endif
