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

DWORD AddMovie(const char* title, WORD year, DWORD id = NO_ID)
{
    CMovie movie;
    StrSet(&movie.m_title, title);
    movie.m_id = id;
    if (year != 0) {
        movie.m_imdbInfo.reset(new CImdbInfo);
        movie.m_imdbInfo->m_year = year;
    }
    return theCollection.AddMovie(&movie, id != NO_ID);
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
    // The texts of the lines, top to bottom, and their items.
    std::vector<std::string> Texts(CTreeCtrl* tree = nullptr, std::vector<HTREEITEM>* items = nullptr)
    {
        std::vector<std::string> texts;
        tree = tree != nullptr ? tree : view.GetMovieList();
        for (HTREEITEM item = tree->GetRootItem(); item != NULL; item = tree->GetNextSiblingItem(item)) {
            texts.push_back(tree->GetItemText(item));
            if (items != nullptr)
                items->push_back(item);
        }
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
    EXPECT_EQ(texts, Texts(&sorted));
}

TEST_F(TreeListTest, UpdatesTouchOnlyTheMoviesOfTheChangeLog)
{
    for (const char* title : { "Alpha", "Bravo", "Charlie", "Delta", "Echo", "Foxtrot" })
        AddMovie(title, 2000);
    view.CreateList();
    std::vector<HTREEITEM> items;
    std::vector<std::string> texts = Texts(nullptr, &items);
    std::map<std::string, HTREEITEM> before;
    for (size_t i = 0; i < texts.size(); i++)
        before[texts[i]] = items[i];

    // Two movies deleted in the painted list go, the other lines stay.
    view.ShowMovies();
    view.SetEntrySelected(1, true);
    view.SetEntrySelected(3, true);
    UINT_PTR timer = SetTimer(NULL, 0, 50, AnswerWarning);
    view.DeleteSelected();
    KillTimer(NULL, timer);
    view.CreateList();
    items.clear();
    texts = Texts(nullptr, &items);
    for (size_t i = 0; i < texts.size(); i++)
        EXPECT_EQ(before[texts[i]], items[i]) << texts[i];
    EXPECT_EQ((std::vector<std::string>{ "[0] Alpha (2000)", "[2] Charlie (2000)", "[4] Echo (2000)",
                                         "[5] Foxtrot (2000)" }),
              Texts());

    // A changed movie keeps its line and place; an added one is sorted in.
    CMovie* movie = theCollection.GetMovieCopy(4);
    StrSet(&movie->m_title, "Zulu");
    theCollection.ReleaseMovieCopy(&movie);
    AddMovie("Golf", 0);  // id 6
    AddMovie("Hotel", 0, 30);
    view.UpdateMovieList();
    EXPECT_EQ((std::vector<std::string>{ "[0] Alpha (2000)", "[2] Charlie (2000)", "[30] Hotel ()",
                                         "[4] Zulu (2000)", "[5] Foxtrot (2000)", "[6] Golf ()" }),
              Texts(nullptr, &(items = {})));
    EXPECT_EQ(before["[4] Echo (2000)"], items[3]);

    // A new catalogue loads from scratch.
    theCollection.Clear();
    AddMovie("India", 0);
    view.UpdateMovieList();
    EXPECT_EQ(std::vector<std::string>{ "[0] India ()" }, Texts());
    EXPECT_EQ(1u, view.GetMovieList()->GetItemCount());
}

#endif
