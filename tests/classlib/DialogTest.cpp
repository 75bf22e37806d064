// Modal dialogs driven by posted messages: ended by a click on OK with their
// values read back, by the close box, on a worker thread over a window of
// this thread, and WM_HELP reaching the dialog's virtual.
#include <gtest/gtest.h>

#include "TestResource.h"
#include "TestSupport.h"

namespace {

const UINT g_uwmDrive = ::RegisterWindowMessage("CLASSLIB-TEST-DRIVE-{0D7E5E4B-8A2C-4C56-B8E9-2F1A6C3D9E70}");

class CTestDialog : public CDialog {
public:
    enum Script { ClickOk, CloseBox, HelpThenOk };

    explicit CTestDialog(CWnd* pParent = nullptr, Script script = ClickOk)
        : CDialog(IDD_TESTDIALOG, pParent), m_script(script) {}

    std::string m_name;
    bool m_checked = false;
    int m_nPreTranslate = 0;
    int m_nHelp = 0;
    HWND m_hOwner = nullptr;
    BOOL m_bOwnerEnabledWhileOpen = TRUE;

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_hOwner = ::GetWindow(m_hWnd, GW_OWNER);
        PostMessage(g_uwmDrive);
        return TRUE;
    }
    void OnOK() override
    {
        m_name = GetDlgItemText(IDC_NAME);
        m_checked = IsDlgButtonChecked(IDC_CHECK) == BST_CHECKED;
        CDialog::OnOK();
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        ++m_nPreTranslate;
        return CDialog::PreTranslateMessage(pMsg);
    }
    BOOL OnHelpInfo(HELPINFO*) override
    {
        ++m_nHelp;
        return TRUE;
    }

protected:
    // Plays the user: types a name, ticks the box and ends the dialog.
    LRESULT OnDrive(WPARAM, LPARAM)
    {
        if (m_hOwner != nullptr)
            m_bOwnerEnabledWhileOpen = ::IsWindowEnabled(m_hOwner);
        SetDlgItemText(IDC_NAME, "Blade Runner");
        SendDlgItemMessage(IDC_CHECK, BM_CLICK);
        if (m_script == HelpThenOk) {
            HELPINFO info = {};
            info.cbSize = sizeof(info);
            info.iContextType = HELPINFO_WINDOW;
            info.hItemHandle = m_hWnd;
            SendMessage(WM_HELP, 0, (LPARAM)&info);
        }
        if (m_script == CloseBox)
            PostMessage(WM_CLOSE);
        else
            ::PostMessage(::GetDlgItem(m_hWnd, IDOK), BM_CLICK, 0, 0);
        return 0;
    }
    DECLARE_MESSAGE_MAP()

private:
    Script m_script;
};

BEGIN_MESSAGE_MAP(CTestDialog, CDialog)
    ON_REGISTERED_MESSAGE(g_uwmDrive, OnDrive)
END_MESSAGE_MAP()

class COwnerWnd : public CWnd {
public:
    BOOL CreateTop()
    {
        return CreateEx(0, nullptr, "dialog owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 30, 400,
                        300, nullptr, nullptr);
    }
};

struct WorkerJob {
    CWnd* pOwner = nullptr;
    INT_PTR result = 0;
    std::string name;
    bool checked = false;
    BOOL ownerEnabledWhileOpen = TRUE;
    HWND hOwnerSeen = nullptr;
    CWinThread* pThreadSeen = nullptr;
};

UINT ModalDialogOnWorker(LPVOID pParam)
{
    WorkerJob* job = static_cast<WorkerJob*>(pParam);
    job->pThreadSeen = AfxGetThread();
    CTestDialog dlg(job->pOwner);
    job->result = dlg.DoModal();
    job->name = dlg.m_name;
    job->checked = dlg.m_checked;
    job->ownerEnabledWhileOpen = dlg.m_bOwnerEnabledWhileOpen;
    job->hOwnerSeen = dlg.m_hOwner;
    return 5;
}

} // namespace

TEST(Dialog, ModalDialogEndsWithPostedOkAndKeepsItsValues)
{
    COwnerWnd owner;
    ASSERT_TRUE(owner.CreateTop());
    CTestDialog dlg(&owner);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_name, "Blade Runner");
    EXPECT_TRUE(dlg.m_checked);
    // The owner was disabled while the dialog ran and is enabled again.
    EXPECT_EQ(dlg.m_hOwner, owner.m_hWnd);
    EXPECT_FALSE(dlg.m_bOwnerEnabledWhileOpen);
    EXPECT_TRUE(owner.IsWindowEnabled());
    // The modal loop offered its messages to PreTranslateMessage.
    EXPECT_GT(dlg.m_nPreTranslate, 0);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    owner.DestroyWindow();
}

TEST(Dialog, CloseBoxCancelsAndHelpReachesTheVirtual)
{
    CTestDialog closing(nullptr, CTestDialog::CloseBox);
    EXPECT_EQ(closing.DoModal(), IDCANCEL);
    EXPECT_EQ(closing.m_name, "");   // OnOK never ran

    CTestDialog helped(nullptr, CTestDialog::HelpThenOk);
    EXPECT_EQ(helped.DoModal(), IDOK);
    EXPECT_EQ(helped.m_nHelp, 1);

    // A dialog object can run again.
    EXPECT_EQ(helped.DoModal(), IDOK);
    EXPECT_EQ(helped.m_nHelp, 2);
}

TEST(Dialog, MissingTemplateFailsWithoutAWindow)
{
    CDialog dlg(4242);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_FALSE(dlg.Create(4242));
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(Dialog, ModalDialogRunsOnAWorkerThreadOverThisThreadsWindow)
{
    COwnerWnd owner;
    ASSERT_TRUE(owner.CreateTop());
    // The job outlives this test if the worker should hang.
    WorkerJob* job = new WorkerJob;
    job->pOwner = &owner;
    CWinThread* pThread = AfxBeginThread(&ModalDialogOnWorker, job);
    ASSERT_NE(pThread, nullptr);
    ASSERT_TRUE(WaitPumping(pThread->m_hThread, 30000));

    // The thread has ended; its object and handle are still valid.
    DWORD exitCode = 0;
    EXPECT_TRUE(::GetExitCodeThread(pThread->m_hThread, &exitCode));
    EXPECT_EQ(exitCode, 5u);
    EXPECT_EQ(::WaitForSingleObject(pThread->m_hThread, 0), WAIT_OBJECT_0);
    EXPECT_EQ(job->pThreadSeen, pThread);

    EXPECT_EQ(job->result, IDOK);
    EXPECT_EQ(job->name, "Blade Runner");
    EXPECT_TRUE(job->checked);
    EXPECT_EQ(job->hOwnerSeen, owner.m_hWnd);
    EXPECT_FALSE(job->ownerEnabledWhileOpen);
    EXPECT_TRUE(owner.IsWindowEnabled());
    delete pThread;
    delete job;
    owner.DestroyWindow();
}
