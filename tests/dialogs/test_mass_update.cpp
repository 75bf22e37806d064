// The mass update against the test site on 127.0.0.1: the statuses of a
// run, the results dialog on the worker's thread, the title rule, the
// pause, cancelling, the check-box rules and the frame's command.
#include <winsock2.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "../app/ProgramRun.h"
#include "../net/test_imdb_site.h"
#include "DialogDriver.h"
#include "core/ImdbInfo.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "dialogs/MassUpdateImdbDlg.h"
#include "resources/resource.h"

namespace {

std::vector<std::string> Log(HWND dlg)
{
    HWND list = ::GetDlgItem(dlg, IDC_MASS_LOG);
    std::vector<std::string> lines(size_t(::SendMessage(list, LB_GETCOUNT, 0, 0)));
    for (size_t i = 0; i < lines.size(); i++) {
        char text[256] = {};
        ::SendMessage(list, LB_GETTEXT, i, LPARAM(text));
        lines[i] = text;
    }
    return lines;
}

// A run has ended once the log says so and Cancel reads "Close" again.
bool RunEnded(HWND dlg)
{
    std::vector<std::string> lines = Log(dlg);
    return !lines.empty() && lines.back() == "Done!" && ItemText(dlg, IDCANCEL) == "Close";
}

DWORD AddMovie(const char* title, const std::string& address = std::string(), bool complete = false)
{
    CMovie movie;
    StrSet(&movie.m_title, title);
    if (!address.empty()) {
        movie.m_imdbInfo.reset(new CImdbInfo);
        StrSet(&movie.m_imdbInfo->m_address, address.c_str());
        movie.m_imdbInfo->m_complete = complete;
    }
    return theCollection.AddMovie(&movie, false);
}

std::unique_ptr<CMovie> Stored(DWORD id)
{
    std::unique_ptr<CMovie> copy(new CMovie);
    theCollection.ReadMovie(id, [&copy](const CMovie& movie) { copy->CopyFrom(&movie); });
    return copy;
}

class MassUpdate : public CollectionTest, protected TestImdbSiteUser {
protected:
    void SetUp() override
    {
        CollectionTest::SetUp();
        profile.SetInt("update", "askoverwrite", 0);
        profile.SetInt("massimdb", "only", 0);
    }

    // Starts runs of the dialog, keeps the log of each and closes it after
    // the last; between(dlg, run) may change things before the next.
    void RunDialog(int runs = 1, std::function<void(HWND, int)> between = nullptr)
    {
        DialogDriver driver([&, runs, between](HWND dlg) {
            PostClick(dlg, IDOK);
            Poll([&, dlg, runs, between, run = 0]() mutable {
                if (!RunEnded(dlg))
                    return false;
                logs.push_back(Log(dlg));
                if (++run == runs) {
                    PostClick(dlg, IDCANCEL);
                    return true;
                }
                if (between)
                    between(dlg, run);
                PostClick(dlg, IDOK);
                return false;
            });
        });
        CMassUpdateImdbDlg dlg;
        dlg.DoModal();
    }

    ScopedProfile profile{ "MassUpdate" };
    std::vector<std::vector<std::string>> logs;
};

} // namespace

TEST_F(MassUpdate, EachMovieGetsItsStatusAndOnlySuccessesKeepANewRecord)
{
    DWORD nameless = AddMovie("");
    DWORD star = AddMovie("Star");
    AddMovie("Unknown");
    DWORD bad = AddMovie("Bad", At("/Title?404"));
    AddMovie("Nothing at all");
    DWORD alien = AddMovie("Alien");
    DWORD start = ::GetTickCount();
    RunDialog();
    // A pause takes ten seconds: none after a failure, nor after the last.
    EXPECT_LT(::GetTickCount() - start, 10000u);
    EXPECT_EQ((std::vector<std::vector<std::string>>{
                  { "The movie had no name - ", "More than one result returned - Star",
                    "Unable to perform search - Unknown", "Invalid IMDb address - Bad",
                    "More than one result returned - Nothing at all", "OK - Alien", "Done!" } }),
              logs);
    EXPECT_EQ(nullptr, Stored(nameless)->m_imdbInfo);
    EXPECT_EQ(nullptr, Stored(star)->m_imdbInfo);
    EXPECT_STREQ(At("/Title?404").c_str(), Stored(bad)->m_imdbInfo->m_address);
    EXPECT_STREQ("Ridley Scott", Stored(alien)->m_imdbInfo->m_director);
}

TEST_F(MassUpdate, ResultListsGoToTheUserWhenTheRunShowsThem)
{
    profile.SetInt("massimdb", "show", 1);
    AddMovie("Nothing at all");
    AddMovie("Star");
    DWORD picked = AddMovie("Star");
    // The worker's results dialogs: Cancel the first, pick the first hit of
    // the second.
    std::atomic<int> answered{ 0 };
    std::thread user([&] {
        HWND last = nullptr;
        DWORD start = ::GetTickCount();
        for (; answered < 2 && ::GetTickCount() - start < 60000; ::Sleep(10)) {
            HWND dlg = ::FindWindowA("#32770", "Multiple results returned");
            if (dlg == nullptr || dlg == last || !::IsWindowVisible(dlg))
                continue;
            last = dlg;
            if (answered++ == 0) {
                PostClick(dlg, IDCANCEL);
                continue;
            }
            HWND list = ::GetDlgItem(dlg, IDC_RESULTS_LIST);
            ::SendMessage(list, LB_SETCURSEL, 0, 0);
            ::SendMessage(dlg, WM_COMMAND, MAKEWPARAM(IDC_RESULTS_LIST, LBN_SELCHANGE), LPARAM(list));
            PostClick(dlg, IDOK);
        }
    });
    RunDialog();
    user.join();
    EXPECT_EQ(2, answered);
    EXPECT_EQ((std::vector<std::vector<std::string>>{ { "No results returned - Nothing at all",
                                                        "No good result returned - Star", "OK - Star Wars",
                                                        "Done!" } }),
              logs);
    EXPECT_STREQ("Star Wars", Stored(picked)->m_title);
}

TEST_F(MassUpdate, StoredAddressesAndTheTitleRule)
{
    profile.SetInt("update", "dont_update_title", 1);
    DWORD id = AddMovie("My Alien", At("/Title?0078748"), true);
    TestImdbSite site;
    RunDialog(3, [&](HWND dlg, int run) {
        if (run == 1)
            profile.SetInt("update", "dont_update_title", 0);
        else
            PostClick(dlg, IDC_MASS_FORGET);  // search by the title instead
    });
    EXPECT_EQ((std::vector<std::vector<std::string>>{
                  { "OK - My Alien", "Done!" }, { "OK - Alien", "Done!" }, { "OK - Alien", "Done!" } }),
              logs);
    std::vector<std::string> requests = site.Requests();
    EXPECT_EQ("GET /Title?0078748", requests.at(0));
    EXPECT_EQ(1, std::count(requests.begin(), requests.end(), "GET /Tsearch?type=fuzzy&title=Alien"));
    std::unique_ptr<CMovie> movie = Stored(id);
    EXPECT_STREQ("Alien", movie->m_title);
    EXPECT_STREQ("Alien", movie->m_imdbInfo->m_title);
    EXPECT_EQ(1, profile.GetInt("massimdb", "forget", 0));
}

TEST_F(MassUpdate, CancelEndsThePauseAndAHeldAnswerAtOnce)
{
    AddMovie("Alien");
    DWORD held = AddMovie("Held", At("/hold/Title?0090605"));
    TestImdbSite site;
    std::vector<std::string> pauseLog, heldLog;
    DWORD pauseStop = 0, heldStop = 0;
    bool startAgain = false;
    // Cancel is sent as the user's click would send it, and timed.
    auto cancel = [](HWND dlg) {
        DWORD start = ::GetTickCount();
        ::SendMessage(dlg, WM_COMMAND, IDCANCEL, 0);
        return ::GetTickCount() - start;
    };
    DialogDriver driver([&](HWND dlg) {
        PostClick(dlg, IDOK);
        Poll([&, dlg] {
            if (::SendDlgItemMessage(dlg, IDC_MASS_WAIT, PBM_GETPOS, 0, 0) == 0)
                return false;
            pauseStop = cancel(dlg);
            pauseLog = Log(dlg);
            startAgain = IsItemEnabled(dlg, IDOK) && ItemText(dlg, IDCANCEL) == "Close";
            // Again without the first movie: the held page is next.
            theCollection.RemoveMovie(theCollection.GetNextIdOfMovie(NO_ID));
            PostClick(dlg, IDOK);
            Poll([&, dlg] {
                std::vector<std::string> requests = site.Requests();
                if (requests.empty() || requests.back().find("/hold/") == std::string::npos)
                    return false;
                heldStop = cancel(dlg);
                heldLog = Log(dlg);
                PostClick(dlg, IDCANCEL);  // the second Cancel closes
                return true;
            });
            return true;
        });
    });
    CMassUpdateImdbDlg dlg;
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_LT(pauseStop, 5000u);  // well before the ten-second pause would end
    EXPECT_EQ((std::vector<std::string>{ "OK - Alien", "Cancel!" }), pauseLog);
    EXPECT_TRUE(startAgain);
    EXPECT_LT(heldStop, 10000u);  // the site holds the page 20 s
    EXPECT_EQ(std::vector<std::string>{ "Cancel!" }, heldLog);
    std::unique_ptr<CMovie> movie = Stored(held);
    EXPECT_STREQ("Held", movie->m_title);
    EXPECT_EQ(0, movie->m_imdbInfo->m_complete);
}

TEST_F(MassUpdate, CheckBoxesFollowTheQuestionAndOnlyIfEmptyAndFoundMoviesAreSkipped)
{
    AddMovie("Alien", At("/Title?0078748"), true);
    profile.SetInt("massimdb", "only", 1);
    TestImdbSite site;
    profile.SetInt("update", "askoverwrite", 1);
    profile.SetInt("update", "overwrite", 65);
    // Enabled "ask", "only if empty", "rate", "comment" at each step, then
    // whether the run's end leaves the overwrite boxes locked.
    std::vector<std::string> states;
    auto read = [&states](HWND dlg) {
        std::string state;
        for (int id : { IDC_MASS_ASK, IDC_MASS_ONLY_EMPTY, IDC_MASS_RATE, IDC_MASS_COMMENT })
            state += IsItemEnabled(dlg, id) ? "1" : "0";
        states.push_back(state + (IsItemChecked(dlg, IDC_MASS_ASK) ? " asked" : ""));
    };
    DialogDriver driver([&](HWND dlg) {
        read(dlg);
        PostClick(dlg, IDC_MASS_ASK);
        Later([&, dlg] { read(dlg); PostClick(dlg, IDC_MASS_ONLY_EMPTY); });
        Later([&, dlg] {
            read(dlg);
            PostClick(dlg, IDC_MASS_RATE);
            PostClick(dlg, IDC_MASS_SHOW);
            PostClick(dlg, IDOK);
            Poll([&, dlg] {
                if (!RunEnded(dlg))
                    return false;
                read(dlg);
                logs.push_back(Log(dlg));
                PostClick(dlg, IDCANCEL);
                return true;
            });
        });
    });
    CMassUpdateImdbDlg dlg;
    dlg.DoModal();
    EXPECT_EQ((std::vector<std::string>{ "1000 asked", "1100", "1111", "0000" }), states);
    EXPECT_EQ(std::vector<std::vector<std::string>>{ { "Done!" } }, logs);
    EXPECT_TRUE(site.Requests().empty());
    EXPECT_EQ(0, profile.GetInt("update", "askoverwrite", -1));
    EXPECT_EQ(80, profile.GetInt("update", "overwrite", -1));
    EXPECT_EQ(1, profile.GetInt("massimdb", "show", -1));
}

namespace {

std::atomic<DWORD> g_pauseAsked{ 0 };

void NotePause(DWORD ms)
{
    g_pauseAsked += ms;
}

} // namespace

TEST_F(MassUpdate, TenSecondsArePausedAfterEachSuccessButTheLast)
{
    // The worker's pause is noted instead of slept. A nameless movie fails
    // at once, "Alien" is found: a pause after the first movie, none after
    // the failure nor after the last.
    struct {
        std::vector<const char*> titles;
        DWORD asked;
    } runs[] = { { { "Alien", "", "Alien" }, 10000 }, { { "Alien", "" }, 10000 } };
    struct Noted {
        Noted() { SetMassUpdateSleep(NotePause); }
        ~Noted() { SetMassUpdateSleep(nullptr); }
    } noted;
    for (const auto& run : runs) {
        theCollection.Clear();
        for (const char* title : run.titles)
            AddMovie(title);
        g_pauseAsked = 0;
        logs.clear();
        RunDialog();
        ASSERT_EQ(1u, logs.size());
        SCOPED_TRACE(::testing::PrintToString(logs[0]));
        EXPECT_EQ(std::count(run.titles.begin(), run.titles.end(), std::string("Alien")),
                  std::count(logs[0].begin(), logs[0].end(), "OK - Alien"));
        EXPECT_EQ(run.asked, g_pauseAsked.load());
    }
}

TEST(MassUpdateCommand, TheFrameWritesTheCrashCopyBeforeTheDialog)
{
    CProgramRun run("mass-update");
    ASSERT_NE(nullptr, run.StartToMainWindow());
    ASSERT_FALSE(FileExists(run.PathOf("saved.bak")));
    run.PostCommand(ID_MASS_UPDATE_IMDB);
    HWND dialog = run.WaitDialog("Mass Update IMDb info");
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(FileExists(run.PathOf("saved.bak")));
    CProgramRun::Press(dialog, IDCANCEL);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
}

// Shown for screenshots only: the dialog after a run over four movies, or
// before it when SHOWCASE is set.
TEST_F(MassUpdate, DISABLED_Showcase)
{
    for (const char* title : { "", "Star", "Bad", "Alien" })
        AddMovie(title, *title == 'B' ? At("/Title?404") : std::string());
    DialogDriver driver([&](HWND dlg) {
        if (getenv("SHOWCASE") == nullptr)
            PostClick(dlg, IDOK);
    });
    CMassUpdateImdbDlg dlg;
    dlg.DoModal();
}
