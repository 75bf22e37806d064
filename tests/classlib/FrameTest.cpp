// The frame: menu, tool bar, status bar and pane from one resource id;
// commands reach the pane before the frame and then the application; the
// command-update handlers drive menu items and tool-bar buttons.
#include <gtest/gtest.h>

#include <cstdlib>

#include "TestResource.h"
#include "TestSupport.h"

namespace {

class CTestPane : public CWnd {
public:
    int m_nRouted = 0;

protected:
    void OnRouted() { ++m_nRouted; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestPane, CWnd)
    ON_COMMAND(ID_TEST_ROUTED, OnRouted)
END_MESSAGE_MAP()

class CTestFrame : public CFrameWnd {
public:
    static bool s_bDeleted;
    ~CTestFrame() override { s_bDeleted = true; }

    CTestPane m_pane;
    CToolBar m_toolBar;
    CStatusBar m_statusBar;
    int m_nRouted = 0;
    int m_nFrameOnly = 0;
    int m_nDisabled = 0;
    int m_bChecked = 1;

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
            return -1;
        if (!m_pane.CreateEx(WS_EX_CLIENTEDGE, nullptr, nullptr, WS_CHILD | WS_VISIBLE,
                             CRect(0, 0, 0, 0), this, AFX_IDW_PANE_FIRST))
            return -1;
        if (!m_toolBar.CreateEx(this, TBSTYLE_FLAT,
                                WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS
                                    | CBRS_FLYBY | CBRS_SIZE_DYNAMIC)
            || !m_toolBar.LoadToolBar(IDR_TESTFRAME))
            return -1;
        static const UINT indicators[] = { ID_SEPARATOR, ID_INDICATOR_TEST };
        if (!m_statusBar.Create(this) || !m_statusBar.SetIndicators(indicators, 2))
            return -1;
        m_toolBar.EnableDocking(CBRS_ALIGN_ANY);
        EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&m_toolBar);
        return 0;
    }
    void OnRouted() { ++m_nRouted; }
    void OnFrameOnly() { ++m_nFrameOnly; }
    void OnDisabled() { ++m_nDisabled; }
    void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    void OnUpdateChecked(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_bChecked); }
    void OnUpdateRelabel(CCmdUI* pCmdUI) { pCmdUI->SetText("New label"); }
    DECLARE_MESSAGE_MAP()
};

bool CTestFrame::s_bDeleted = false;

BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND(ID_TEST_ROUTED, OnRouted)
    ON_COMMAND(ID_TEST_FRAMEONLY, OnFrameOnly)
    ON_COMMAND(ID_TEST_DISABLED, OnDisabled)
    ON_UPDATE_COMMAND_UI(ID_TEST_DISABLED, OnUpdateDisabled)
    ON_UPDATE_COMMAND_UI(ID_TEST_CHECKED, OnUpdateChecked)
    ON_UPDATE_COMMAND_UI(ID_TEST_RELABEL, OnUpdateRelabel)
END_MESSAGE_MAP()

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CTestFrame::s_bDeleted = false;
        m_pFrame = new CTestFrame;
        ASSERT_TRUE(m_pFrame->LoadFrame(IDR_TESTFRAME));
        m_pFrame->ShowWindow(SW_SHOW);
        m_pFrame->UpdateWindow();
        PumpPending();
    }
    void TearDown() override
    {
        if (!CTestFrame::s_bDeleted && m_pFrame != nullptr && m_pFrame->m_hWnd != nullptr)
            m_pFrame->DestroyWindow();
        PumpPending();
    }
    HMENU FileMenu() const { return ::GetSubMenu(m_pFrame->GetMenu(), 0); }
    void OpenFileMenu() { m_pFrame->SendMessage(WM_INITMENUPOPUP, (WPARAM)FileMenu(), 0); }

    CTestFrame* m_pFrame = nullptr;
};

} // namespace

TEST_F(FrameTest, LoadsTitleMenuBarsAndPaneFromOneResourceId)
{
    EXPECT_EQ(m_pFrame->GetWindowText(), "Class layer test frame");
    ASSERT_NE(m_pFrame->GetMenu(), nullptr);
    EXPECT_EQ(m_pFrame->m_toolBar.GetCount(), 4);
    EXPECT_EQ(m_pFrame->m_toolBar.GetItemID(0), (UINT)ID_TEST_ROUTED);
    EXPECT_EQ(m_pFrame->m_toolBar.GetItemID(2), (UINT)ID_SEPARATOR);
    EXPECT_EQ(m_pFrame->GetActivePane(), &m_pFrame->m_pane);

    // Tool bar on top, status bar at the bottom, the pane between them.
    CRect rcClient, rcBar, rcStatus, rcPane;
    m_pFrame->GetClientRect(&rcClient);
    m_pFrame->m_toolBar.GetWindowRect(&rcBar);
    m_pFrame->m_statusBar.GetWindowRect(&rcStatus);
    m_pFrame->m_pane.GetWindowRect(&rcPane);
    m_pFrame->ScreenToClient(&rcBar);
    m_pFrame->ScreenToClient(&rcStatus);
    m_pFrame->ScreenToClient(&rcPane);
    EXPECT_EQ(rcBar.top, 0);
    EXPECT_GT(rcBar.Height(), 0);
    EXPECT_EQ(rcPane.top, rcBar.bottom);
    EXPECT_EQ(rcPane.bottom, rcStatus.top);
    EXPECT_EQ(rcStatus.bottom, rcClient.bottom);
    EXPECT_EQ(rcPane.Width(), rcClient.Width());
}

TEST_F(FrameTest, CommandsReachThePaneBeforeTheFrameAndThenTheApplication)
{
    m_pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_TEST_ROUTED, 0), 0);
    EXPECT_EQ(m_pFrame->m_pane.m_nRouted, 1);
    EXPECT_EQ(m_pFrame->m_nRouted, 0);

    m_pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_TEST_FRAMEONLY, 0), 0);
    EXPECT_EQ(m_pFrame->m_nFrameOnly, 1);

    int before = theTestApp.m_nAppCommands;
    m_pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_TEST_APPCMD, 0), 0);
    EXPECT_EQ(theTestApp.m_nAppCommands, before + 1);

    // A tool-bar button's command takes the same road.
    m_pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_TEST_ROUTED, BN_CLICKED),
                          (LPARAM)m_pFrame->m_toolBar.m_hWnd);
    EXPECT_EQ(m_pFrame->m_pane.m_nRouted, 2);

    // The accelerator table turns F5 into the frame's command.
    MSG msg = {};
    msg.hwnd = m_pFrame->m_pane.m_hWnd;
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_F5;
    msg.lParam = 1;
    EXPECT_TRUE(AfxPreTranslateMessage(&msg));
    EXPECT_EQ(m_pFrame->m_nFrameOnly, 2);
}

TEST_F(FrameTest, UpdateHandlersEnableCheckAndRelabelMenuItems)
{
    OpenFileMenu();
    HMENU hFile = FileMenu();
    EXPECT_TRUE(::GetMenuState(hFile, ID_TEST_DISABLED, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(::GetMenuState(hFile, ID_TEST_CHECKED, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(::GetMenuState(hFile, ID_TEST_ROUTED, MF_BYCOMMAND) & MF_GRAYED);
    char text[64] = {};
    ::GetMenuString(hFile, ID_TEST_RELABEL, text, sizeof(text), MF_BYCOMMAND);
    EXPECT_STREQ(text, "New label");

    m_pFrame->m_bChecked = 0;
    OpenFileMenu();
    EXPECT_FALSE(::GetMenuState(hFile, ID_TEST_CHECKED, MF_BYCOMMAND) & MF_CHECKED);

    // A command whose handler disables it is not carried out.
    m_pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_TEST_DISABLED, 0), 0);
    EXPECT_EQ(m_pFrame->m_nDisabled, 0);
}

TEST_F(FrameTest, ToolBarButtonsFollowUpdateHandlersAtIdleTime)
{
    EXPECT_TRUE(m_pFrame->m_toolBar.IsButtonEnabled(ID_TEST_DISABLED));
    theTestApp.m_pMainWnd = m_pFrame;
    theTestApp.OnIdle(0);
    theTestApp.m_pMainWnd = nullptr;
    EXPECT_FALSE(m_pFrame->m_toolBar.IsButtonEnabled(ID_TEST_DISABLED));
    EXPECT_TRUE(m_pFrame->m_toolBar.IsButtonEnabled(ID_TEST_ROUTED));
}

TEST_F(FrameTest, BarsShowAndHideAndThePaneFillsTheRest)
{
    HMENU hView = ::GetSubMenu(m_pFrame->GetMenu(), 1);
    m_pFrame->SendMessage(WM_INITMENUPOPUP, (WPARAM)hView, 1);
    EXPECT_TRUE(::GetMenuState(hView, ID_VIEW_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED);

    m_pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_VIEW_TOOLBAR, 0), 0);
    EXPECT_FALSE(m_pFrame->m_toolBar.IsWindowVisible());
    CRect rcPane;
    m_pFrame->m_pane.GetWindowRect(&rcPane);
    m_pFrame->ScreenToClient(&rcPane);
    EXPECT_EQ(rcPane.top, 0);
    m_pFrame->SendMessage(WM_INITMENUPOPUP, (WPARAM)hView, 1);
    EXPECT_FALSE(::GetMenuState(hView, ID_VIEW_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED);

    m_pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_VIEW_STATUS_BAR, 0), 0);
    EXPECT_FALSE(m_pFrame->m_statusBar.IsWindowVisible());
    CRect rcClient;
    m_pFrame->GetClientRect(&rcClient);
    m_pFrame->m_pane.GetWindowRect(&rcPane);
    m_pFrame->ScreenToClient(&rcPane);
    EXPECT_EQ(rcPane.bottom, rcClient.bottom);

    m_pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_VIEW_TOOLBAR, 0), 0);
    EXPECT_TRUE(m_pFrame->m_toolBar.IsWindowVisible());
}

TEST_F(FrameTest, StatusBarPanesAndToolTips)
{
    CStatusBar& bar = m_pFrame->m_statusBar;
    EXPECT_EQ(bar.GetCount(), 2);
    EXPECT_EQ(bar.CommandToIndex(ID_INDICATOR_TEST), 1);
    EXPECT_EQ(bar.GetPaneText(1), "Totals: 0000");
    EXPECT_TRUE(bar.SetPaneText(1, "Total movies: 12"));
    EXPECT_EQ(bar.GetPaneText(1), "Total movies: 12");
    EXPECT_FALSE(bar.SetPaneText(2, "no such pane"));

    bar.SetPaneInfo(1, ID_INDICATOR_TEST, SBPS_NORMAL, 150);
    UINT id = 0, style = 0;
    int width = 0;
    bar.GetPaneInfo(1, id, style, width);
    EXPECT_EQ(width, 150);
    EXPECT_EQ(bar.GetPaneText(1), "Total movies: 12");
    CRect rcPane0, rcPane1;
    bar.GetItemRect(0, &rcPane0);
    bar.GetItemRect(1, &rcPane1);
    EXPECT_GE(rcPane1.Width(), 150);
    EXPECT_GT(rcPane0.Width(), 0);

    m_pFrame->SetMessageText("Ready to test");
    EXPECT_EQ(bar.GetPaneText(0), "Ready to test");

    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = m_pFrame->m_toolBar.m_hWnd;
    info.hdr.idFrom = ID_TEST_ROUTED;
    info.hdr.code = TTN_GETDISPINFOA;
    m_pFrame->SendMessage(WM_NOTIFY, 0, (LPARAM)&info);
    EXPECT_STREQ(info.lpszText, "Routed");
}

TEST_F(FrameTest, DestroyingTheMainFrameEndsTheLoopAndDeletesTheFrame)
{
    MSG msg;
    while (::PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    theTestApp.m_pMainWnd = m_pFrame;
    m_pFrame->SendMessage(WM_CLOSE);
    EXPECT_TRUE(CTestFrame::s_bDeleted);
    EXPECT_EQ(theTestApp.m_pMainWnd, nullptr);
    EXPECT_TRUE(::PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    m_pFrame = nullptr;
}

// Not a test: shows the frame with a modeless dialog for a while so that
// scripts/screenshot.sh can take a picture. Run it with
//   --gtest_also_run_disabled_tests --gtest_filter=*Showcase*
TEST_F(FrameTest, DISABLED_Showcase)
{
    m_pFrame->MoveWindow(40, 40, 640, 420);
    m_pFrame->m_statusBar.SetPaneText(1, "Totals: 1234");
    m_pFrame->SetMessageText("Ready");
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_TESTDIALOG, m_pFrame));
    dlg.SetDlgItemText(IDC_NAME, "Blade Runner");
    dlg.CheckDlgButton(IDC_CHECK, BST_CHECKED);
    dlg.SetWindowPos(nullptr, 330, 230, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dlg.ShowWindow(SW_SHOW);
    const char* ms = std::getenv("CLASSLIB_SHOWCASE_MS");
    DWORD until = ::GetTickCount() + (ms != nullptr ? (DWORD)std::atoi(ms) : 5000u);
    PumpUntil([&] { return ::GetTickCount() >= until; }, 60000);
    dlg.DestroyWindow();
}
