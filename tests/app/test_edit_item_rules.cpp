// The Edit Item dialog's rules that need no window: the anchors it offers,
// the alignments an anchor allows, undoing an edit after the elements were
// reordered, and reading its number edits.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "LayoutTestHost.h"
#include "app/ItemAnchors.h"
#include "app/ListLayout.h"
#include "app/NumberText.h"
#include "core/StrUtil.h"

namespace {

// A layout of the given elements only (the host keeps the defaults out).
class EditItemRules : public ::testing::Test {
protected:
    void SetUp() override { layout.m_items.clear(); }

    CLayoutSubItem* Add(BYTE placement, DWORD flags, int32_t h = -1, int32_t v = -1, int32_t x = 0,
                        int32_t y = 0, const char* text = "t")
    {
        CLayoutSubItem* item = layout.NewItem();
        item->Set(ITEM_TEXT, placement, h, v, x, y, 10, 10, flags, text, DWORD(strlen(text) + 1), 0);
        return item;
    }

    CTestLayoutHost host;
    CListLayout layout;
};

} // namespace

TEST_F(EditItemRules, OfferedAnchorsNeverCloseACycle)
{
    Add(PLACE_ABSOLUTE, 0);                          // 0
    Add(PLACE_ALIGNED, ITEM_LEFT, 0);                // 1: right of 0
    Add(PLACE_ALIGNED, ITEM_TOP, -1, 1);             // 2: below 1, so through 1 on 0
    Add(PLACE_ALIGNED, ITEM_RIGHT);                  // 3: on the box
    Add(PLACE_ALIGNED, ITEM_TOP, 0, -1);             // 4: its horizontal anchor is not in use
    Add(PLACE_ABSOLUTE, ITEM_LEFT, 2, 2);            // 5: absolute, its anchors not in use

    EXPECT_EQ(std::vector<int32_t>({3, 4, 5}), GetAnchorCandidates(layout, 0));
    EXPECT_EQ(std::vector<int32_t>({0, 3, 4, 5}), GetAnchorCandidates(layout, 1));
    EXPECT_EQ(std::vector<int32_t>({0, 1, 3, 4, 5}), GetAnchorCandidates(layout, 2));

    // A damaged layout: a cycle among others and an anchor naming nothing.
    // The walk still ends, and the element the cycle doesn't reach is kept.
    layout.GetItem(3)->m_hAnchor = 4;
    layout.GetItem(4)->Set(ITEM_TEXT, PLACE_ALIGNED, 3, 99, 0, 0, 1, 1, ITEM_LEFT | ITEM_TOP, "t", 2, 0);
    EXPECT_EQ(std::vector<int32_t>({3, 4, 5}), GetAnchorCandidates(layout, 0));
    EXPECT_EQ(std::vector<int32_t>({0, 1, 3, 4, 5}), GetAnchorCandidates(layout, 2));
}

TEST_F(EditItemRules, AnchorsRefuseAlignmentsOffTheBox)
{
    Add(PLACE_ABSOLUTE, 0, -1, -1, 0, 7);            // 0: at x 0, y 7
    Add(PLACE_ALIGNED, ITEM_LEFT | ITEM_BOTTOM);     // 1: against the box's left and bottom
    Add(PLACE_ALIGNED, ITEM_RIGHT | ITEM_TOP);       // 2: against the box's right and top
    Add(PLACE_ALIGNED, ITEM_LEFT | ITEM_TOP, 0, 0);  // 3: against element 0
    Add(PLACE_ALIGNED, 0, -1, -1, 3, 0);             // 4: aligned without bits, at 3, 0

    const struct {
        int32_t anchor;
        DWORD bit;
        bool allowed;
    } cases[] = {
        {-1, ITEM_RIGHT, true},    {5, ITEM_LEFT, false},    {-2, ITEM_LEFT, false},
        {0, ITEM_RIGHT, false},    {0, ITEM_LEFT, true},     {0, ITEM_HCENTER, true},  {0, ITEM_BOTTOM, true},
        {4, ITEM_RIGHT, true},     {4, ITEM_BOTTOM, false},
        {1, ITEM_RIGHT, false},    {1, ITEM_LEFT, true},     {1, ITEM_TOP, false},     {1, ITEM_VCENTER, true},
        {2, ITEM_LEFT, false},     {2, ITEM_BOTTOM, false},  {2, ITEM_RIGHT, true},
        {3, ITEM_LEFT, true},      {3, ITEM_RIGHT, true},    {3, ITEM_TOP, true},      {3, ITEM_BOTTOM, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.allowed, IsAlignmentAllowed(layout, c.anchor, c.bit)) << c.anchor << " " << c.bit;
}

TEST_F(EditItemRules, CancelAfterReorderPutsEverythingBack)
{
    Add(PLACE_ALIGNED, ITEM_LEFT, -1, -1, 0, 0, "a");   // 0
    Add(PLACE_ALIGNED, ITEM_TOP, -1, 0, 0, 0, "b");     // 1: below a
    Add(PLACE_ABSOLUTE, 0, -1, -1, 4, 4, "c");          // 2
    Add(PLACE_ALIGNED, ITEM_RIGHT, 2, 1, 0, 0, "d");    // 3: left of c, v anchor unused
    std::vector<ElementState> before = ElementStates(layout);

    // An edit of a: aligned right of d, which lies after it, so the
    // elements are sorted and every anchor renumbered.
    CLayoutSubItem* a = layout.GetItem(0);
    CItemBackup backup;
    backup.Take(layout, *a, false);
    a->m_hAnchor = 3;
    StrSet(&a->m_text, "edited");
    layout.SortItemsByAnchor();
    ASSERT_NE(a, layout.GetItem(0));
    backup.Restore(layout, &a);
    EXPECT_EQ(before, ElementStates(layout));
    EXPECT_FALSE(backup.IsTaken());

    // A new absolute element is sorted to the front, then cancelled: it goes
    // and the others keep their places and anchors.
    CLayoutSubItem* added = layout.NewItem();
    backup.Take(layout, *added, true);
    added->Set(ITEM_COVER, PLACE_ABSOLUTE, -1, -1, 0, 0, 5, 5, 0, NULL, 0, 0);
    layout.SortItemsByAnchor();
    ASSERT_NE(added, layout.GetItem(4));
    backup.Restore(layout, &added);
    EXPECT_EQ(nullptr, added);
    EXPECT_EQ(before, ElementStates(layout));

    // A kept edit stays as it is.
    backup.Take(layout, *layout.GetItem(1), false);
    layout.GetItem(1)->m_flags = ITEM_BOTTOM;
    backup.Forget();
    CLayoutSubItem* kept = layout.GetItem(1);
    backup.Restore(layout, &kept);
    EXPECT_EQ(DWORD(ITEM_BOTTOM), layout.GetItem(1)->m_flags);
}

TEST(NumberText, ReadsTheLeadingNumberWithinBounds)
{
    int32_t value = 77;
    EXPECT_FALSE(ReadNumberText("", 0, 100, &value));
    EXPECT_EQ(77, value);
    EXPECT_TRUE(ReadNumberText("12ab", 0, 100, &value));
    EXPECT_EQ(12, value);
    EXPECT_TRUE(ReadNumberText("abc", -5, 100, &value));
    EXPECT_EQ(0, value);
    EXPECT_TRUE(ReadNumberText("  -42", -8192, 8192, &value));
    EXPECT_EQ(-42, value);
    EXPECT_TRUE(ReadNumberText("-42", 0, 8192, &value));
    EXPECT_EQ(0, value);
    EXPECT_TRUE(ReadNumberText("99999999999", -8192, 8192, &value));
    EXPECT_EQ(8192, value);
    EXPECT_TRUE(ReadNumberText("-99999999999999999999999", INT32_MIN, INT32_MAX, &value));
    EXPECT_EQ(INT32_MIN, value);
    EXPECT_TRUE(ReadNumberText("+2147483647", INT32_MIN, INT32_MAX, &value));
    EXPECT_EQ(INT32_MAX, value);
}
