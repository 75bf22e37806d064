// The mass update against the test site on 127.0.0.1: the statuses of a
// run, the results dialog on the worker's thread, the title rule, the
// pause, cancelling, the check-box rules and the frame's command.
#include <winsock2.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
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
#include "net/ImdbSite.h"
#include "net/Winsock.h"
#include "resources/resource.h"

namespace {

class WinsockEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(InitWinsock()); }
    void TearDown() override { WSACleanup(); }
};

::testing::Environment* const g_winsock = ::testing::AddGlobalTestEnvironment(new WinsockEnvironment);

std::vector<std::string> Log(HWND dlg)
{
    HWND list = ::GetDlgItem(dlg, IDC_MASS_LOG);
    std::vector<std::string> lines;
    int count = int(::SendMessage(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; i++) {
        char text[256] = {};
        ::SendMessage(list, LB_GETTEXT, i, LPARAM(text));
        lines.push_back(text);
    }
    return lines;
}

std::string LastLine(HWND dlg)
{
    std::vector<std::string> lines = Log(dlg);
    return lines.empty() ? std::string() : lines.back();
}

DWORD AddMovie(const char* title, const char* address = nullptr, bool complete = false)
{
    CMovie movie;
    StrSet(&movie.m_title, title);
    if (address != nullptr) {
        movie.m_imdbInfo.reset(new CImdbInfo);
        StrSet(&movie.m_imdbInfo->m_address, address);
        movie.m_imdbInfo->m_complete = complete;
    }
    return theCollection.AddMovie(&movie, false);
}

// Reads a stored movie.
CMovie* Stored(DWORD id, CMovie* into)
{
    theCollection.ReadMovie(id, [into](const CMovie& movie) { into->CopyFrom(&movie); });
    return into;
}

// Plays the user in the results dialogs the worker opens on its own
// thread: each answer picks a line (or -1 for Cancel) for one dialog.
class ResultsAnswers {
public:
    explicit ResultsAnswers(std::vector<int> answers) : m_answers(std::move(answers)), m_stop(false)
    {
        m_thread = std::thread([this] { Run(); });
    }
    ~ResultsAnswers()
    {
        m_stop = true;
        m_thread.join();
    }
    size_t Answered() const { return m_answered; }

private:
    void Run()
    {
        HWND last = nullptr;
        while (!m_stop && m_answered < m_answers.size()) {
            HWND dlg = ::FindWindowA("#32770", "Multiple results returned");
            if (dlg == nullptr || dlg == last || !::IsWindowVisible(dlg)) {
                ::Sleep(20);
                continue;
            }
            last = dlg;
            int line = m_answers[m_answered++];
            if (line < 0) {
                PostClick(dlg, IDCANCEL);
                continue;
            }
            HWND list = ::GetDlgItem(dlg, IDC_RESULTS_LIST);
            ::SendMessage(list, LB_SETCURSEL, WPARAM(line), 0);
            ::SendMessage(dlg, WM_COMMAND, MAKEWPARAM(IDC_RESULTS_LIST, LBN_SELCHANGE), LPARAM(list));
            PostClick(dlg, IDOK);
        }
    }

    std::vector<int> m_answers;
    std::atomic<size_t> m_answered{ 0 };
    std::atomic<bool> m_stop;
    std::thread m_thread;
};

class MassUpdate : public CollectionTest {
protected:
    void SetUp() override
    {
        CollectionTest::SetUp();
        profile.reset(new ScopedProfile(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        profile->SetInt("update", "askoverwrite", 0);
        profile->SetInt("massimdb", "only", 0);
        SetImdbBaseAddress(TestImdbSite::Base().c_str());
    }
    void TearDown() override
    {
        SetImdbBaseAddress(nullptr);
        profile.reset();
        CollectionTest::TearDown();
    }
    std::string At(const char* path) const { return TestImdbSite::Base() + path; }

    // Opens the dialog, lets prepare set it up, starts a run and hands the
    // dialog to finish once the log ends with "Done!"; the dialog is closed
    // after finish. The log of each run is kept.
    void RunDialog(std::function<void(HWND)> prepare, int runs = 1, std::function<void(HWND, int)> between = nullptr)
    {
        DialogDriver driver([&, prepare, runs, between](HWND dlg) {
            if (WindowCaption(dlg) != "Mass Update IMDb info")
                return;
            if (prepare)
                prepare(dlg);
            PostClick(dlg, IDOK);
            Poll([&, dlg, runs, between, run = 0]() mutable {
                if (LastLine(dlg) != "Done!" || !IsItemEnabled(dlg, IDOK))
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
        result = dlg.DoModal();
    }

    std::unique_ptr<ScopedProfile> profile;
    std::vector<std::vector<std::string>> logs;
    INT_PTR result = 0;
};

} // namespace

TEST_F(MassUpdate, EmptyOrAllFoundRunsEndWithDoneAtOnce)
{
    RunDialog(nullptr);
    ASSERT_EQ(1u, logs.size());
    EXPECT_EQ(std::vector<std::string>{ "Done!" }, logs[0]);

    AddMovie("Alien", At("/Title?0078748").c_str(), true);
    AddMovie("Aliens", At("/Title?0090605").c_str(), true);
    profile->SetInt("massimdb", "only", 1);
    TestImdbSite site;
    RunDialog(nullptr);
    ASSERT_EQ(2u, logs.size());
    EXPECT_EQ(std::vector<std::string>{ "Done!" }, logs[1]);
    EXPECT_TRUE(site.Requests().empty());
}

TEST_F(MassUpdate, EachMovieGetsItsStatusAndOnlySuccessesKeepANewRecord)
{
    DWORD nameless = AddMovie("");
    DWORD star = AddMovie("Star");
    AddMovie("Unknown");
    DWORD bad = AddMovie("Bad", At("/Title?404").c_str());
    AddMovie("Nothing at all");
    DWORD alien = AddMovie("Alien");
    DWORD start = ::GetTickCount();
    RunDialog(nullptr);
    DWORD took = ::GetTickCount() - start;
    ASSERT_EQ(1u, logs.size());
    std::vector<std::string> expected = {
        "The movie had no name - ",        "More than one result returned - Star",
        "Unable to perform search - Unknown", "Invalid IMDb address - Bad",
        "More than one result returned - Nothing at all", "OK - Alien", "Done!",
    };
    EXPECT_EQ(expected, logs[0]);
    // No pause after a failure, nor after the last movie.
    EXPECT_LT(took, 5000u);

    CMovie movie;
    EXPECT_EQ(nullptr, Stored(nameless, &movie)->m_imdbInfo);
    EXPECT_EQ(nullptr, Stored(star, &movie)->m_imdbInfo);
    ASSERT_NE(nullptr, Stored(bad, &movie)->m_imdbInfo);
    EXPECT_EQ(At("/Title?404"), movie.m_imdbInfo->m_address);
    ASSERT_NE(nullptr, Stored(alien, &movie)->m_imdbInfo);
    EXPECT_EQ(1, movie.m_imdbInfo->m_complete);
    EXPECT_STREQ("Ridley Scott", movie.m_imdbInfo->m_director);
}

TEST_F(MassUpdate, ResultListsGoToTheUserWhenTheRunShowsThem)
{
    profile->SetInt("massimdb", "show", 1);
    AddMovie("Nothing at all");
    AddMovie("Star");
    DWORD picked = AddMovie("Star");
    ResultsAnswers answers({ -1, 0 });
    RunDialog(nullptr);
    EXPECT_EQ(2u, answers.Answered());
    ASSERT_EQ(1u, logs.size());
    std::vector<std::string> expected = { "No results returned - Nothing at all", "No good result returned - Star",
                                          "OK - Star Wars", "Done!" };
    EXPECT_EQ(expected, logs[0]);
    CMovie movie;
    EXPECT_STREQ("Star Wars", Stored(picked, &movie)->m_title);
    EXPECT_EQ(121u, movie.m_imdbInfo->m_runtime);
}

TEST_F(MassUpdate, StoredAddressesAndTheTitleRule)
{
    profile->SetInt("update", "dont_update_title", 1);
    DWORD id = AddMovie("My Alien", At("/Title?0078748").c_str(), true);
    TestImdbSite site;
    RunDialog(nullptr, 3, [&](HWND dlg, int run) {
        if (run == 1)
            profile->SetInt("update", "dont_update_title", 0);
        else
            PostClick(dlg, IDC_MASS_FORGET);  // search by the title instead
    });
    ASSERT_EQ(3u, logs.size());
    EXPECT_EQ((std::vector<std::string>{ "OK - My Alien", "Done!" }), logs[0]);
    EXPECT_EQ((std::vector<std::string>{ "OK - Alien", "Done!" }), logs[1]);
    EXPECT_EQ((std::vector<std::string>{ "OK - Alien", "Done!" }), logs[2]);
    std::vector<std::string> requests = site.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ("GET /Title?0078748", requests[0]);
    EXPECT_EQ(1, std::count(requests.begin(), requests.end(), "GET /Tsearch?type=fuzzy&title=Alien"));
    CMovie movie;
    Stored(id, &movie);
    EXPECT_STREQ("Alien", movie.m_title);
    EXPECT_STREQ("Alien", movie.m_imdbInfo->m_title);
    EXPECT_EQ(At("/Title?0078748"), movie.m_imdbInfo->m_address);
    EXPECT_EQ(1, profile->GetInt("massimdb", "forget", 0));
}

TEST_F(MassUpdate, CancelEndsThePauseAndAHeldAnswerAtOnce)
{
    AddMovie("Alien");
    DWORD second = AddMovie("Held", At("/hold/Title?0090605").c_str());
    TestImdbSite site;
    std::vector<std::string> pauseLog, heldLog;
    DWORD pauseStop = 0, heldStop = 0;
    bool startAgain = false, closed = false;
    DialogDriver driver([&](HWND dlg) {
        if (WindowCaption(dlg) != "Mass Update IMDb info")
            return;
        PostClick(dlg, IDOK);
        Poll([&, dlg] {
            if (::SendDlgItemMessage(dlg, IDC_MASS_WAIT, PBM_GETPOS, 0, 0) == 0)
                return false;
            DWORD start = ::GetTickCount();
            ::SendMessage(dlg, WM_COMMAND, IDCANCEL, 0);
            pauseStop = ::GetTickCount() - start;
            pauseLog = Log(dlg);
            startAgain = IsItemEnabled(dlg, IDOK) && ItemText(dlg, IDCANCEL) == "Close";
            // Again, now with the first movie done: the held page is next.
            theCollection.RemoveMovie(theCollection.GetNextIdOfMovie(NO_ID));
            PostClick(dlg, IDOK);
            Poll([&, dlg] {
                std::vector<std::string> requests = site.Requests();
                if (requests.empty() || requests.back().find("/hold/") == std::string::npos)
                    return false;
                DWORD at = ::GetTickCount();
                ::SendMessage(dlg, WM_COMMAND, IDCANCEL, 0);
                heldStop = ::GetTickCount() - at;
                heldLog = Log(dlg);
                closed = true;
                PostClick(dlg, IDCANCEL);  // the second Cancel closes
                return true;
            });
            return true;
        });
    });
    CMassUpdateImdbDlg dlg;
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_LT(pauseStop, 2000u);
    EXPECT_EQ((std::vector<std::string>{ "OK - Alien", "Cancel!" }), pauseLog);
    EXPECT_TRUE(startAgain);
    ASSERT_TRUE(closed);
    EXPECT_LT(heldStop, 5000u);
    EXPECT_EQ((std::vector<std::string>{ "Cancel!" }), heldLog);
    CMovie movie;
    Stored(second, &movie);
    EXPECT_STREQ("Held", movie.m_title);
    EXPECT_EQ(0, movie.m_imdbInfo->m_complete);
    EXPECT_EQ(At("/hold/Title?0090605"), movie.m_imdbInfo->m_address);
}

TEST_F(MassUpdate, CheckBoxesFollowTheQuestionAndOnlyIfEmpty)
{
    profile->SetInt("update", "askoverwrite", 1);
    profile->SetInt("update", "overwrite", 65);
    struct State {
        bool ask, onlyEmpty, rate, comment;
    };
    std::vector<State> states;
    auto read = [&](HWND dlg) {
        states.push_back({ IsItemEnabled(dlg, IDC_MASS_ASK) && IsItemChecked(dlg, IDC_MASS_ASK),
                           IsItemEnabled(dlg, IDC_MASS_ONLY_EMPTY), IsItemEnabled(dlg, IDC_MASS_RATE),
                           IsItemEnabled(dlg, IDC_MASS_COMMENT) });
    };
    bool closeLabel = false, lockedAfterRun = false;
    DialogDriver driver([&](HWND dlg) {
        closeLabel = ItemText(dlg, IDCANCEL) == "Close";
        read(dlg);
        PostClick(dlg, IDC_MASS_ASK);
        Later([&, dlg] {
            read(dlg);
            PostClick(dlg, IDC_MASS_ONLY_EMPTY);
            Later([&, dlg] {
                read(dlg);
                PostClick(dlg, IDC_MASS_RATE);
                PostClick(dlg, IDC_MASS_SHOW);
                PostClick(dlg, IDOK);
                Poll([&, dlg] {
                    if (LastLine(dlg) != "Done!")
                        return false;
                    lockedAfterRun = !IsItemEnabled(dlg, IDC_MASS_ASK) && !IsItemEnabled(dlg, IDC_MASS_RATE) &&
                                     IsItemEnabled(dlg, IDC_MASS_SHOW) && IsItemEnabled(dlg, IDOK);
                    PostClick(dlg, IDCANCEL);
                    return true;
                });
            });
        });
    });
    CMassUpdateImdbDlg dlg;
    dlg.DoModal();
    EXPECT_TRUE(closeLabel);
    ASSERT_EQ(3u, states.size());
    EXPECT_TRUE(states[0].ask);
    EXPECT_FALSE(states[0].onlyEmpty || states[0].rate || states[0].comment);
    EXPECT_FALSE(states[1].ask);
    EXPECT_TRUE(states[1].onlyEmpty);
    EXPECT_FALSE(states[1].rate || states[1].comment);
    EXPECT_TRUE(states[2].onlyEmpty && states[2].rate && states[2].comment);
    EXPECT_TRUE(lockedAfterRun);
    EXPECT_EQ(0, profile->GetInt("update", "askoverwrite", -1));
    EXPECT_EQ(80, profile->GetInt("update", "overwrite", -1));
    EXPECT_EQ(1, profile->GetInt("massimdb", "show", -1));
    EXPECT_EQ(0, profile->GetInt("massimdb", "only", -1));
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
