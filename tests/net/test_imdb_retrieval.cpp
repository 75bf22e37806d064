// Retrievals over the program's HTTP client from the test site on
// 127.0.0.1 (the searches themselves are the host tests'): pictures checked
// by the system, what the worker shows and asks, and cancelling.
#ifdef _WIN32

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "DialogDriver.h"
#include "core/ErrorBox.h"
#include "core/ImdbInfo.h"
#include "core/StrUtil.h"
#include "net/ImdbRetrieval.h"
#include "resources/resource.h"
#include "test_imdb_site.h"

// Once armed by a thread, the next allocation through operator new made on
// any other thread fails: the retrieval's worker meets a std::bad_alloc.
static std::atomic<DWORD> failOffThread(0);

void* operator new(std::size_t size)
{
    DWORD armer = failOffThread.load();
    if (armer != 0 && GetCurrentThreadId() != armer && failOffThread.compare_exchange_strong(armer, 0))
        throw std::bad_alloc();
    if (void* block = std::malloc(size != 0 ? size : 1))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

namespace {

class ImdbRetrievalTest : public ::testing::Test, protected TestImdbSiteUser {
protected:
    void SetUp() override
    {
        profile.SetInt("update", "askoverwrite", 0);
        errorsBefore = ErrorBoxCount();
    }
    int NewErrorBoxes() const { return ErrorBoxCount() - errorsBefore; }

    ScopedProfile profile{ "ImdbRetrieval" };
    int errorsBefore = 0;
};

} // namespace

TEST_F(ImdbRetrievalTest, PicturesAreCheckedAndTheStartingThreadShowsWhatTheWorkerAsks)
{
    // The system's picture check: a page instead of a picture is refused
    // with a message, a picture too small to be a cover silently.
    CImdbInfo moved, tiny;
    ASSERT_EQ(1, StartGetInfo(&moved, nullptr, At("/Title?0000001").c_str(), true, true));
    ASSERT_EQ(1, StartGetInfo(&tiny, nullptr, At("/Title?0000002").c_str(), true, true));
    EXPECT_EQ(nullptr, tiny.m_retrieval);
    EXPECT_FALSE(moved.HasCover() || tiny.HasCover());
    EXPECT_EQ("Tiny Cover", std::string(tiny.m_title));
    EXPECT_EQ(1, NewErrorBoxes());
    EXPECT_EQ(0u, LastErrorBoxText().find("An HTML page was returned instead of the expected cover image."));
    EXPECT_EQ(0, StartGetInfo(&tiny, nullptr, At("/Title?404").c_str(), false, true));
    EXPECT_EQ(1, NewErrorBoxes());

    // The question is asked on this thread, and its answer rules the rating.
    profile.SetInt("update", "askoverwrite", 1);
    profile.SetInt("update", "overwrite", 0);
    DWORD self = GetCurrentThreadId();
    std::vector<bool> onThisThread;
    DialogDriver driver([&](HWND dialog) {
        if (WindowCaption(dialog) != "Overwrite info ?")
            return;
        onThisThread.push_back(GetWindowThreadProcessId(dialog, nullptr) == self);
        CheckDlgButton(dialog, IDC_OVERWRITE_RATE, BST_CHECKED);
        PostClick(dialog, IDOK);
    });
    CImdbInfo record;
    record.m_rating = 2.0;
    ASSERT_EQ(1, StartGetInfo(&record, nullptr, At("/Title?0090605").c_str(), true, true));
    EXPECT_EQ(std::vector<bool>{ true }, onThisThread);
    EXPECT_DOUBLE_EQ(8.3, record.m_rating);

    std::vector<BYTE> cover;
    EXPECT_FALSE(DownloadCover(At("/Title?404").c_str(), &cover));
    EXPECT_EQ(0u, LastErrorBoxText().find("Unable to download cover image.\r\nError(s) returned:"));
}

TEST_F(ImdbRetrievalTest, CancelEndsARetrievalAtOnceAndChangesNothing)
{
    CImdbInfo record;
    StrSet(&record.m_title, "Kept");
    for (bool fromWindow : { true, false }) {
        TestImdbSite site;
        HWND shown = nullptr;
        // Once the site holds the page back and Cancel can be pressed.
        std::thread canceller([&] {
            DWORD waitStart = GetTickCount();
            for (; shown == nullptr && GetTickCount() - waitStart < 60000; Sleep(10)) {
                HWND window = FindWindowA(nullptr, "Downloading");
                std::vector<std::string> asked = site.Requests();
                if (window == nullptr || asked.empty() || asked.back().find("/hold/") == std::string::npos ||
                    !IsWindowEnabled(GetDlgItem(window, IDCANCEL)))
                    continue;
                shown = window;
                if (fromWindow)
                    PostMessageA(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
                else
                    CancelGetInfo(&record);
            }
        });
        DWORD start = GetTickCount();
        BYTE result = StartGetInfo(&record, nullptr, At("/hold/Title?0090605").c_str(), true, true);
        DWORD took = GetTickCount() - start;
        canceller.join();
        EXPECT_EQ(0, result) << fromWindow;
        EXPECT_LT(took, 10000u) << fromWindow;  // the site holds the page 20 s
        ASSERT_NE(nullptr, shown) << fromWindow;
        EXPECT_FALSE(IsWindow(shown)) << fromWindow;
        EXPECT_EQ(nullptr, record.m_retrieval);
        EXPECT_EQ("Kept", std::string(record.m_title));
        EXPECT_EQ(0, record.m_complete);
    }
    EXPECT_EQ(0, NewErrorBoxes());
    CancelGetInfo(&record);  // nothing runs: nothing happens
}

TEST_F(ImdbRetrievalTest, AWorkerThatFailsSaysSoClosesTheStatusWindowAndChangesNothing)
{
    for (bool showErrors : { true, false }) {
        SCOPED_TRACE(showErrors ? "errors shown" : "quiet");
        errorsBefore = ErrorBoxCount();
        CImdbInfo record;
        StrSet(&record.m_title, "Kept");
        // Should the window stay open, it is cancelled after a minute and the
        // test fails, rather than waiting for ever.
        HANDLE ended = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        bool stayedOpen = false;
        std::thread watchdog([&] {
            if (WaitForSingleObject(ended, 60000) == WAIT_TIMEOUT) {
                stayedOpen = true;
                CancelGetInfo(&record);
            }
        });
        failOffThread = GetCurrentThreadId();
        BYTE result = StartGetInfo(&record, nullptr, At("/Title?0090605").c_str(), showErrors, true);
        SetEvent(ended);
        watchdog.join();
        CloseHandle(ended);
        EXPECT_EQ(0u, failOffThread.load());  // the worker did meet the failure
        failOffThread = 0;
        EXPECT_FALSE(stayedOpen);
        EXPECT_EQ(0, result);
        EXPECT_EQ(nullptr, record.m_retrieval);
        EXPECT_EQ("Kept", std::string(record.m_title));
        EXPECT_EQ(nullptr, FindWindowA(nullptr, "Downloading"));
        // Where errors are shown, the failure is told, not taken for a cancel.
        EXPECT_EQ(showErrors ? 1 : 0, NewErrorBoxes());
        if (showErrors)
            EXPECT_EQ("Out of memory.", LastErrorBoxText());
    }
}

#endif
