// The plug-in dialog's list order, arrows and format text.
#include <gtest/gtest.h>

#include "dialogs/PluginRows.h"

TEST(PluginRows, OrderArrowsAndTexts)
{
    std::vector<PluginRow> rows(3);
    rows[0].fileName = "b.dll";
    rows[0].priority = 10;
    rows[1].fileName = "a.dll";
    rows[1].priority = 5;
    rows[2].fileName = "c.dll";
    rows[2].priority = -1;

    // Priority keys are texts: "10" before "5", "Disabled" after digits.
    EXPECT_EQ(OrderPluginRows(rows, 2, true), (std::vector<size_t>{0, 1, 2}));
    EXPECT_EQ(OrderPluginRows(rows, 2, false), (std::vector<size_t>{2, 1, 0}));
    EXPECT_EQ(OrderPluginRows(rows, 0, true), (std::vector<size_t>{1, 0, 2}));
    // Equal keys order by file name.
    EXPECT_EQ(OrderPluginRows(rows, 1, true), (std::vector<size_t>{1, 0, 2}));

    EXPECT_EQ(StepPluginPriority(0, false), -1);
    EXPECT_EQ(StepPluginPriority(-1, false), -1);
    EXPECT_EQ(StepPluginPriority(-1, true), 0);
    EXPECT_EQ(StepPluginPriority(65533, true), 65534);
    EXPECT_EQ(StepPluginPriority(65534, true), 65534);
    // A stored priority below -1 is disabled, so one step up enables it.
    EXPECT_EQ(StepPluginPriority(-7, true), 0);
    EXPECT_EQ(PluginPriorityText(-1), "Disable");
    EXPECT_EQ(PluginRowKey(rows[2], 2), "Disabled");

    EXPECT_EQ(PluginFormatsText("|Avi file (*.avi)|*.avi|Mpeg file (*.mpg)|*.mpg; *.mpeg|"),
              "Avi file (*.avi), Mpeg file (*.mpg), ");
    EXPECT_EQ(PluginFormatsText("Avi file (*.avi)|*.avi"), "Avi file (*.avi), ");
    EXPECT_EQ(PluginFormatsText(NULL), "");
}
