// A dialog's edit control taken over by a class of its own: its message-map
// entries run, and it lets go of the control when the control goes.
#include <gtest/gtest.h>

#include "TestResource.h"
#include "TestSupport.h"

namespace {

// Upper-cases letters and refuses digits.
class CUpperEdit : public CEdit {
public:
    int m_nChars = 0;
    int m_nSetText = 0;

protected:
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
    {
        ++m_nChars;
        if (nChar >= '0' && nChar <= '9')
            return;
        if (nChar >= 'a' && nChar <= 'z')
            nChar -= 'a' - 'A';
        DefWindowProc(WM_CHAR, nChar, MAKELPARAM(nRepCnt, nFlags));
    }
    LRESULT OnSetText(WPARAM, LPARAM)
    {
        ++m_nSetText;
        return Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CUpperEdit, CEdit)
    ON_WM_CHAR()
    ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

} // namespace

TEST(Subclass, EditControlRunsItsOwnMessageMap)
{
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_TESTDIALOG));
    CUpperEdit edit;
    ASSERT_TRUE(edit.SubclassDlgItem(IDC_NAME, &dlg));
    EXPECT_EQ(CWnd::FromHandlePermanent(::GetDlgItem(dlg.m_hWnd, IDC_NAME)), &edit);

    for (char c : std::string("a1b"))
        edit.SendMessage(WM_CHAR, (WPARAM)(unsigned char)c, 1);
    EXPECT_EQ(edit.m_nChars, 3);
    EXPECT_EQ(edit.GetWindowText(), "AB");

    dlg.SetDlgItemText(IDC_NAME, "Alien");
    EXPECT_EQ(edit.m_nSetText, 1);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_NAME), "Alien");

    // The same control cannot be taken over twice.
    CUpperEdit second;
    EXPECT_FALSE(second.SubclassDlgItem(IDC_NAME, &dlg));
    EXPECT_FALSE(second.SubclassDlgItem(9999, &dlg));

    dlg.DestroyWindow();
    EXPECT_EQ(edit.m_hWnd, nullptr);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(Subclass, UnsubclassGivesTheControlItsOwnProcedureBack)
{
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_TESTDIALOG));
    HWND hEdit = ::GetDlgItem(dlg.m_hWnd, IDC_NAME);
    CUpperEdit edit;
    ASSERT_TRUE(edit.SubclassWindow(hEdit));
    EXPECT_EQ(edit.UnsubclassWindow(), hEdit);
    EXPECT_EQ(edit.m_hWnd, nullptr);

    ::SendMessage(hEdit, WM_CHAR, 'x', 1);
    EXPECT_EQ(edit.m_nChars, 0);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_NAME), "x");
    dlg.DestroyWindow();
}
