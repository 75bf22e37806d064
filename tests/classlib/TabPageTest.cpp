// A modeless child page inside a modal tab dialog: the page gets its own
// controls' notifications, the dialog gets the tab control's WM_NOTIFY.
#include <gtest/gtest.h>

#include <cstdlib>

#include "TestResource.h"
#include "TestSupport.h"

namespace {

const UINT g_uwmDriveTabs = ::RegisterWindowMessage("CLASSLIB-TEST-TABS-{8E3F1D20-6B7C-4A9E-A5D2-13C4B6F7E801}");

class CPageDlg : public CDialog {
public:
    CPageDlg() : CDialog(IDD_PAGE) {}
    int m_nPressed = 0;
    int m_nEditChanges = 0;
    int m_nSelChanges = 0;

protected:
    void OnPress() { ++m_nPressed; }
    void OnEditChange() { ++m_nEditChanges; }
    void OnListSelChange() { ++m_nSelChanges; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPageDlg, CDialog)
    ON_BN_CLICKED(IDC_PAGE_BUTTON, OnPress)
    ON_EN_CHANGE(IDC_PAGE_EDIT, OnEditChange)
    ON_LBN_SELCHANGE(IDC_PAGE_LIST, OnListSelChange)
END_MESSAGE_MAP()

class CTabDlg : public CDialog {
public:
    CTabDlg() : CDialog(IDD_TABDIALOG) {}

    CPageDlg m_page;
    CTabCtrl m_tab;
    int m_nSelChanging = 0;
    int m_nSelChange = 0;
    LRESULT m_vetoResult = -1;
    bool m_bPageCreatedAsChild = false;
    bool m_bPageHiddenOnSecondTab = false;
    bool m_bDialogSawPageCommand = false;
    bool m_bDrive = true;

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_tab.SubclassDlgItem(IDC_TAB, this);
        m_tab.InsertItem(0, "Main");
        m_tab.InsertItem(1, "Files");
        if (m_page.Create(IDD_PAGE, this)) {
            m_bPageCreatedAsChild = (m_page.GetStyle() & WS_CHILD) && m_page.GetParent() == this;
            CRect rc;
            GetDlgItem(IDC_PLACEHOLDER)->GetWindowRect(&rc);
            ScreenToClient(&rc);
            m_page.MoveWindow(&rc);
            m_page.ShowWindow(SW_SHOW);
        }
        if (m_bDrive)
            PostMessage(g_uwmDriveTabs);
        return TRUE;
    }

protected:
    void OnSelChanging(NMHDR*, LRESULT* pResult)
    {
        ++m_nSelChanging;
        *pResult = TRUE;   // vetoed
    }
    void OnSelChange(NMHDR*, LRESULT* pResult)
    {
        ++m_nSelChange;
        m_page.ShowWindow(m_tab.GetCurSel() == 0 ? SW_SHOW : SW_HIDE);
        *pResult = 0;
    }
    void OnPageButtonSeenHere() { m_bDialogSawPageCommand = true; }

    LRESULT OnDrive(WPARAM, LPARAM)
    {
        // The page's controls notify the page.
        m_page.SendDlgItemMessage(IDC_PAGE_BUTTON, BM_CLICK);
        m_page.SetDlgItemText(IDC_PAGE_EDIT, "Brazil");
        CListBox list;
        list.Attach(::GetDlgItem(m_page.m_hWnd, IDC_PAGE_LIST));
        list.AddString("one");
        list.AddString("two");
        CRect rcItem;
        list.GetItemRect(1, &rcItem);
        LPARAM at = MAKELPARAM(rcItem.left + 2, rcItem.top + 2);
        list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        list.SendMessage(WM_LBUTTONUP, 0, at);
        list.Detach();

        // The tab control notifies the dialog; a handler's result is the message's.
        NMHDR nm = { m_tab.m_hWnd, IDC_TAB, (UINT)TCN_SELCHANGING };
        m_vetoResult = SendMessage(WM_NOTIFY, IDC_TAB, (LPARAM)&nm);
        m_tab.SetCurSel(1);
        nm.code = (UINT)TCN_SELCHANGE;
        SendMessage(WM_NOTIFY, IDC_TAB, (LPARAM)&nm);
        m_bPageHiddenOnSecondTab = !m_page.IsWindowVisible();

        ::PostMessage(::GetDlgItem(m_hWnd, IDOK), BM_CLICK, 0, 0);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTabDlg, CDialog)
    ON_NOTIFY(TCN_SELCHANGING, IDC_TAB, OnSelChanging)
    ON_NOTIFY(TCN_SELCHANGE, IDC_TAB, OnSelChange)
    ON_BN_CLICKED(IDC_PAGE_BUTTON, OnPageButtonSeenHere)
    ON_REGISTERED_MESSAGE(g_uwmDriveTabs, OnDrive)
END_MESSAGE_MAP()

} // namespace

TEST(TabPage, ChildPageGetsItsNotificationsInsideATabDialog)
{
    CTabDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(dlg.m_bPageCreatedAsChild);

    EXPECT_EQ(dlg.m_page.m_nPressed, 1);
    EXPECT_EQ(dlg.m_page.m_nEditChanges, 1);
    EXPECT_EQ(dlg.m_page.m_nSelChanges, 1);
    EXPECT_FALSE(dlg.m_bDialogSawPageCommand);

    EXPECT_EQ(dlg.m_nSelChanging, 1);
    EXPECT_EQ(dlg.m_vetoResult, TRUE);
    EXPECT_EQ(dlg.m_nSelChange, 1);
    EXPECT_TRUE(dlg.m_bPageHiddenOnSecondTab);

    // Page and tab went with the dialog's window.
    EXPECT_EQ(dlg.m_page.m_hWnd, nullptr);
    EXPECT_EQ(dlg.m_tab.m_hWnd, nullptr);
}

// Not a test: shows the tab dialog with its page for scripts/screenshot.sh
// (--gtest_also_run_disabled_tests --gtest_filter=*Showcase*).
TEST(TabPage, DISABLED_Showcase)
{
    CTabDlg dlg;
    dlg.m_bDrive = false;
    ASSERT_TRUE(dlg.Create(IDD_TABDIALOG));
    dlg.SetWindowPos(nullptr, 120, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dlg.m_page.SetDlgItemText(IDC_PAGE_EDIT, "Brazil");
    dlg.m_page.SendDlgItemMessage(IDC_PAGE_LIST, LB_ADDSTRING, 0, (LPARAM)"Alien");
    dlg.m_page.SendDlgItemMessage(IDC_PAGE_LIST, LB_ADDSTRING, 0, (LPARAM)"Blade Runner");
    dlg.ShowWindow(SW_SHOW);
    const char* ms = std::getenv("CLASSLIB_SHOWCASE_MS");
    DWORD until = ::GetTickCount() + (ms != nullptr ? (DWORD)std::atoi(ms) : 5000u);
    PumpUntil([&] { return ::GetTickCount() >= until; }, 60000);
    dlg.DestroyWindow();
}
