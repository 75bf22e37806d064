// Message maps: chaining to the base class's table, registered messages,
// command ranges, control notifications, WM_NOTIFY and the handle map.
#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

const UINT g_uwmTest = ::RegisterWindowMessage("CLASSLIB-TEST-{5B0E2C61-3D7A-4F9B-9C41-7E2D7A0C1B55}");

class CBaseWnd : public CWnd {
public:
    int m_nRegistered = 0;
    int m_nBaseApp = 0;
    int m_nRange = 0;
    UINT m_nLastRangeId = 0;
    int m_nEditChanges = 0;
    int m_nNotify = 0;
    int m_nBaseCommand = 0;
    int m_cxLast = -1;
    bool* m_pPostNcDestroyed = nullptr;

    BOOL CreateTop()
    {
        return CreateEx(0, nullptr, "message map test", WS_OVERLAPPEDWINDOW, 20, 20, 240, 120,
                        nullptr, nullptr);
    }
    void PostNcDestroy() override
    {
        if (m_pPostNcDestroyed != nullptr)
            *m_pPostNcDestroyed = true;
    }

protected:
    LRESULT OnTestRegistered(WPARAM wParam, LPARAM lParam)
    {
        ++m_nRegistered;
        return (LRESULT)(wParam + lParam);
    }
    LRESULT OnAppOne(WPARAM, LPARAM)
    {
        ++m_nBaseApp;
        return 1;
    }
    void OnRange(UINT nID)
    {
        ++m_nRange;
        m_nLastRangeId = nID;
    }
    void OnEditChange() { ++m_nEditChanges; }
    void OnItemChanged(NMHDR*, LRESULT* pResult)
    {
        ++m_nNotify;
        *pResult = 42;
    }
    void OnBaseCommand() { ++m_nBaseCommand; }
    void OnSize(UINT nType, int cx, int cy)
    {
        m_cxLast = cx;
        CWnd::OnSize(nType, cx, cy);
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
    ON_REGISTERED_MESSAGE(g_uwmTest, OnTestRegistered)
    ON_MESSAGE(WM_APP + 1, OnAppOne)
    ON_COMMAND_RANGE(100, 109, OnRange)
    ON_EN_CHANGE(200, OnEditChange)
    ON_NOTIFY(LVN_ITEMCHANGED, 300, OnItemChanged)
    ON_COMMAND(400, OnBaseCommand)
    ON_WM_SIZE()
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
public:
    int m_nDerivedApp = 0;
    int m_nDeclined = 0;

protected:
    LRESULT OnAppOne(WPARAM, LPARAM)
    {
        ++m_nDerivedApp;
        return 2;
    }
    BOOL OnDeclining(UINT)
    {
        ++m_nDeclined;
        return FALSE;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
    ON_MESSAGE(WM_APP + 1, OnAppOne)
    ON_COMMAND_EX(400, OnDeclining)
END_MESSAGE_MAP()

class CCountingEdit : public CEdit {
public:
    int m_nCreate = 0;

protected:
    int OnCreate(LPCREATESTRUCT lpcs)
    {
        ++m_nCreate;
        return CEdit::OnCreate(lpcs);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCountingEdit, CEdit)
    ON_WM_CREATE()
END_MESSAGE_MAP()

} // namespace

TEST(MessageMap, RegisteredMessageReachesTheBaseClassHandler)
{
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.CreateTop());
    ASSERT_NE(g_uwmTest, 0u);
    EXPECT_EQ(wnd.SendMessage(g_uwmTest, 3, 4), 7);
    EXPECT_EQ(wnd.m_nRegistered, 1);
    // The derived table is searched first; the base entry is not reached.
    EXPECT_EQ(wnd.SendMessage(WM_APP + 1), 2);
    EXPECT_EQ(wnd.m_nDerivedApp, 1);
    EXPECT_EQ(wnd.m_nBaseApp, 0);
    // Messages without an entry get the default handling.
    EXPECT_EQ(wnd.GetWindowText(), "message map test");
    wnd.MoveWindow(0, 0, 300, 150);
    EXPECT_GT(wnd.m_cxLast, 0);
    wnd.DestroyWindow();
}

TEST(MessageMap, CommandRangesNotificationsAndDecliningHandlers)
{
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.CreateTop());

    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(105, 0), 0);
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(110, 0), 0);
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(100, 1), 0);   // accelerator
    EXPECT_EQ(wnd.m_nRange, 2);
    EXPECT_EQ(wnd.m_nLastRangeId, 100u);

    // A real edit control's EN_CHANGE reaches the entry for its id.
    HWND hEdit = ::CreateWindowEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 80, 20, wnd.m_hWnd,
                                  (HMENU)200, AfxGetInstanceHandle(), nullptr);
    ASSERT_NE(hEdit, nullptr);
    ::SetWindowText(hEdit, "changed");
    EXPECT_EQ(wnd.m_nEditChanges, 1);
    // A control notification with another code is not a command.
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(200, EN_SETFOCUS), (LPARAM)hEdit);
    EXPECT_EQ(wnd.m_nEditChanges, 1);

    NMHDR nm = { wnd.m_hWnd, 300, (UINT)LVN_ITEMCHANGED };
    EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, 300, (LPARAM)&nm), 42);
    nm.idFrom = 301;
    EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, 301, (LPARAM)&nm), 0);
    nm.idFrom = 300;
    nm.code = (UINT)LVN_ITEMCHANGING;
    EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, 300, (LPARAM)&nm), 0);
    EXPECT_EQ(wnd.m_nNotify, 1);

    // An extended handler that declines lets the base class's entry run.
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(400, 0), 0);
    EXPECT_EQ(wnd.m_nDeclined, 1);
    EXPECT_EQ(wnd.m_nBaseCommand, 1);
    wnd.DestroyWindow();
}

TEST(MessageMap, HandleMapFollowsTheWindowsLife)
{
    bool postNcDestroyed = false;
    CBaseWnd wnd;
    wnd.m_pPostNcDestroyed = &postNcDestroyed;
    ASSERT_TRUE(wnd.CreateTop());
    HWND hWnd = wnd.m_hWnd;
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), &wnd);
    EXPECT_EQ(CWnd::FromHandle(hWnd), &wnd);

    // Other windows are wrapped in temporary objects, one per handle.
    CWnd* pDesktop = CWnd::FromHandle(::GetDesktopWindow());
    ASSERT_NE(pDesktop, nullptr);
    EXPECT_EQ(pDesktop->m_hWnd, ::GetDesktopWindow());
    EXPECT_EQ(CWnd::FromHandle(::GetDesktopWindow()), pDesktop);
    EXPECT_EQ(CWnd::FromHandlePermanent(::GetDesktopWindow()), nullptr);

    // A second object cannot take over a routed window.
    CWnd other;
    EXPECT_FALSE(other.SubclassWindow(hWnd));

    wnd.DestroyWindow();
    EXPECT_TRUE(postNcDestroyed);
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST(MessageMap, DeletingTheObjectDestroysItsWindow)
{
    CBaseWnd* pWnd = new CBaseWnd;
    ASSERT_TRUE(pWnd->CreateTop());
    HWND hWnd = pWnd->m_hWnd;
    delete pWnd;
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST(MessageMap, CreatedChildControlIsRoutedFromItsFirstMessage)
{
    CBaseWnd wnd;
    ASSERT_TRUE(wnd.CreateTop());
    CCountingEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 80, 20), &wnd, 201));
    EXPECT_EQ(edit.m_nCreate, 1);
    EXPECT_EQ(edit.GetDlgCtrlID(), 201);
    wnd.DestroyWindow();
    EXPECT_EQ(edit.m_hWnd, nullptr);
}
