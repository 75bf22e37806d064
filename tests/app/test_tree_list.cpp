// The tree list of movies in the pane: its lines in the control's order,
// and updates that touch only the movies the change log names.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "app/MovieListView.h"
#include "app/MovieListWnd.h"
#include "classlib/ClassLib.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"

namespace {

int g_progressWindows = 0;

// Counts the progress windows made while it is installed.
LRESULT CALLBACK CountProgressWindows(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        if (create->lpszName != NULL && HIWORD(reinterpret_cast<ULONG_PTR>(create->lpszName)) != 0 &&
            lstrcmpA(create->lpszName, "Please wait") == 0)
            g_progressWindows++;
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

DWORD AddMovie(const char* title, WORD year)
{
    CMovie movie;
    StrSet(&movie.m_title, title);
    if (year != 0) {
        movie.m_imdbInfo.reset(new CImdbInfo);
        movie.m_imdbInfo->m_year = year;
    }
    return theCollection.AddMovie(&movie, false);
}

VOID CALLBACK AnswerWarning(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND box = FindWindowA(NULL, "Warning");
    if (box != NULL) {
        PostMessage(box, WM_COMMAND, IDOK, 0);
        KillTimer(NULL, id);
    }
}

class TreeListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorBoxRecording(true);
        theCollection.Clear();
        ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), "host", WS_POPUP | WS_VISIBLE, 0, 0, 500, 400, NULL,
                                  NULL));
        ASSERT_TRUE(view.Create(NULL, NULL, WS_CHILD | WS_VISIBLE, CRect(0, 0, 500, 400), &host, 59648));
    }
    void TearDown() override
    {
        view.DestroyWindow();
        host.DestroyWindow();
        theCollection.Clear();
    }
    // The lines of the tree list, top to bottom, with their items.
    std::vector<std::pair<std::string, HTREEITEM>> Lines()
    {
        std::vector<std::pair<std::string, HTREEITEM>> lines;
        CMovieListWnd* list = view.GetMovieList();
        for (HTREEITEM item = list->GetRootItem(); item != NULL; item = list->GetNextSiblingItem(item))
            lines.emplace_back(list->GetItemText(item), item);
        return lines;
    }
    std::vector<std::string> Texts()
    {
        std::vector<std::string> texts;
        for (const auto& line : Lines())
            texts.push_back(line.first);
        return texts;
    }

    CWnd host;
    CMovieListView view;
};

} // namespace

TEST_F(TreeListTest, LinesComeInTheControlsOrderWithoutAProgressWindowForNone)
{
    HHOOK hook = SetWindowsHookExA(WH_CBT, CountProgressWindows, NULL, GetCurrentThreadId());
    g_progressWindows = 0;
    view.CreateList();
    ASSERT_NE(nullptr, view.GetMovieList());
    EXPECT_STREQ("CMovieListWnd", CMovieListWnd::GetRuntimeClassName());
    EXPECT_EQ(0u, view.GetMovieList()->GetCount());
    EXPECT_EQ(0, g_progressWindows);
    UnhookWindowsHookEx(hook);

    for (int i = 0; i < 11; i++)
        AddMovie(("Film " + std::to_string(i)).c_str(), WORD(1990 + i));
    AddMovie("Heist", 0);
    view.UpdateMovieList();
    std::vector<std::string> texts = Texts();
    ASSERT_EQ(12u, texts.size());
    // Sorted as text: "[10]" comes before "[2]".
    EXPECT_EQ("[0] Film 0 (1990)", texts[0]);
    EXPECT_EQ("[1] Film 1 (1991)", texts[1]);
    EXPECT_EQ("[10] Film 10 (2000)", texts[2]);
    EXPECT_EQ("[11] Heist ()", texts[3]);
    EXPECT_EQ("[9] Film 9 (1999)", texts[11]);
    // The same order as the control's own sorted insertion.
    CTreeCtrl sorted;
    ASSERT_TRUE(sorted.Create(WS_CHILD, CRect(0, 0, 10, 10), &host, 9));
    for (auto text = texts.rbegin(); text != texts.rend(); ++text)
        sorted.InsertItem(text->c_str(), TVI_ROOT, TVI_SORT);
    std::vector<std::string> controls;
    for (HTREEITEM item = sorted.GetRootItem(); item != NULL; item = sorted.GetNextSiblingItem(item))
        controls.push_back(sorted.GetItemText(item));
    EXPECT_EQ(texts, controls);
}

TEST_F(TreeListTest, UpdatesTouchOnlyTheMoviesOfTheChangeLog)
{
    for (const char* title : { "Alpha", "Bravo", "Charlie", "Delta", "Echo", "Foxtrot" })
        AddMovie(title, 2000);
    view.CreateList();
    std::map<std::string, HTREEITEM> before;
    for (const auto& line : Lines())
        before[line.first] = line.second;

    // Two movies deleted in the painted list go, the other lines stay.
    view.ShowMovies();
    view.SetEntrySelected(1, true);
    view.SetEntrySelected(3, true);
    UINT_PTR timer = SetTimer(NULL, 0, 50, AnswerWarning);
    view.DeleteSelected();
    KillTimer(NULL, timer);
    view.CreateList();
    std::vector<std::pair<std::string, HTREEITEM>> lines = Lines();
    ASSERT_EQ(4u, lines.size());
    for (const auto& line : lines)
        EXPECT_EQ(before[line.first], line.second) << line.first;
    EXPECT_EQ((std::vector<std::string>{ "[0] Alpha (2000)", "[2] Charlie (2000)", "[4] Echo (2000)",
                                         "[5] Foxtrot (2000)" }),
              Texts());

    // A changed movie keeps its line and place; an added one is sorted in.
    CMovie* movie = theCollection.GetMovieCopy(4);
    StrSet(&movie->m_title, "Zulu");
    theCollection.ReleaseMovieCopy(&movie);
    AddMovie("Golf", 0);  // id 6
    CMovie added;
    StrSet(&added.m_title, "Hotel");
    added.m_id = 30;
    theCollection.AddMovie(&added, true);
    view.UpdateMovieList();
    EXPECT_EQ((std::vector<std::string>{ "[0] Alpha (2000)", "[2] Charlie (2000)", "[30] Hotel ()",
                                         "[4] Zulu (2000)", "[5] Foxtrot (2000)", "[6] Golf ()" }),
              Texts());
    EXPECT_EQ(before["[4] Echo (2000)"], Lines()[3].second);

    // A new catalogue loads from scratch.
    theCollection.Clear();
    AddMovie("India", 0);
    view.UpdateMovieList();
    EXPECT_EQ(std::vector<std::string>{ "[0] India ()" }, Texts());
    EXPECT_EQ(1u, view.GetMovieList()->GetItemCount());
}

#endif
