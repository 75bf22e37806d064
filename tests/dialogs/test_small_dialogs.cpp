// Change id, the overwrite question, multiple results and Configure with
// their settings.
#include <gtest/gtest.h>

#include <string>

#include "DialogDriver.h"
#include "classlib/WinApp.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "dialogs/ChangeIdDlg.h"
#include "dialogs/ConfigureDlg.h"
#include "dialogs/MultipleResultsDlg.h"
#include "dialogs/OverwriteInfoDlg.h"
#include "dialogs/SortByCustomDlg.h"
#include "resources/resource.h"

namespace {

void AddMovieWithId(DWORD id, const char* title)
{
    CMovie movie;
    StrSet(&movie.m_title, title);
    movie.m_id = id;
    theCollection.AddMovie(&movie, true);
}

std::string ListLine(HWND dlg, int id, int line)
{
    char text[256] = {};
    ::SendDlgItemMessage(dlg, id, LB_GETTEXT, line, LPARAM(text));
    return text;
}

void Select(HWND dlg, int id, int line)
{
    ::SendDlgItemMessage(dlg, id, LB_SETCURSEL, line, 0);
    ::SendMessage(dlg, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), LPARAM(::GetDlgItem(dlg, id)));
}

} // namespace

TEST(SmallDialogs, ChangeIdListsEveryIdRefusesLowOnesAndBoundsFreeRuns)
{
    ScopedProfile profile("ChangeId");
    theCollection.Clear();
    AddMovieWithId(0, "Alien");
    AddMovieWithId(2, "");
    AddMovieWithId(5, "Brazil");
    std::vector<std::string> lines;
    bool okOnOwn = true, radiosOnEmpty = true;
    std::string refusal;
    DialogDriver driver([&](HWND dlg) {
        int count = int(::SendDlgItemMessage(dlg, IDC_CHANGEID_LIST, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; i++)
            lines.push_back(ListLine(dlg, IDC_CHANGEID_LIST, i));
        Select(dlg, IDC_CHANGEID_LIST, 2);
        okOnOwn = IsItemEnabled(dlg, IDOK);
        Select(dlg, IDC_CHANGEID_LIST, 6);
        radiosOnEmpty = IsItemEnabled(dlg, IDC_CHANGEID_EXCHANGE);
        SetItemText(dlg, IDC_CHANGEID_EDIT, "4");
        PostClick(dlg, IDC_CHANGEID_EXCHANGE);
        PostClick(dlg, IDOK);
        Later([&, dlg] {
            refusal = AfxLastMessageBoxText();
            SetItemText(dlg, IDC_CHANGEID_EDIT, "9");
            PostClick(dlg, IDOK);
        });
    });
    CChangeIdDlg dlg;
    dlg.SetMovie(nullptr, 2);
    ASSERT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ((std::vector<std::string>{ "0 - Alien", "1 - EMPTY", "2 - THIS MOVIE", "3 - EMPTY", "4 - EMPTY",
                                         "5 - Brazil", "6 - EMPTY" }),
              lines);
    EXPECT_FALSE(okOnOwn);
    EXPECT_FALSE(radiosOnEmpty);
    EXPECT_EQ("You must enter an ID higher than the last ID in the list and lower than 2147483637.", refusal);
    DWORD id = 2;
    bool exchange = false;
    dlg.GetResult(&id, &exchange);
    EXPECT_EQ(9u, id);
    EXPECT_TRUE(exchange);
    EXPECT_EQ(1, profile.GetInt("changeid", "exchange", -1));
    theCollection.Clear();
}

TEST(SmallDialogs, ChangeIdListsOnlyTheStartOfALongFreeRun)
{
    ScopedProfile profile("ChangeIdRun");
    theCollection.Clear();
    AddMovieWithId(0, "Alien");
    // A movie at 3,000,000,000: the free run shows its first thousand ids.
    AddMovieWithId(3000000000u, "Far");
    int count = 0;
    DialogDriver driver([&](HWND dlg) {
        count = int(::SendDlgItemMessage(dlg, IDC_CHANGEID_LIST, LB_GETCOUNT, 0, 0));
        PostClick(dlg, IDCANCEL);
    });
    CChangeIdDlg dlg;
    dlg.SetMovie(nullptr, 0);
    dlg.DoModal();
    EXPECT_EQ(1 + 1000 + 2, count);
    theCollection.Clear();
}

TEST(SmallDialogs, OverwriteQuestionFollowsAndWritesItsBits)
{
    ScopedProfile profile("Overwrite");
    profile.SetInt("update", "askoverwrite", 0);
    profile.SetInt("update", "overwrite", 80);
    DialogDriver never([](HWND dlg) { PostClick(dlg, IDCANCEL); });
    COverwriteInfoDlg quiet;
    EXPECT_EQ(IDOK, quiet.DoModal());
    EXPECT_EQ(0, never.Count());
    EXPECT_EQ(80, profile.GetInt("update", "overwrite", -1));

    profile.SetInt("update", "askoverwrite", 1);
    profile.SetInt("update", "overwrite", 17);
    bool rateEnabled = true, rateChecked = false;
    DialogDriver ask([&](HWND dlg) {
        rateEnabled = IsItemEnabled(dlg, IDC_OVERWRITE_RATE);
        rateChecked = IsItemChecked(dlg, IDC_OVERWRITE_RATE);
        PostClick(dlg, IDC_OVERWRITE_ONLY_EMPTY);   // off: rate and comment free
        PostClick(dlg, IDC_OVERWRITE_COMMENT);
        PostClick(dlg, IDC_OVERWRITE_NEVER_ASK);
        PostClick(dlg, IDOK);
    });
    COverwriteInfoDlg asked;
    EXPECT_EQ(IDOK, asked.DoModal());
    EXPECT_FALSE(rateEnabled);
    EXPECT_TRUE(rateChecked);
    EXPECT_EQ(16 + 64, profile.GetInt("update", "overwrite", -1));
    EXPECT_EQ(0, profile.GetInt("update", "askoverwrite", -1));
}

TEST(SmallDialogs, MultipleResultsGivesTheLinkOfTheChosenTitledHit)
{
    CImdbInfo info;
    info.AddSearchHit("/title/untitled", "");
    info.AddSearchHit("/title/alien", "Alien (1979)");
    info.AddSearchHit("/title/aliens", "Aliens (1986)");
    bool okAtStart = true;
    DialogDriver driver([&](HWND dlg) {
        okAtStart = IsItemEnabled(dlg, IDOK);
        Select(dlg, IDC_RESULTS_LIST, 1);
        PostClick(dlg, IDOK);
    });
    CMultipleResultsDlg dlg;
    dlg.SetResults(&info.m_hits);
    ASSERT_EQ(IDOK, dlg.DoModal());
    EXPECT_FALSE(okAtStart);
    std::string link;
    ASSERT_TRUE(dlg.GetSelection(&link));
    EXPECT_EQ("/title/aliens", link);
}

TEST(SmallDialogs, ConfigureChecksTheRecentCountAndWritesEveryOption)
{
    ScopedProfile profile("Configure");
    profile.SetInt("updatemoviefile", "answer", 0);
    profile.SetInt("open", "recent", 40);
    std::string shownRecent;
    std::vector<std::string> refusals;
    DialogDriver driver([&](HWND dlg) {
        shownRecent = ItemText(dlg, IDC_CONFIG_RECENT);
        SetItemText(dlg, IDC_CONFIG_RECENT, "12");
        PostClick(dlg, IDOK);
        Later([&, dlg] {
            refusals.push_back(AfxLastMessageBoxText());
            AfxSetMessageBoxRecording(true, IDOK);
            SetItemText(dlg, IDC_CONFIG_RECENT, "010");
            PostClick(dlg, IDOK);
        });
        Later([&, dlg] {
            refusals.push_back(AfxLastMessageBoxText());
            SetItemText(dlg, IDC_CONFIG_RECENT, "");
            PostClick(dlg, IDC_CONFIG_ASK_UPDATE_FILE);   // unchecked: answer Yes from now on
            PostClick(dlg, IDC_CONFIG_DVDRIP);
            PostClick(dlg, IDOK);
        });
    });
    AfxSetMessageBoxRecording(true, IDOK);
    CConfigureDlg dlg;
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ("10", shownRecent);
    ASSERT_EQ(2u, refusals.size());
    EXPECT_EQ("The recent documents count can only be between 0 - 10.", refusals[0]);
    EXPECT_EQ(0, profile.GetInt("open", "recent", -1));
    EXPECT_EQ(1, profile.GetInt("updatemoviefile", "answer", -1));
    EXPECT_EQ(0, profile.GetInt("database", "show_dvdrip", -1));
    EXPECT_EQ(1, profile.GetInt("movie_name", "always", -1));
}

TEST(SmallDialogs, CustomSortScriptReachesTheProfileOnlyWhenSaved)
{
    ScopedProfile profile("SortCustom");
    CWinApp* app = AfxGetApp();
    ASSERT_STREQ("", LoadSaveCustomSortScript(CUSTOM_SORT_LOAD));
    bool okWhileEmpty = true;
    DialogDriver driver([&](HWND dlg) {
        EXPECT_EQ("Sort by custom", WindowCaption(dlg));
        okWhileEmpty = IsItemEnabled(dlg, IDOK);
        SetItemText(dlg, IDC_SORT_SCRIPT, "%movie_year %movie_name");
        PostClick(dlg, IDOK);
    });
    CSortByCustomDlg dlg;
    ASSERT_EQ(IDOK, dlg.DoModal());
    EXPECT_FALSE(okWhileEmpty);
    EXPECT_STREQ("%movie_year %movie_name", LoadSaveCustomSortScript(CUSTOM_SORT_GET));
    EXPECT_EQ("<none>", app->GetProfileString("sortby", "custom", "<none>"));
    EXPECT_EQ(nullptr, LoadSaveCustomSortScript(CUSTOM_SORT_SAVE));
    EXPECT_EQ("%movie_year %movie_name", app->GetProfileString("sortby", "custom", "<none>"));
    EXPECT_STREQ("", LoadSaveCustomSortScript(CUSTOM_SORT_GET));
}
