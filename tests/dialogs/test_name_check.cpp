// The name-check dialog: what it shows, when OK is possible, what it gives
// back and how it stores "never show this dialog again".
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include "DialogDriver.h"
#include "core/MovieFile.h"
#include "core/StrUtil.h"
#include "dialogs/NameCheckDlg.h"
#include "resources/resource.h"

namespace {

const char* const kGeneralPrompt = "Please check if my guess of name is correct";
const char* const kVcdPrompt = "As this is a SVCD/VCD, you probably need to check my guess";

void SetFields(CMovieFile& file, const char* folder, const char* name, const char* title, int32_t part)
{
    StrSet(&file.m_folder, folder);
    StrSet(&file.m_fileName, name);
    StrSet(&file.m_movieTitle, title);
    file.m_partNumber = part;
}

} // namespace

TEST(NameCheckDlg, GeneralFormShowsTheGuessAndStoresTheConfirmedOne)
{
    ScopedProfile profile("NameCheckGeneral");
    profile.SetInt("movie_name", "always", -5);  // not 0: the box stays clear
    CMovieFile file;
    SetFields(file, "\\Series\\Season 1\\", "Show cd1.mpg", "Show", 1);

    std::string path, name, count, prompt;
    bool never = true, okEnabled = false;
    DialogDriver driver([&](HWND dlg) {
        EXPECT_EQ("Please confirm", WindowCaption(dlg));
        path = ItemText(dlg, IDC_NAMECHECK_PATH);
        name = ItemText(dlg, IDC_NAMECHECK_NAME);
        count = ItemText(dlg, IDC_NAMECHECK_COUNT);
        prompt = ItemText(dlg, IDC_NAMECHECK_PROMPT);
        never = IsItemChecked(dlg, IDC_NAMECHECK_NEVER);
        okEnabled = IsItemEnabled(dlg, IDOK);
        SetItemText(dlg, IDC_NAMECHECK_NAME, "Show Me");
        SetItemText(dlg, IDC_NAMECHECK_COUNT, "");
        PostClick(dlg, IDC_NAMECHECK_NEVER);
        PostClick(dlg, IDOK);
    });
    CNameCheckDlg dlg;
    dlg.SetFile(&file, false);
    ASSERT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(1, driver.Count());

    EXPECT_EQ("\\Series\\Season 1\\Show cd1.mpg", path);
    EXPECT_EQ("Show", name);
    EXPECT_EQ("1", count);
    EXPECT_EQ(kGeneralPrompt, prompt);
    EXPECT_FALSE(never);
    EXPECT_TRUE(okEnabled);

    char* result = nullptr;
    int32_t part = 5;
    dlg.GetResult(&result, &part);
    ASSERT_NE(nullptr, result);
    EXPECT_STREQ("Show Me", result);
    EXPECT_EQ(-1, part);  // an empty count is no part number
    free(result);
    // The box ticked: the general form is not to be shown again; the VCD
    // form's setting is not touched.
    EXPECT_EQ(0, profile.GetInt("movie_name", "always", 7));
    EXPECT_EQ(7, profile.GetInt("movie_name", "severe", 7));
}

TEST(NameCheckDlg, VcdFormNeedsANameAndDontAddStoresNothing)
{
    ScopedProfile profile("NameCheckVcd");
    profile.SetInt("movie_name", "severe", 0);
    CMovieFile file;
    SetFields(file, "VIDEO_TS", "VTS_01_0.IFO", "The Matrix", -1);

    std::string path, count, prompt;
    bool never = false, okWithoutName = true, openAfterOk = false;
    DialogDriver driver([&](HWND dlg) {
        path = ItemText(dlg, IDC_NAMECHECK_PATH);
        count = ItemText(dlg, IDC_NAMECHECK_COUNT);
        prompt = ItemText(dlg, IDC_NAMECHECK_PROMPT);
        never = IsItemChecked(dlg, IDC_NAMECHECK_NEVER);
        SetItemText(dlg, IDC_NAMECHECK_NAME, "");
        okWithoutName = IsItemEnabled(dlg, IDOK);
        // Enter with an empty name does nothing.
        ::SendMessage(dlg, WM_COMMAND, IDOK, 0);
        openAfterOk = ::IsWindowVisible(dlg) != FALSE;
        PostClick(dlg, IDC_NAMECHECK_NEVER);
        PostClick(dlg, IDCANCEL);
    });
    CNameCheckDlg dlg;
    dlg.SetFile(&file, true);
    EXPECT_EQ(IDCANCEL, dlg.DoModal());

    EXPECT_EQ("\\VIDEO_TS\\VTS_01_0.IFO", path);  // both backslashes added
    EXPECT_EQ("", count);
    EXPECT_EQ(kVcdPrompt, prompt);
    EXPECT_TRUE(never);  // "severe" is 0
    EXPECT_FALSE(okWithoutName);
    EXPECT_TRUE(openAfterOk);
    EXPECT_EQ(0, profile.GetInt("movie_name", "severe", 7));
    EXPECT_EQ(7, profile.GetInt("movie_name", "always", 7));
}

TEST(NameCheckDlg, CountIsDecimalAndHeldInRange)
{
    ScopedProfile profile("NameCheckCount");
    CMovieFile file;
    SetFields(file, "", "film.avi", "Film", -1);
    const struct {
        const char* text;
        int32_t part;
    } cases[] = {{"007", 7}, {"0", 0}, {"99999999999", INT32_MAX}};
    for (const auto& c : cases) {
        std::string path;
        DialogDriver driver([&](HWND dlg) {
            path = ItemText(dlg, IDC_NAMECHECK_PATH);
            SetItemText(dlg, IDC_NAMECHECK_COUNT, c.text);
            PostClick(dlg, IDOK);
        });
        CNameCheckDlg dlg;
        dlg.SetFile(&file, false);
        ASSERT_EQ(IDOK, dlg.DoModal());
        EXPECT_EQ("\\film.avi", path);
        char* name = nullptr;
        int32_t part = -7;
        dlg.GetResult(&name, &part);
        EXPECT_STREQ("Film", name);
        EXPECT_EQ(c.part, part) << c.text;
        free(name);
    }
    // The box left clear stores 1.
    EXPECT_EQ(1, profile.GetInt("movie_name", "always", 7));
}
