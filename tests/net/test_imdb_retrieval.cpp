// Retrievals over the program's HTTP client from the test site on
// 127.0.0.1: the requests a search makes, what a title page brings, cover
// rules, failures, the overwrite question and cancelling.
#ifdef _WIN32

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "DialogDriver.h"
#include "core/ErrorBox.h"
#include "core/ImdbInfo.h"
#include "core/StrUtil.h"
#include "net/ImdbRetrieval.h"
#include "net/ImdbSite.h"
#include "resources/resource.h"
#include "test_imdb_site.h"

namespace {

std::string Str(const char* text)
{
    return text != nullptr ? text : "(null)";
}

class ImdbRetrievalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        profile.reset(new ScopedProfile(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        profile->SetInt("update", "askoverwrite", 0);
        SetImdbBaseAddress(TestImdbSite::Base().c_str());
        errorsBefore = ErrorBoxCount();
    }
    void TearDown() override
    {
        SetImdbBaseAddress(nullptr);
        profile.reset();
    }
    int NewErrorBoxes() const { return ErrorBoxCount() - errorsBefore; }
    std::string At(const char* path) const { return TestImdbSite::Base() + path; }

    std::unique_ptr<ScopedProfile> profile;
    int errorsBefore = 0;
};

// The download window of this process, once it shows.
HWND FindDownloadWindow()
{
    return FindWindowA(nullptr, "Downloading");
}

// Runs action on another thread once the site has been asked for the held
// page and the download window's Cancel is enabled.
std::thread WhenHeld(const TestImdbSite& site, std::function<void(HWND)> action)
{
    return std::thread([&site, action] {
        for (int i = 0; i < 500; i++) {
            HWND window = FindDownloadWindow();
            std::vector<std::string> requests = site.Requests();
            if (window != nullptr && !requests.empty() && requests.back().find("/hold/") != std::string::npos &&
                IsWindowEnabled(GetDlgItem(window, IDCANCEL))) {
                action(window);
                return;
            }
            Sleep(10);
        }
    });
}

} // namespace

TEST_F(ImdbRetrievalTest, SearchesMakeTheirRequestsAndReadTheMoviePages)
{
    TestImdbSite site;
    CImdbInfo record;
    ASSERT_EQ(1, StartGetInfo(&record, nullptr, "Alien", true, false));
    EXPECT_EQ(nullptr, record.m_retrieval);
    EXPECT_EQ(1, record.m_complete);
    EXPECT_EQ("Alien", Str(record.m_title));
    EXPECT_EQ(1979, record.m_year);
    EXPECT_EQ("In space no one can hear you scream.\r\nThe perfect organism.", Str(record.m_tagline));
    EXPECT_EQ(0u, Str(record.m_plot).find("A commercial towing ship"));
    ASSERT_EQ(4u, record.m_cast.size());
    EXPECT_EQ(COVER_SIZE_LARGE, record.m_coverSizeClass);
    EXPECT_EQ("jpg", Str(record.m_coverType));
    std::vector<std::string> expected = {
        "GET /Tsearch?type=fuzzy&title=Alien", "GET /Taglines?0078748", "GET /Plot?0078748",
        "GET /Credits?0078748", "GET /covers/cover_300x475.jpg",
    };
    EXPECT_EQ(expected, site.Requests());

    // Both searches list one movie: its page is read.
    TestImdbSite again;
    CImdbInfo aliens;
    ASSERT_EQ(1, StartGetInfo(&aliens, nullptr, "Aliens", true, false));
    EXPECT_EQ("Aliens", Str(aliens.m_title));
    expected = { "GET /Tsearch?type=fuzzy&title=Aliens", "POST /Find select=Titles&Go.x=1&Go.y=16&for=Aliens",
                 "GET /Title?0090605", "GET /covers/cover_93x130.gif" };
    EXPECT_EQ(expected, again.Requests());

    // Several hits go back; a list that leads to itself ends with its hit.
    CImdbInfo star;
    StrSet(&star.m_title, "Star");
    ASSERT_EQ(1, StartGetInfo(&star, nullptr, "Star", true, false));
    EXPECT_EQ(0, star.m_complete);
    EXPECT_EQ(5u, star.m_hits.size());
    CImdbInfo loop;
    ASSERT_EQ(1, StartGetInfo(&loop, nullptr, "Loop", true, false));
    EXPECT_EQ(1u, loop.m_hits.size());
    EXPECT_EQ(0, NewErrorBoxes());
}

TEST_F(ImdbRetrievalTest, CoversFollowTheSettingsAndOnlyPicturesAreKept)
{
    profile->SetInt("update", "force_small_cover", 1);
    CImdbInfo record;
    ASSERT_EQ(1, StartGetInfo(&record, nullptr, At("/Title?0078748").c_str(), true, true));
    EXPECT_EQ(COVER_SIZE_SMALL, record.m_coverSizeClass);
    EXPECT_EQ("gif", Str(record.m_coverType));

    // The user's own cover stays.
    profile->SetInt("update", "force_small_cover", 0);
    profile->SetInt("update", "no_new_cover", 1);
    record.m_coverSizeClass = COVER_SIZE_UNKNOWN;
    std::vector<BYTE> own = record.m_cover;
    TestImdbSite site;
    ASSERT_EQ(1, StartGetInfo(&record, nullptr, At("/Title?0078748").c_str(), true, true));
    EXPECT_EQ(own, record.m_cover);
    for (const std::string& request : site.Requests())
        EXPECT_EQ(std::string::npos, request.find("/covers/")) << request;

    // A page instead of a picture is refused with a message; a picture
    // too small to be a cover silently.
    CImdbInfo moved;
    ASSERT_EQ(1, StartGetInfo(&moved, nullptr, At("/Title?0000001").c_str(), true, true));
    EXPECT_FALSE(moved.HasCover());
    EXPECT_EQ(1, NewErrorBoxes());
    EXPECT_EQ("An HTML page was returned instead of the expected cover image.\r\nurl:" + At("/covers/moved.jpg"),
              LastErrorBoxText());
    CImdbInfo tiny;
    ASSERT_EQ(1, StartGetInfo(&tiny, nullptr, At("/Title?0000002").c_str(), true, true));
    EXPECT_FALSE(tiny.HasCover());
    EXPECT_EQ("Tiny Cover", Str(tiny.m_title));
    EXPECT_EQ(1, NewErrorBoxes());

    std::vector<BYTE> cover;
    ASSERT_TRUE(DownloadCover(At("/Title?0078748").c_str(), &cover));
    EXPECT_EQ('G', cover.at(0));
    EXPECT_FALSE(DownloadCover(At("/Title?404").c_str(), &cover));
    EXPECT_EQ(0u, LastErrorBoxText().find("Unable to download cover image.\r\nError(s) returned:"));
}

TEST_F(ImdbRetrievalTest, FailuresAndTheQuestionAreShownByTheStartingThread)
{
    CImdbInfo record;
    StrSet(&record.m_title, "Kept");
    EXPECT_EQ(0, StartGetInfo(&record, nullptr, At("/Title?404").c_str(), false, true));
    EXPECT_EQ(0, NewErrorBoxes());
    EXPECT_EQ(0, StartGetInfo(&record, nullptr, At("/Title?404").c_str(), true, true));
    EXPECT_EQ(1, NewErrorBoxes());
    EXPECT_EQ(0u, LastErrorBoxText().find("Unable to retrieve site.\r\nError(s) returned:\r\n"));
    EXPECT_EQ("Kept", Str(record.m_title));

    profile->SetInt("update", "askoverwrite", 1);
    profile->SetInt("update", "overwrite", 0);
    DWORD self = GetCurrentThreadId();
    int questions = 0;
    bool onThisThread = false;
    DialogDriver driver([&](HWND dialog) {
        if (WindowCaption(dialog) != "Overwrite info ?")
            return;
        questions++;
        onThisThread = GetWindowThreadProcessId(dialog, nullptr) == self;
        CheckDlgButton(dialog, IDC_OVERWRITE_RATE, BST_CHECKED);
        PostClick(dialog, IDOK);
    });
    record.m_rating = 2.0;
    ASSERT_EQ(1, StartGetInfo(&record, nullptr, At("/Title?0090605").c_str(), true, true));
    EXPECT_EQ(1, questions);
    EXPECT_TRUE(onThisThread);
    EXPECT_DOUBLE_EQ(8.3, record.m_rating);
    EXPECT_EQ(16, profile->GetInt("update", "overwrite", 0));
}

TEST_F(ImdbRetrievalTest, CancelEndsARetrievalAtOnceAndChangesNothing)
{
    CImdbInfo record;
    StrSet(&record.m_title, "Kept");
    record.m_year = 1990;
    for (bool fromWindow : { true, false }) {
        TestImdbSite site;
        HWND shown = nullptr;
        std::thread canceller = WhenHeld(site, [&](HWND window) {
            shown = window;
            if (fromWindow)
                PostMessageA(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
            else
                CancelGetInfo(&record);
        });
        DWORD start = GetTickCount();
        BYTE result = StartGetInfo(&record, nullptr, At("/hold/Title?0090605").c_str(), true, true);
        DWORD took = GetTickCount() - start;
        canceller.join();
        EXPECT_EQ(0, result) << fromWindow;
        EXPECT_LT(took, 5000u) << fromWindow;
        ASSERT_NE(nullptr, shown) << fromWindow;
        EXPECT_FALSE(IsWindow(shown)) << fromWindow;
        EXPECT_EQ(nullptr, record.m_retrieval);
        EXPECT_EQ("Kept", Str(record.m_title));
        EXPECT_EQ(1990, record.m_year);
        EXPECT_EQ(0, record.m_complete);
    }
    EXPECT_EQ(0, NewErrorBoxes());
    // Cancelling when nothing runs does nothing.
    CancelGetInfo(&record);
    CancelGetInfo(nullptr);
}

#endif
