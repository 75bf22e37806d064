// The small cover's height: the large cover's proportions in whole numbers.
#include <gtest/gtest.h>

#include "dialogs/SmallCoverSize.h"

TEST(SmallCoverSize, TheHeightIsExactOnEveryBuild)
{
    struct {
        uint32_t width, height;
        uint64_t small;
    } cases[] = {
        { 200, 300, 139 },                  // floor(1.5 x 93)
        { 124, 260, 195 },                  // exactly 195: x87 doubles gave 194
        { 93, 93, 93 },
        { 1000, 5, 0 },
        { 0, 300, 0 },                      // no width
        { 1, 0xFFFFFFFFu, 93ull * 0xFFFFFFFFu },  // the product needs 64 bits
        { 3, 50000000, 1550000000 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.small, SmallCoverHeight(c.width, c.height)) << c.width << "x" << c.height;
}
