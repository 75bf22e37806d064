// Printing's arithmetic: geometry from the settings, pages of boxes, and the
// margin edit's filter.
#include <gtest/gtest.h>

#include "app/PrintLayout.h"

namespace {

// The pages of count boxes as (first box, boxes on the page) pairs.
std::vector<std::pair<size_t, size_t>> Pages(size_t count, int64_t box, int64_t page, bool noHalves,
                                            std::vector<std::vector<PrintedBox>>* all = nullptr)
{
    std::vector<std::pair<size_t, size_t>> pages;
    PageStart start;
    std::vector<PrintedBox> boxes;
    bool more = true;
    for (int guard = 0; more && guard < 100; guard++) {
        more = PaginatePage(count, box, page, noHalves, start, boxes);
        if (boxes.empty())
            break;
        pages.push_back({boxes.front().box, boxes.size()});
        if (all != nullptr)
            all->push_back(boxes);
    }
    return pages;
}

} // namespace

TEST(PrintLayout, MarginsAreExactPixels)
{
    // 0.29 inch at 100 dpi is 29 pixels; 0.57 inch at 300 dpi is 171.
    PrintSettings margins;
    margins.marginLeft = 29;
    margins.marginTop = 57;
    margins.marginRight = 1;
    margins.marginBottom = 0;
    PrintGeometry g = ComputePrintGeometry(margins, 1000, 3000, 100, 300, 96, 96, 0);
    ASSERT_TRUE(g.valid);
    EXPECT_EQ(29, g.left);
    EXPECT_EQ(171, g.top);
    EXPECT_EQ(1000 - 29 - 1, g.width);
    EXPECT_EQ(3000 - 171, g.height);
}

TEST(PrintLayout, GeometryFromTheSettings)
{
    PrintSettings none;
    // 600 dpi paper of 4800 x 6600 pixels, a 96 dpi screen, 300-pixel boxes.
    PrintGeometry g = ComputePrintGeometry(none, 4800, 6600, 600, 600, 96, 96, 300);
    ASSERT_TRUE(g.valid);
    EXPECT_EQ(g.left, 0);
    EXPECT_EQ(g.width, 4800);
    EXPECT_DOUBLE_EQ(g.xScale, 6.25);  // the box keeps its size in inches
    EXPECT_DOUBLE_EQ(g.yScale, 6.25);
    // A box wider than the paper is fitted, keeping its proportions.
    g = ComputePrintGeometry(none, 4800, 6600, 600, 600, 96, 96, 1000);
    EXPECT_DOUBLE_EQ(g.xScale, 4.8);
    EXPECT_DOUBLE_EQ(g.yScale, 4.8);
    PrintSettings settings;
    settings.fill = true;
    settings.marginLeft = settings.marginRight = 50;
    settings.marginTop = 25;
    g = ComputePrintGeometry(settings, 4800, 6600, 600, 300, 96, 96, 300);
    EXPECT_EQ(g.left, 300);
    EXPECT_EQ(g.top, 75);
    EXPECT_EQ(g.width, 4200);
    EXPECT_DOUBLE_EQ(g.xScale, 14.0);
    EXPECT_DOUBLE_EQ(g.yScale, 300.0 / 96 * 14.0 / 6.25);
    settings.clip = true;  // clip keeps the scale whatever "fill" says
    g = ComputePrintGeometry(settings, 4800, 6600, 600, 600, 96, 96, 1000);
    EXPECT_DOUBLE_EQ(g.xScale, 6.25);
    // Margins that leave nothing, or no screen resolution: no geometry.
    settings.marginLeft = settings.marginRight = 500;
    EXPECT_FALSE(ComputePrintGeometry(settings, 4800, 6600, 600, 600, 96, 96, 300).valid);
    EXPECT_FALSE(ComputePrintGeometry(none, 4800, 6600, 600, 600, 0, 96, 300).valid);
}

TEST(PrintLayout, PagesOfBoxes)
{
    // Whole boxes: 10 boxes of 300 on pages of 1000 hold 3 each.
    EXPECT_EQ(Pages(10, 300, 1000, true), (std::vector<std::pair<size_t, size_t>>{{0, 3}, {3, 3}, {6, 3}, {9, 1}}));
    // A box ending at the page bottom ends the page.
    EXPECT_EQ(Pages(4, 250, 1000, true), (std::vector<std::pair<size_t, size_t>>{{0, 4}}));
    EXPECT_EQ(Pages(5, 250, 1000, true), (std::vector<std::pair<size_t, size_t>>{{0, 4}, {4, 1}}));
    // Boxes cut at the bottom go on at the cut line on the next page.
    std::vector<std::vector<PrintedBox>> cut;
    EXPECT_EQ(Pages(3, 400, 1000, false, &cut), (std::vector<std::pair<size_t, size_t>>{{0, 3}, {2, 1}}));
    EXPECT_EQ(cut[1][0].top, -200);
    // A box taller than the page prints cut (whole boxes), or over several
    // pages (halves), instead of being skipped.
    EXPECT_EQ(Pages(2, 2500, 1000, true), (std::vector<std::pair<size_t, size_t>>{{0, 1}, {1, 1}}));
    cut.clear();
    EXPECT_EQ(Pages(1, 2500, 1000, false, &cut).size(), 3u);
    EXPECT_EQ(cut[2][0].top, -2000);
    // Nothing to print, or no room: no page.
    EXPECT_TRUE(Pages(0, 300, 1000, true).empty());
    EXPECT_TRUE(Pages(3, 300, 0, true).empty());
}

TEST(PrintLayout, MarginTextFilter)
{
    std::string text = "00.125a";
    int start = 7, end = 7;
    EXPECT_TRUE(FilterMarginText(text, start, end));
    EXPECT_EQ(text, "0.12");
    EXPECT_EQ(start, 4);
    text = "1x2.3.45";
    start = end = 2;  // after "1x"
    FilterMarginText(text, start, end);
    EXPECT_EQ(text, "123.45");
    EXPECT_EQ(start, 1);
    text = "12345678";
    start = 0;
    end = 8;
    FilterMarginText(text, start, end);
    EXPECT_EQ(text, "345678");
    EXPECT_EQ(end, 6);
    text = "abc";
    EXPECT_FALSE(FilterMarginText(text, start, end));
    EXPECT_EQ(start, 0);
    EXPECT_EQ(MarginFromText("0.29"), 29);  // rounded, not truncated to 28
    EXPECT_EQ(MarginFromText("0.80"), 80);
}
