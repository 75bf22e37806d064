// Which positions of a progress bar are shown: one per pixel of its width,
// both ends included, over any range.
#include <gtest/gtest.h>

#include <vector>

#include "app/BarSteps.h"

TEST(BarSteps, EachPixelOfTheBarIsShownOnce)
{
    struct Case {
        int32_t low, high, pixels;
        int32_t shown;  // moves over a walk from low to high
    } cases[] = {
        { 0, 32000, 200, 201 },  // 160 positions a pixel
        { 0, 100, 300, 101 },    // fewer positions than pixels: each one
        { -50, 50, 10, 11 },
        { 0, 32000, 0, 2 },      // an unmeasured bar: its two ends
    };
    for (const Case& c : cases) {
        CBarSteps steps;
        steps.Reset(c.low, c.high, c.pixels);
        int32_t shown = 0;
        for (int32_t pos = c.low; pos <= c.high; pos++)
            shown += steps.Moves(pos) ? 1 : 0;
        EXPECT_EQ(c.shown, shown) << c.low << ".." << c.high << " over " << c.pixels;
    }

    // The edges of one pixel; no overflow over the widest range; outside
    // the range counts as its ends; a load shown again starts over.
    CBarSteps steps;
    steps.Reset(0, 32000, 200);
    std::vector<bool> moves;
    for (int32_t pos : { 0, 159, 160, 319, 320, -5, 40000, 32000 })
        moves.push_back(steps.Moves(pos));
    EXPECT_EQ((std::vector<bool>{ true, false, true, false, true, true, true, false }), moves);
    steps.Reset(0, 0x7FFFFFFF, 250);
    moves.clear();
    for (int32_t pos : { 0, 0x7FFFFFFD, 0x7FFFFFFE, 0x7FFFFFFF })
        moves.push_back(steps.Moves(pos));
    EXPECT_EQ((std::vector<bool>{ true, true, false, true }), moves);
}
