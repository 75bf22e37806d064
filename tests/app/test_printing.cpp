// Printing under Wine: the painted list printed through Wine's PostScript
// driver on a test printer whose port writes to a file, and the print setup
// dialog.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "ProgramRun.h"
#include "app/ListingPrinter.h"
#include "app/MovieListView.h"
#include "app/PrintSetupDlg.h"
#include "classlib/ClassLib.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "resources/resource.h"

namespace {

const char* const kPrinter = "Vistrel Test";

void Pump()
{
    MSG msg;
    while (PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}

// A printer on Wine's PostScript driver whose jobs land in a file.
std::string InstallTestPrinter()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string output = std::string(temp) + "vistrel-print.ps";
    char unixPath[MAX_PATH * 2] = {};
    // The spooler runs the port's command on the Unix side.
    typedef char*(CDECL * UnixName)(LPCWSTR);
    UnixName toUnix = UnixName(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    WCHAR wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, output.c_str(), -1, wide, MAX_PATH);
    char* unix = toUnix != NULL ? toUnix(wide) : NULL;
    snprintf(unixPath, sizeof unixPath, "|cat > '%s'", unix != NULL ? unix : "/tmp/vistrel-print.ps");
    if (unix != NULL)
        HeapFree(GetProcessHeap(), 0, unix);

    char driverDir[MAX_PATH] = {};
    DWORD needed = 0;
    GetPrinterDriverDirectoryA(NULL, NULL, 1, (LPBYTE)driverDir, sizeof driverDir, &needed);
    std::string ppd = std::string("Z:") + VISTREL_TEST_DATA + "/print/vistrel.ppd";
    for (char& c : ppd)
        c = c == '/' ? '\\' : c;
    CopyFileA(ppd.c_str(), (std::string(driverDir) + "\\vistrel.ppd").c_str(), FALSE);
    HKEY key;
    RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Wine\\Printing\\Spooler", &key);
    RegSetValueExA(key, "VISTREL:", 0, REG_SZ, (const BYTE*)unixPath, DWORD(strlen(unixPath) + 1));
    RegCloseKey(key);
    RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Ports", &key);
    RegSetValueExA(key, "VISTREL:", 0, REG_SZ, (const BYTE*)"", 1);
    RegCloseKey(key);
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = (LPSTR) "Wine PostScript Driver";
    driver.pDriverPath = (LPSTR) "wineps.drv";
    driver.pDataFile = (LPSTR) "vistrel.ppd";
    driver.pConfigFile = (LPSTR) "wineps.drv";
    AddPrinterDriverA(NULL, 3, (LPBYTE)&driver);
    PRINTER_INFO_2A info = {};
    info.pPrinterName = (LPSTR)kPrinter;
    info.pPortName = (LPSTR) "VISTREL:";
    info.pDriverName = (LPSTR) "Wine PostScript Driver";
    info.pPrintProcessor = (LPSTR) "WinPrint";
    info.pDatatype = (LPSTR) "RAW";
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE printer = AddPrinterA(NULL, 2, (LPBYTE)&info);
    if (printer != NULL)
        ClosePrinter(printer);
    return output;
}

std::string ReadJob(const std::string& path)
{
    // The spooler's command writes the file when the job ends.
    std::string text;
    WaitFor([&] {
        std::ifstream in(path, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return text.find("%%EOF") != std::string::npos;
    });
    return text.find("%%EOF") != std::string::npos ? text : std::string();
}

int CountOf(const std::string& text, const char* what)
{
    int count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        count++;
    return count;
}

class PrintingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorBoxRecording(true);
        char company[80];
        snprintf(company, sizeof company, "VistrelPrintTest-%lu", GetCurrentProcessId());
        app.SetRegistryKey(company);
        theCollection.Clear();
        ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), "host", WS_POPUP | WS_VISIBLE, 0, 0, 500, 400, NULL,
                                  NULL));
    }
    void TearDown() override
    {
        if (view.m_hWnd != NULL)
            view.DestroyWindow();
        host.DestroyWindow();
        theCollection.Clear();
        app.WriteProfileString("print", NULL, NULL);
    }
    CWinApp app{"Vistrel Print Test"};
    CWnd host;
    CMovieListView view;
};

} // namespace

TEST_F(PrintingTest, PagesOfWholeBoxesRangesAndTheScreenUnchanged)
{
    std::string output = InstallTestPrinter();
    for (int i = 0; i < 20; i++) {
        CMovie movie;
        std::string title = "Movie " + std::to_string(i);
        StrSet(&movie.m_title, title.c_str());
        theCollection.AddMovie(&movie, false);
    }
    ASSERT_TRUE(view.Create(NULL, NULL, WS_CHILD | WS_VISIBLE, CRect(0, 0, 500, 400), &host, 59648));
    view.ShowMovies();
    Pump();
    ASSERT_EQ(view.GetEntryCount(), 20u);
    RECT before;
    view.GetEntry(7)->GetRect(&before);
    int64_t scroll = view.GetScroll().VerticalPixels();

    HDC dc = CreateDCA(NULL, kPrinter, NULL, NULL);
    ASSERT_NE(dc, (HDC)NULL);
    // No settings: no margins, boxes at their size in inches, whole boxes.
    HDC screen = GetDC(view.m_hWnd);
    double yScale = double(GetDeviceCaps(dc, LOGPIXELSY)) / GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(view.m_hWnd, screen);
    int64_t boxHeight = int64_t((before.bottom - before.top) * yScale);
    int64_t perPage = GetDeviceCaps(dc, VERTRES) / boxHeight;
    ASSERT_GT(perPage, 0);
    DeleteFileA(output.c_str());
    ASSERT_TRUE(RunPrintJob(view, dc, false, 0, 0));
    std::string job = ReadJob(output);
    // The title is the catalogue's file name without its folder.
    std::string name = theCollection.GetFileName();
    if (name.empty())
        name = "[untitled]";
    name = name.substr(name.find_last_of("\\/") == std::string::npos ? 0 : name.find_last_of("\\/") + 1);
    EXPECT_NE(job.find("%%Title: " + name + "\n"), std::string::npos) << name;
    EXPECT_EQ(CountOf(job, "%%Page:"), int((20 + perPage - 1) / perPage));

    // A range of one movie: one page.
    DeleteFileA(output.c_str());
    ASSERT_TRUE(RunPrintJob(view, dc, true, 5, 5));
    EXPECT_EQ(CountOf(ReadJob(output), "%%Page:"), 1);
    // A range without movies prints nothing.
    EXPECT_FALSE(RunPrintJob(view, dc, true, 1000, 2000));
    // Margins that leave no room end the run before it starts.
    app.WriteProfileInt("print", "margin_left", 900);
    EXPECT_FALSE(RunPrintJob(view, dc, false, 0, 0));
    EXPECT_NE(LastErrorBoxText().find("The margins leave no room"), std::string::npos);
    DeleteDC(dc);

    RECT after;
    view.GetEntry(7)->GetRect(&after);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(view.GetScroll().VerticalPixels(), scroll);

    CMovie distant;
    distant.m_id = 70000;
    theCollection.AddMovie(&distant, true);
    EXPECT_EQ(LastPrintableMovie(), 65535);
}

namespace {
std::string setupTop;
bool setupOkAfterClear = true, setupFillEnabledWithClip = true;

// Plays the user in the print setup dialog once it shows.
void CALLBACK FillPrintSetup(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND dlg = FindWindowA("#32770", "Print setup");
    if (dlg == NULL || !IsWindowVisible(dlg))
        return;
    KillTimer(NULL, id);
    char text[64] = {};
    GetDlgItemTextA(dlg, IDC_PRINT_TOP, text, sizeof text);
    setupTop = text;
    SetDlgItemTextA(dlg, IDC_PRINT_LEFT, "");
    setupOkAfterClear = IsWindowEnabled(GetDlgItem(dlg, IDOK)) != FALSE;
    SetDlgItemTextA(dlg, IDC_PRINT_LEFT, "00.125a");
    SetDlgItemTextA(dlg, IDC_PRINT_TOP, "0.29");
    SendMessage(dlg, WM_COMMAND, MAKEWPARAM(IDC_PRINT_CLIP, BN_CLICKED), LPARAM(GetDlgItem(dlg, IDC_PRINT_CLIP)));
    setupFillEnabledWithClip = IsWindowEnabled(GetDlgItem(dlg, IDC_PRINT_FILL)) != FALSE;
    SendMessage(dlg, WM_COMMAND, MAKEWPARAM(IDC_PRINT_HALVES, BN_CLICKED), 0);
    CheckDlgButton(dlg, IDC_PRINT_HALVES, BST_CHECKED);
    PostMessage(dlg, WM_COMMAND, IDOK, 0);
}
} // namespace

TEST_F(PrintingTest, SetupDialogDefaultsFilterAndStore)
{
    UINT_PTR timer = SetTimer(NULL, 0, 30, FillPrintSetup);
    CPrintSetupDlg dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    KillTimer(NULL, timer);
    EXPECT_EQ(setupTop, "0.80");
    EXPECT_FALSE(setupOkAfterClear);
    EXPECT_FALSE(setupFillEnabledWithClip);
    EXPECT_EQ(app.GetProfileInt("print", "margin_top", 0), 29u);
    EXPECT_EQ(app.GetProfileInt("print", "margin_left", 0), 12u);
    EXPECT_EQ(app.GetProfileInt("print", "margin_bottom", 0), 80u);
    EXPECT_EQ(app.GetProfileInt("print", "clip", 0), 1u);
    EXPECT_EQ(app.GetProfileInt("print", "nohalflings", 7), 0u);
}

#endif
