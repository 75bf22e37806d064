// The search dialog with its worker: settings, results and the empty
// result, keeping one kind checked, and stopping a long search at once.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/SmallBlockHeap.h"
#include "core/StrUtil.h"
#include "dialogs/SearchDlg.h"
#include "resources/resource.h"

namespace {

std::vector<std::string> Lines(HWND dlg)
{
    HWND list = ::GetDlgItem(dlg, IDC_SEARCH_RESULTS);
    std::vector<std::string> lines;
    int count = int(::SendMessage(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; i++) {
        char text[256] = {};
        ::SendMessage(list, LB_GETTEXT, i, LPARAM(text));
        lines.push_back(text);
    }
    return lines;
}

void AddMovies(const std::vector<const char*>& titles)
{
    for (const char* title : titles) {
        CMovie movie;
        StrSet(&movie.m_title, title);
        theCollection.AddMovie(&movie, false);
    }
}

typedef CollectionTest SearchDialog;

// Watches, after each message the dialog's thread handles, that the buttons
// say a search is over only once the search itself is: a Close clicked in
// between would be taken for stopping it and leave the dialog open.
CSearchDlg* g_watched = nullptr;
bool g_overTooEarly = false;

LRESULT CALLBACK WatchSearchState(int code, WPARAM wParam, LPARAM lParam)
{
    if (g_watched != nullptr && ::IsWindow(g_watched->m_hWnd) &&
        ::IsWindowEnabled(::GetDlgItem(g_watched->m_hWnd, IDOK)) && g_watched->IsSearching())
        g_overTooEarly = true;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

TEST_F(SearchDialog, SearchesInBothModesAndKeepsItsSettings)
{
    ScopedProfile profile("SearchModes");
    AddMovies({ "Alien", "Aliens", "Queen of the Damned", "The Alien Queen", "Brazil" });
    std::vector<std::vector<std::string>> results;
    bool filesCheckedBack = false;
    std::string initialText = "x";
    DialogDriver driver([&](HWND dlg) {
        initialText = ItemText(dlg, IDC_SEARCH_TEXT);
        // Unchecking the only kind checks the other.
        PostClick(dlg, IDC_SEARCH_MOVIES);
        Poll([&, dlg] {
            filesCheckedBack = IsItemChecked(dlg, IDC_SEARCH_FILES);
            PostClick(dlg, IDC_SEARCH_MOVIES);
            PostClick(dlg, IDC_SEARCH_FILES);
            SetItemText(dlg, IDC_SEARCH_TEXT, "alien queen");
            PostClick(dlg, IDOK);
            Poll([&, dlg, step = 0]() mutable {
                if (!IsItemEnabled(dlg, IDOK))
                    return false;
                results.push_back(Lines(dlg));
                if (step == 0)
                    PostClick(dlg, IDC_SEARCH_EXACT);
                else if (step == 1)
                    SetItemText(dlg, IDC_SEARCH_TEXT, "zardoz");
                else {
                    PostClick(dlg, IDCANCEL);
                    return true;
                }
                step++;
                PostClick(dlg, IDOK);
                return false;
            });
            return true;
        });
    });
    CSearchDlg dlg;
    g_watched = &dlg;
    g_overTooEarly = false;
    HHOOK hook = ::SetWindowsHookExA(WH_CALLWNDPROCRET, WatchSearchState, nullptr, ::GetCurrentThreadId());
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    ::UnhookWindowsHookEx(hook);
    g_watched = nullptr;
    EXPECT_FALSE(g_overTooEarly);
    EXPECT_EQ("", initialText);
    EXPECT_TRUE(filesCheckedBack);
    ASSERT_EQ(3u, results.size());
    EXPECT_EQ((std::vector<std::string>{ "[Movie] Alien", "[Movie] Aliens", "[Movie] Queen of the Damned",
                                         "[Movie] The Alien Queen" }),
              results[0]);
    EXPECT_EQ((std::vector<std::string>{ "[Movie] The Alien Queen" }), results[1]);
    EXPECT_EQ((std::vector<std::string>{ "[couldn't find anything]" }), results[2]);
    EXPECT_EQ(1, profile.GetInt("search", "exact", -1));
    EXPECT_EQ(0, profile.GetInt("search", "files", -1));
    EXPECT_EQ(1, profile.GetInt("search", "movies", -1));
}

TEST_F(SearchDialog, CancelAndTheCloseBoxStopALongSearchAndJoinTheWorker)
{
    ScopedProfile profile("SearchCancel");
    for (int i = 0; i < 100000; i++) {
        CMovie movie;
        char title[32];
        std::snprintf(title, sizeof title, "Movie %d", i);
        StrSet(&movie.m_title, title);
        theCollection.AddMovie(&movie, false);
    }
    size_t linesAfterStop = 0;
    bool searchingAfterStop = true, closeLabel = false;
    DWORD stopTook = 0;
    DialogDriver driver([&](HWND dlg) {
        SetItemText(dlg, IDC_SEARCH_TEXT, "movie");
        PostClick(dlg, IDOK);
        Poll([&, dlg] {
            if (Lines(dlg).size() < 100)
                return false;
            DWORD start = ::GetTickCount();
            ::SendMessage(dlg, WM_COMMAND, IDCANCEL, 0);   // Cancel: stays open
            stopTook = ::GetTickCount() - start;
            linesAfterStop = Lines(dlg).size();
            closeLabel = ItemText(dlg, IDCANCEL) == "Close";
            searchingAfterStop = !IsItemEnabled(dlg, IDOK);
            // Started again, then the close box.
            PostClick(dlg, IDOK);
            ::PostMessage(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
            ::PostMessage(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
            return true;
        });
    });
    CSearchDlg dlg;
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_LT(stopTook, 10000u);  // long before the 20 s after which Cancel gives up
    EXPECT_GE(linesAfterStop, 100u);
    EXPECT_LT(linesAfterStop, 100000u);
    EXPECT_TRUE(closeLabel);
    EXPECT_FALSE(searchingAfterStop);
    EXPECT_FALSE(dlg.IsSearching());
}

TEST_F(SearchDialog, AFailedAllocationFailsTheSearchAndShowsNoPartResult)
{
    ScopedProfile profile("SearchMemory");
    ASSERT_TRUE(theCollection.Load(WindowsPath(VISTREL_TEST_DATA "/../../samples/demo.vdb").c_str()));
    CSearchDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_SEARCH));
    HWND hDlg = dlg.m_hWnd;
    // Movies with their further texts, files and discs, by any word.
    SetItemText(hDlg, IDC_SEARCH_TEXT, "the a");
    ::CheckDlgButton(hDlg, IDC_SEARCH_FILES, BST_CHECKED);
    ::CheckDlgButton(hDlg, IDC_SEARCH_EXTRA, BST_CHECKED);

    // One search with the nth allocation from its click on failing (0: none);
    // the listed lines, and whether the allocation did fail.
    struct Outcome {
        std::vector<std::string> lines;
        int boxes;
        std::string box;
        bool failed;
    };
    auto search = [&](long nth) {
        int boxesBefore = ErrorBoxCount();
        FailAllocationForTest(nth);
        dlg.SendMessage(WM_COMMAND, IDOK);
        while (dlg.IsSearching() || !IsItemEnabled(hDlg, IDOK)) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
            MSG msg;
            while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessage(&msg);
        }
        Outcome outcome = { {}, 0, "", AllocationFailedForTest() };
        FailAllocationForTest(0);
        outcome.lines = Lines(hDlg);
        outcome.boxes = ErrorBoxCount() - boxesBefore;
        if (outcome.boxes > 0)
            outcome.box = LastErrorBoxText();
        return outcome;
    };

    Outcome complete = search(0);
    ASSERT_EQ(0, complete.boxes);
    ASSERT_GT(complete.lines.size(), 10u);
    std::set<std::string> kinds;
    for (const std::string& line : complete.lines)
        kinds.insert(line.substr(0, line.find(']') + 1));
    EXPECT_EQ((std::set<std::string>{ "[Drive]", "[File]", "[Movie]" }), kinds);

    long failures = 0;
    for (long nth = 1;; nth++) {
        Outcome outcome = search(nth);
        if (!outcome.failed)
            break;
        failures++;
        if (outcome.boxes == 0) {
            EXPECT_EQ(complete.lines, outcome.lines) << "allocation " << nth;
        } else {
            EXPECT_EQ(1, outcome.boxes) << "allocation " << nth;
            EXPECT_EQ("Out of memory.", outcome.box) << "allocation " << nth;
            EXPECT_EQ(std::vector<std::string>(), outcome.lines) << "allocation " << nth;
        }
    }
    EXPECT_GT(failures, 10);
    EXPECT_EQ(complete.lines, search(0).lines);
    dlg.DestroyWindow();
}

// Shown for screenshots only: a search with its results.
TEST_F(SearchDialog, DISABLED_Showcase)
{
    ScopedProfile profile("SearchShowcase");
    AddMovies({ "Alien", "Aliens", "Alien 3", "Brazil", "Dark City", "The Alien Queen" });
    DialogDriver driver([](HWND dlg) {
        SetItemText(dlg, IDC_SEARCH_TEXT, "alien city");
        PostClick(dlg, IDOK);
    });
    CSearchDlg dlg;
    dlg.DoModal();
}
