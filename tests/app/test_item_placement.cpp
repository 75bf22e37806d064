// Measuring helpers and placement of the elements of a movie-box.
#include <gtest/gtest.h>

#include "app/ListLayout.h"
#include "app/PaintItem.h"

namespace {

TEST(CoverFit, ScalesCentresAndNeverDividesByZero)
{
    CoverFit f = FitCover(200, 100, 100, 100, ITEM_KEEP_ASPECT);
    EXPECT_EQ(100, f.drawWidth);
    EXPECT_EQ(50, f.drawHeight);
    EXPECT_EQ(0, f.offsetX);
    EXPECT_EQ(25, f.offsetY);
    f = FitCover(50, 100, 100, 100, ITEM_KEEP_ASPECT);
    EXPECT_EQ(50, f.drawWidth);
    EXPECT_EQ(25, f.offsetX);
    f = FitCover(40, 30, 100, 100, ITEM_NEVER_ZOOM | ITEM_KEEP_ASPECT);
    EXPECT_EQ(40, f.drawWidth);
    EXPECT_EQ(30, f.drawHeight);
    EXPECT_EQ(30, f.offsetX);
    f = FitCover(40, 30, 100, 80, 0);
    EXPECT_EQ(100, f.drawWidth);
    EXPECT_EQ(80, f.drawHeight);
    f = FitCover(40, 30, 100, 80, ITEM_REAL_SIZE | ITEM_KEEP_ASPECT);
    EXPECT_EQ(40, f.measuredWidth);
    EXPECT_EQ(30, f.measuredHeight);
    EXPECT_EQ(0, f.offsetX);
    // A picture without size draws nothing and keeps the element's size.
    for (DWORD flags : {DWORD(ITEM_KEEP_ASPECT), DWORD(ITEM_NEVER_ZOOM), DWORD(0)}) {
        f = FitCover(0, 0, 100, 80, flags);
        EXPECT_EQ(100, f.measuredWidth);
        EXPECT_EQ(0, f.drawWidth);
        EXPECT_EQ(0, f.drawHeight);
    }
    f = FitCover(10, 0, 100, 80, ITEM_KEEP_ASPECT);
    EXPECT_EQ(0, f.drawWidth);
    // Exact whole sizes: 60x88 in a box 88 high is 60 wide (a quotient of
    // doubles gave 59), 88x60 in one 88 wide is 60 high; a picture of the
    // box's own proportions fills it.
    f = FitCover(60, 88, 100, 88, ITEM_KEEP_ASPECT);
    EXPECT_EQ(60, f.drawWidth);
    EXPECT_EQ(88, f.drawHeight);
    f = FitCover(88, 60, 88, 100, ITEM_KEEP_ASPECT);
    EXPECT_EQ(88, f.drawWidth);
    EXPECT_EQ(60, f.drawHeight);
    f = FitCover(93, 139, 186, 278, ITEM_KEEP_ASPECT);
    EXPECT_EQ(186, f.drawWidth);
    EXPECT_EQ(278, f.drawHeight);
}

TEST(CoverFit, TilesRoundUpAndSkipEmptyPictures)
{
    EXPECT_EQ(3, TileCount(100, 40));
    EXPECT_EQ(2, TileCount(80, 40));
    EXPECT_EQ(0, TileCount(100, 0));
    EXPECT_EQ(0, TileCount(100, -3));
}

TEST(BorderRings, StepTowardTheNormalColour)
{
    auto rings = BorderRingColors(RGB(250, 250, 250), RGB(100, 100, 100), RGB(10, 10, 10), 3);
    ASSERT_EQ(3u, rings.size());
    EXPECT_EQ(RGB(200, 200, 200), rings[0].first);
    EXPECT_EQ(RGB(40, 40, 40), rings[0].second);
    EXPECT_EQ(RGB(100, 100, 100), rings[2].first);
    EXPECT_EQ(RGB(100, 100, 100), rings[2].second);
    EXPECT_TRUE(BorderRingColors(0, 0, 0, 0).empty());
}

class Placement : public ::testing::Test {
protected:
    Placement()
    {
        layout.m_items.clear();
        layout.m_marginX = 2;
        layout.m_marginY = 3;
    }

    // An element of w x h, measured as such.
    int32_t Add(BYTE placement, DWORD flags, int32_t x, int32_t y, int32_t w, int32_t h,
                int32_t hAnchor = -1, int32_t vAnchor = -1)
    {
        CLayoutSubItem* item = layout.NewItem();
        item->Set(ITEM_COVER, placement, hAnchor, vAnchor, x, y, w, h, flags, NULL, 0, 0);
        laid.emplace_back(new CLaidOutItem);
        laid.back()->m_measured = {0, 0, w, h};
        return int32_t(laid.size()) - 1;
    }

    const RECT& Placed(int32_t i) { return laid[size_t(i)]->m_placed; }

    CListLayout layout;
    LaidOutItems laid;
};

TEST_F(Placement, AnchorsToTheBoxAndToOtherElements)
{
    int32_t a = Add(PLACE_ALIGNED, ITEM_LEFT | ITEM_TOP, 0, 0, 20, 10);
    int32_t b = Add(PLACE_ALIGNED, ITEM_LEFT | ITEM_TOP, 0, 0, 10, 10, a, -1);      // right of a
    int32_t c = Add(PLACE_ALIGNED, ITEM_RIGHT | ITEM_BOTTOM, 0, 0, 10, 10);         // box corner
    int32_t d = Add(PLACE_ALIGNED, ITEM_HCENTER | ITEM_TOP, 0, 0, 10, 10, -1, a);   // below a
    int32_t e = Add(PLACE_ABSOLUTE, 0, 60, 5, 10, 10);
    int32_t width = 100, height = 60;
    ASSERT_TRUE(LayOutToFit(layout, laid, &width, &height));
    EXPECT_EQ(100, width);
    EXPECT_EQ(60, height);
    EXPECT_EQ(2, Placed(a).left);
    EXPECT_EQ(3, Placed(a).top);
    EXPECT_EQ(24 + 2, Placed(b).left);  // a's margin box right + mx
    EXPECT_EQ(100 - 10 - 2, Placed(c).left);
    EXPECT_EQ(60 - 10 - 3, Placed(c).top);
    EXPECT_EQ(45, Placed(d).left);
    EXPECT_EQ(16 + 3, Placed(d).top);   // a's margin box bottom + my
    EXPECT_EQ(62, Placed(e).left);
    EXPECT_EQ(8, Placed(e).top);
}

TEST_F(Placement, TheBoxGrowsToHoldEveryElement)
{
    Add(PLACE_ABSOLUTE, 0, 90, 0, 30, 70);
    int32_t width = 50, height = 40;
    ASSERT_TRUE(LayOutToFit(layout, laid, &width, &height));
    EXPECT_EQ(90 + 2 + 30 + 2, width);
    EXPECT_EQ(0 + 3 + 70 + 3, height);
}

TEST_F(Placement, TwoRightAlignedElementsThatOverlapGrowTheBox)
{
    int32_t a = Add(PLACE_ALIGNED, ITEM_LEFT | ITEM_TOP, 0, 0, 40, 10);
    int32_t b = Add(PLACE_ALIGNED, ITEM_RIGHT | ITEM_TOP, 0, 0, 40, 10);
    int32_t width = 50, height = 20;
    ASSERT_TRUE(LayOutToFit(layout, laid, &width, &height));
    EXPECT_LE(Placed(a).right + 2, Placed(b).left - 2);
    EXPECT_EQ(width - 2, Placed(b).right);
    // Elements aligned the same way may overlap.
    Add(PLACE_ALIGNED, ITEM_RIGHT | ITEM_TOP, 0, 0, 40, 10);
    int32_t w2 = width, h2 = height;
    ASSERT_TRUE(LayOutToFit(layout, laid, &w2, &h2));
    EXPECT_EQ(width, w2);
}

TEST_F(Placement, ALeftRunningChainGrowsTheBox)
{
    // b stands left of a, which is aligned to the box's right edge.
    int32_t a = Add(PLACE_ALIGNED, ITEM_RIGHT | ITEM_TOP, 0, 0, 30, 10);
    int32_t b = Add(PLACE_ALIGNED, ITEM_RIGHT | ITEM_TOP, 0, 0, 30, 10, a, -1);
    int32_t width = 40, height = 20;
    ASSERT_TRUE(LayOutToFit(layout, laid, &width, &height));
    EXPECT_GE(Placed(b).left - 2, 0);
    EXPECT_LE(Placed(b).right + 2, Placed(a).left - 2);
}

TEST_F(Placement, ALayoutThatCanNeverFitStopsAtTheLimit)
{
    // Centred on the box and over a full-height element that grows with it:
    // each pass asks for more room.
    Add(PLACE_ABSOLUTE, 0, 0, 0, kMaxBoxSize * 2, 10);
    Add(PLACE_ALIGNED, ITEM_HCENTER | ITEM_TOP, 0, 0, 10, 10);
    int32_t width = 10, height = 10;
    EXPECT_FALSE(LayOutToFit(layout, laid, &width, &height));
    EXPECT_LE(width, kMaxBoxSize);
    EXPECT_LE(height, kMaxBoxSize);
}

}  // namespace
