// Scroll arithmetic of the painted movie list.
#include <gtest/gtest.h>

#include "app/ListScroll.h"

namespace {

const int32_t kBar = 16;

TEST(ListScroll, ShortListsNeedNoBarAndResetThePosition)
{
    CListScroll s;
    s.Update(100000ull * 50, 300, 400, 300, kBar, kBar);
    ASSERT_TRUE(s.Wheel(-120, 50));
    s.Update(250, 300, 400, 300, kBar, kBar);
    EXPECT_FALSE(s.Vertical().shown);
    EXPECT_FALSE(s.Horizontal().shown);
    EXPECT_EQ(0, s.VerticalPixels());
    EXPECT_DOUBLE_EQ(1.0, s.Scale());
    EXPECT_FALSE(s.Wheel(-120, 50));
}

TEST(ListScroll, TallListsScaleTheBarTo32000Units)
{
    CListScroll s;
    const uint64_t height = 100000ull * 150;  // 100,000 boxes of 150 pixels
    s.Update(height, 300, 400, 600, kBar, kBar);
    ASSERT_TRUE(s.Vertical().shown);
    EXPECT_EQ(kScrollUnits, s.Vertical().maximum);
    EXPECT_DOUBLE_EQ(double(height) / kScrollUnits, s.Scale());

    // The bottom reaches the last box and never beyond.
    EXPECT_TRUE(s.VerticalScroll(SCROLL_BOTTOM, 0));
    EXPECT_GE(s.VerticalPixels() + s.ViewHeight(), int64_t(height) - int64_t(s.Scale()));
    EXPECT_LE(s.VerticalPixels(), int64_t(height));
    EXPECT_FALSE(s.VerticalScroll(SCROLL_LINE_DOWN, 0));

    // One line unit moves by the scale in pixels.
    EXPECT_TRUE(s.VerticalScroll(SCROLL_TOP, 0));
    EXPECT_EQ(0, s.VerticalPixels());
    EXPECT_FALSE(s.VerticalScroll(SCROLL_LINE_UP, 0));
    EXPECT_TRUE(s.VerticalScroll(SCROLL_LINE_DOWN, 0));
    EXPECT_EQ(int64_t(s.Scale()), s.VerticalPixels());
    EXPECT_TRUE(s.VerticalScroll(SCROLL_THUMB_TRACK, 16000));
    EXPECT_EQ(int64_t(16000 * s.Scale()), s.VerticalPixels());
    EXPECT_FALSE(s.VerticalScroll(SCROLL_THUMB_POSITION, 3));
}

TEST(ListScroll, ListsUnder32000PixelsScrollPixelByPixel)
{
    CListScroll s;
    s.Update(1000, 300, 400, 300, kBar, kBar);
    EXPECT_EQ(1000, s.Vertical().maximum);
    EXPECT_EQ(300, s.Vertical().page);
    EXPECT_TRUE(s.VerticalScroll(SCROLL_PAGE_DOWN, 0));
    EXPECT_EQ(300, s.VerticalPixels());
    EXPECT_TRUE(s.VerticalScroll(SCROLL_BOTTOM, 0));
    EXPECT_EQ(701, s.VerticalPixels());
}

TEST(ListScroll, EachBarNarrowsTheOtherDirection)
{
    CListScroll s;
    // Fits in 300 pixels, but the horizontal bar leaves only 284.
    s.Update(290, 500, 400, 300, kBar, kBar);
    EXPECT_TRUE(s.Horizontal().shown);
    EXPECT_TRUE(s.Vertical().shown);
    EXPECT_EQ(400 - kBar, s.ViewWidth());
    EXPECT_EQ(300 - kBar, s.ViewHeight());
    EXPECT_EQ(500, s.Horizontal().maximum);
    EXPECT_TRUE(s.HorizontalScroll(SCROLL_BOTTOM, 0));
    EXPECT_EQ(500 - (400 - kBar) + 1, s.HorizontalPixels());
}

TEST(ListScroll, WheelMovesOneBoxPer120AndStopsAtTheEnds)
{
    CListScroll s;
    s.Update(100 * 40, 300, 400, 300, kBar, kBar);
    EXPECT_FALSE(s.Wheel(120, 40));
    EXPECT_TRUE(s.Wheel(-240, 40));
    EXPECT_EQ(80, s.VerticalPixels());
    EXPECT_TRUE(s.Wheel(-120000, 40));
    EXPECT_EQ(4000 - 300 + 1, s.VerticalPixels());
}

TEST(ListScroll, EnsureVisibleScrollsOnlyWhenTheBoxIsOutOfView)
{
    CListScroll s;
    const int32_t h = 150;
    s.Update(100000ull * h, 300, 400, 600, kBar, kBar);
    // Box 2 is in view; box 3 shows its top half only: left alone.
    EXPECT_FALSE(s.EnsureVisible(2 * h, 3 * h));
    EXPECT_FALSE(s.EnsureVisible(3 * h, 4 * h));
    // Box 4 has its middle below the view: its bottom goes to the bottom edge.
    EXPECT_TRUE(s.EnsureVisible(4 * h, 5 * h));
    EXPECT_EQ(5 * h - 600, s.VerticalPixels());
    // Far down, then back up: its top goes to the top edge.
    EXPECT_TRUE(s.EnsureVisible(int64_t(99999) * h, int64_t(100000) * h));
    EXPECT_EQ(int64_t(100000) * h - 600, s.VerticalPixels());
    EXPECT_TRUE(s.EnsureVisible(int64_t(50000) * h, int64_t(50001) * h));
    EXPECT_EQ(int64_t(50000) * h, s.VerticalPixels());
    EXPECT_TRUE(s.EnsureVisible(0, h));
    EXPECT_EQ(0, s.VerticalPixels());
}

TEST(ListScroll, BoxesPerPageCountsWholeBoxes)
{
    CListScroll s;
    s.Update(100000ull * 150, 300, 400, 600, kBar, kBar);
    EXPECT_EQ(3, s.BoxesPerPage(150));  // the scaled page rounds down
    EXPECT_EQ(1, s.BoxesPerPage(0));
}

}  // namespace

#include "app/ListProgress.h"

namespace {

TEST(ListProgress, ThreePassesFillTheBarExactlyOnce)
{
    for (uint64_t count : {uint64_t(7), uint64_t(32000), uint64_t(100000)}) {
        CListProgress p(count);
        EXPECT_EQ(count <= 32000 ? int32_t(count) : 32000, p.Range());
        for (uint64_t i = 0; i < count; i++)
            p.Advance(0.5);
        for (uint64_t i = 0; i < count; i++)
            p.Advance(0.25);
        for (uint64_t i = 0; i < count; i++)
            p.Advance(0.25);
        EXPECT_EQ(p.Range(), p.Position()) << count;
    }
}

}  // namespace
