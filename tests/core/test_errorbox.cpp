#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/ErrorBox.h"
#include "core/WndText.h"

namespace {

class ErrorBoxTest : public ::testing::Test {
protected:
    void SetUp() override { SetErrorBoxRecording(true); }
};

TEST_F(ErrorBoxTest, RecordsFullTextAndSkipsQuietCalls)
{
    int before = ErrorBoxCount();
    std::string name(3000, 'n');
    ShowError(0, "Unable to open %s (%d)", name.c_str(), 7);
    EXPECT_EQ("Unable to open " + name + " (7)", LastErrorBoxText());
    EXPECT_EQ(before + 1, ErrorBoxCount());

    ShowError(1, "trace %d", 1);
    ShowError(-1, "trace %d", 2);
    EXPECT_EQ(before + 1, ErrorBoxCount());
    EXPECT_EQ("Unable to open " + name + " (7)", LastErrorBoxText());
}

TEST_F(ErrorBoxTest, SystemErrorAppendsTheSystemTextOnANewLine)
{
    int before = ErrorBoxCount();
    ShowSystemError(2, "Cannot read %s", "a.vdb");
    EXPECT_EQ(before + 1, ErrorBoxCount());
    const std::string& text = LastErrorBoxText();
    const std::string head = "Cannot read a.vdb\n";
    ASSERT_GT(text.size(), head.size());
    EXPECT_EQ(head, text.substr(0, head.size()));
}

#ifdef _WIN32
TEST_F(ErrorBoxTest, UnknownSystemCodeStillGivesText)
{
    ShowSystemError(0x2FFFFFFF, "x");
    EXPECT_NE(std::string::npos, LastErrorBoxText().find("Error formating error message [")) << LastErrorBoxText();
}

// The window-text routines on a real edit control.
class WndTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 200, 20, NULL, NULL,
                               GetModuleHandleA(NULL), NULL);
        ASSERT_TRUE(edit != NULL);
    }
    void TearDown() override { DestroyWindow(edit); }
    HWND edit = NULL;
};

TEST_F(WndTextTest, TextRoundTripAndEmptyControl)
{
    char* text = static_cast<char*>(malloc(8));
    strcpy(text, "old");
    GetWndText(edit, &text);
    EXPECT_EQ(NULL, text);  // empty control: the old text is freed, none read

    std::string longText(5000, 'w');
    SetWndText(edit, longText.c_str());
    GetWndText(edit, &text);
    ASSERT_TRUE(text != NULL);
    EXPECT_EQ(longText, text);

    SetWndText(edit, NULL);
    GetWndText(edit, &text);
    EXPECT_EQ(NULL, text);

    SetWndText(NULL, "ignored");
    GetWndText(NULL, &text);
    EXPECT_EQ(NULL, text);
}

TEST_F(WndTextTest, NumbersUseLeadingDigits)
{
    SetWndText(edit, "12abc");
    EXPECT_EQ(12, GetWndLong(edit));
    SetWndLong(edit, -345);
    char* text = NULL;
    GetWndText(edit, &text);
    EXPECT_STREQ("-345", text);
    free(text);
    EXPECT_EQ(-345, GetWndLong(edit));
    SetWndText(edit, "");
    EXPECT_EQ(0, GetWndLong(edit));
    EXPECT_EQ(0, GetWndLong(NULL));
    SetWndLong(NULL, 5);
}
#endif

} // namespace
