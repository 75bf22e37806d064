// The few wrappers that do more than pass one message on: list sorting by
// item data, tree item data, and the drawing helpers of CDC.
#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

int CALLBACK CompareDataDescending(LPARAM a, LPARAM b, LPARAM sign)
{
    return (int)((b - a) * sign);
}

class ParentWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateEx(0, nullptr, "wrappers", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                      nullptr, nullptr));
    }
    void TearDown() override { m_parent.DestroyWindow(); }
    CWnd m_parent;
};

} // namespace

TEST_F(ParentWindow, ListCtrlReportViewSortsByItemData)
{
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 280, 150), &m_parent, 10));
    EXPECT_EQ(list.InsertColumn(0, "Title", LVCFMT_LEFT, 120), 0);
    EXPECT_EQ(list.InsertColumn(1, "Year", LVCFMT_LEFT, 60), 1);
    const char* titles[] = { "Alien", "Brazil", "Heat" };
    for (int i = 0; i < 3; ++i) {
        int n = list.InsertItem(i, titles[i]);
        ASSERT_EQ(n, i);
        list.SetItemText(n, 1, "1979");
        list.SetItemData(n, (DWORD_PTR)(10 + i));
    }
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_TRUE(list.SortItems(&CompareDataDescending, 1));
    EXPECT_EQ(list.GetItemText(0, 0), "Heat");
    EXPECT_EQ(list.GetItemData(0), 12u);
    EXPECT_EQ(list.GetItemText(2, 0), "Alien");
    EXPECT_EQ(list.GetItemText(2, 1), "1979");

    list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(list.GetSelectedCount(), 1u);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
}

TEST_F(ParentWindow, TreeCtrlKeepsItemDataAndChildren)
{
    CTreeCtrl tree;
    ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS, CRect(0, 0, 280, 150), &m_parent, 11));
    HTREEITEM disc = tree.InsertItem("[untitled]");
    HTREEITEM file = tree.InsertItem("\\films\\a.avi", 3, 3, disc);
    ASSERT_NE(disc, nullptr);
    ASSERT_NE(file, nullptr);
    tree.SetItemData(disc, 7);
    tree.SetItemData(file, 8);
    EXPECT_EQ(tree.GetRootItem(), disc);
    EXPECT_TRUE(tree.ItemHasChildren(disc));
    EXPECT_FALSE(tree.ItemHasChildren(file));
    EXPECT_EQ(tree.GetParentItem(file), disc);
    EXPECT_EQ(tree.GetItemData(file), 8u);
    EXPECT_EQ(tree.GetItemText(file), "\\films\\a.avi");
    EXPECT_TRUE(tree.SelectItem(file));
    EXPECT_EQ(tree.GetSelectedItem(), file);
    EXPECT_EQ(tree.GetCount(), 2u);
}

TEST(Gdi, Draw3dRectPaintsEachEdgeInItsColour)
{
    CClientDC screen((HWND) nullptr);
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(screen, 10, 10));
    HBITMAP old = dc.SelectObject(&bitmap);
    const COLORREF light = RGB(255, 255, 255), dark = RGB(64, 64, 64), fill = RGB(10, 20, 30);
    dc.FillSolidRect(0, 0, 10, 10, fill);
    dc.Draw3dRect(CRect(0, 0, 10, 10), light, dark);
    EXPECT_EQ(dc.GetPixel(0, 0), light);     // top-left corner
    EXPECT_EQ(dc.GetPixel(5, 0), light);     // top edge
    EXPECT_EQ(dc.GetPixel(0, 5), light);     // left edge
    EXPECT_EQ(dc.GetPixel(9, 5), dark);      // right edge
    EXPECT_EQ(dc.GetPixel(5, 9), dark);      // bottom edge
    EXPECT_EQ(dc.GetPixel(9, 0), dark);      // top-right corner
    EXPECT_EQ(dc.GetPixel(0, 9), dark);      // bottom-left corner
    EXPECT_EQ(dc.GetPixel(5, 5), fill);      // inside untouched
    dc.SelectObject(old);
}
