// The movie list pane under Wine: filling and sorting the painted list,
// selection by posted keys and clicks, deleting a selection, the bound on
// painted bitmaps and the drives tree.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "app/MovieListView.h"
#include "classlib/ClassLib.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "resources/resource.h"

namespace {

void Pump()
{
    MSG msg;
    while (PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}

DWORD AddMovie(const char* title)
{
    CMovie movie;
    StrSet(&movie.m_title, title);
    return theCollection.AddMovie(&movie, false);
}

class MovieListViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorBoxRecording(true);
        theCollection.Clear();
        ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), "host", WS_POPUP | WS_VISIBLE, 0, 0,
                                  500, 400, NULL, NULL));
    }
    void TearDown() override
    {
        if (view.m_hWnd != NULL)
            view.DestroyWindow();
        host.DestroyWindow();
        theCollection.Clear();
    }
    void CreateView()
    {
        ASSERT_TRUE(view.Create(NULL, NULL, WS_CHILD | WS_VISIBLE, CRect(0, 0, 500, 400), &host, 59648));
        view.ShowMovies();
        Pump();
    }
    std::string TitleAt(DWORD index)
    {
        CMovie* movie = theCollection.GetMovieCopy(view.GetEntry(index)->GetMovie());
        std::string title = movie != NULL && movie->m_title != NULL ? movie->m_title : "";
        theCollection.ReleaseMovieCopy(&movie);
        return title;
    }
    std::string Selection()
    {
        std::string marks;
        for (DWORD i = 0; i < view.GetEntryCount(); i++)
            marks += view.IsEntrySelected(i) ? 'x' : '.';
        return marks;
    }
    POINT PointOf(DWORD index)
    {
        RECT r;
        view.GetEntry(index)->GetRect(&r);
        return { r.left + 5, LONG(r.top - view.GetScroll().VerticalPixels() + 5) };
    }
    void Click(DWORD index, WPARAM keys)
    {
        POINT p = PointOf(index);
        view.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(p.x, p.y));
        view.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        Pump();
    }
    void Key(UINT key, bool extended = false)
    {
        view.PostMessage(WM_KEYDOWN, key, extended ? (1 << 24) | 1 : 1);
        Pump();
    }

    CWnd host;
    CMovieListView view;
};

TEST_F(MovieListViewTest, FillsSortedBoxesAndPaintsThem)
{
    const char* titles[] = { "Delta", "alpha", "Charlie", "bravo", "The Echo" };
    for (const char* t : titles)
        AddMovie(t);
    CreateView();
    ASSERT_EQ(5u, view.GetEntryCount());
    EXPECT_EQ("alpha", TitleAt(0));
    EXPECT_EQ("bravo", TitleAt(1));
    EXPECT_EQ("The Echo", TitleAt(4));  // "the " does not count
    RECT r0, r1;
    view.GetEntry(0)->GetRect(&r0);
    view.GetEntry(1)->GetRect(&r1);
    EXPECT_GT(r0.bottom - r0.top, 10);
    EXPECT_EQ(r0.bottom, r1.top);
    EXPECT_EQ(r0.right - r0.left, r1.right - r1.left);
    view.UpdateWindow();
    EXPECT_TRUE(view.GetEntry(0)->HasCache());

    view.SetSortOrder(55, 0);
    EXPECT_EQ("The Echo", TitleAt(0));
    EXPECT_EQ("alpha", TitleAt(4));
}

TEST_F(MovieListViewTest, KeysAndTypeAheadMoveTheSelection)
{
    const char* titles[] = { "Alien", "Amadeus", "Brazil", "Bambi", "Casablanca" };
    for (const char* t : titles)
        AddMovie(t);
    CreateView();
    Key(VK_HOME);
    EXPECT_EQ("x....", Selection());
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(2u, view.GetAnchor());
    EXPECT_EQ("..x..", Selection());
    Key(VK_END);
    Key(VK_DOWN);
    EXPECT_EQ("....x", Selection());
    Key(VK_NEXT, true);
    EXPECT_EQ(4u, view.GetAnchor());
    RECT r;
    view.GetEntry(0)->GetRect(&r);
    int64_t page = view.GetScroll().BoxesPerPage(r.bottom - r.top);
    Key(VK_PRIOR, true);
    EXPECT_EQ(DWORD(4 - std::min<int64_t>(4, page)), view.GetAnchor());
    Key(VK_PRIOR, false);  // the number pad's key is no page key
    EXPECT_EQ(DWORD(4 - std::min<int64_t>(4, page)), view.GetAnchor());
    Key(VK_HOME);
    Key('B');
    EXPECT_EQ("Bambi", TitleAt(view.GetAnchor()));
    Key('R');
    EXPECT_EQ("Brazil", TitleAt(view.GetAnchor()));
    EXPECT_EQ(1u, view.GetSelectedCount());
}

TEST_F(MovieListViewTest, ClicksWithCtrlAndShift)
{
    for (const char* t : { "a", "b", "c", "d", "e", "f" })
        AddMovie(t);
    CreateView();
    Click(1, 0);
    EXPECT_EQ(".x....", Selection());
    Click(1, 0);
    EXPECT_EQ("......", Selection());  // the only selected box toggles
    Click(1, 0);
    Click(4, MK_CONTROL);
    EXPECT_EQ(".x..x.", Selection());
    EXPECT_EQ(1u, view.GetAnchor());
    Click(3, MK_SHIFT);
    EXPECT_EQ(".xxxx.", Selection());
}

VOID CALLBACK AnswerOk(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND box = FindWindowA(NULL, "Warning");
    if (box != NULL) {
        PostMessage(box, WM_COMMAND, IDOK, 0);
        KillTimer(NULL, id);
    }
}

TEST_F(MovieListViewTest, DeletingASelectionClosesTheGaps)
{
    for (const char* t : { "a", "b", "c", "d", "e", "f", "g" })
        AddMovie(t);
    CreateView();
    Click(1, 0);
    Click(3, MK_CONTROL);
    Click(5, MK_CONTROL);
    UINT_PTR timer = SetTimer(NULL, 0, 50, AnswerOk);
    view.DeleteSelected();
    KillTimer(NULL, timer);
    ASSERT_EQ(4u, view.GetEntryCount());
    EXPECT_EQ("a", TitleAt(0));
    EXPECT_EQ("c", TitleAt(1));
    EXPECT_EQ("e", TitleAt(2));
    EXPECT_EQ("g", TitleAt(3));
    EXPECT_EQ(4u, theCollection.GetMovieCount());
    RECT r;
    view.GetEntry(3)->GetRect(&r);
    RECT r0;
    view.GetEntry(0)->GetRect(&r0);
    EXPECT_EQ(3 * (r0.bottom - r0.top), r.top);
}

TEST_F(MovieListViewTest, LongListsKeepABoundedNumberOfBitmaps)
{
    for (int i = 0; i < 3000; i++)
        AddMovie(("Movie " + std::to_string(100000 + i)).c_str());
    CreateView();
    view.UpdateWindow();
    DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    ASSERT_TRUE(view.GetScroll().Vertical().shown);
    for (int page = 0; page < 200; page++) {
        view.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
        Pump();
    }
    EXPECT_GT(view.GetScroll().VerticalPixels(), 0);
    EXPECT_LE(view.GetCachedCellCount(), size_t(100));
    DWORD gdiAfter = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    EXPECT_LT(gdiAfter, gdiBefore + 250) << gdiBefore << " -> " << gdiAfter;
    view.SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
    Pump();
    RECT last;
    view.GetEntry(view.GetEntryCount() - 1)->GetRect(&last);
    EXPECT_GE(view.GetScroll().VerticalPixels() + view.GetScroll().ViewHeight(),
              int64_t(last.bottom) - int64_t(view.GetScroll().Scale()) - 1);
}

DWORD AddDisc(const char* name, BYTE fixed, BYTE network)
{
    CDisc disc;
    StrSet(&disc.m_name, name);
    disc.m_fixedOrNetwork = fixed;
    disc.m_network = network;
    return theCollection.AddDisc(&disc, false);
}

int ImageOf(CTreeCtrl& tree, HTREEITEM item)
{
    TVITEMA info = {};
    info.mask = TVIF_IMAGE;
    info.hItem = item;
    tree.SendMessage(TVM_GETITEMA, 0, LPARAM(&info));
    return info.iImage;
}

std::string TextOf(CTreeCtrl& tree, HTREEITEM item)
{
    char text[260] = "";
    TVITEMA info = {};
    info.mask = TVIF_TEXT;
    info.hItem = item;
    info.pszText = text;
    info.cchTextMax = sizeof text;
    tree.SendMessage(TVM_GETITEMA, 0, LPARAM(&info));
    return text;
}

TEST_F(MovieListViewTest, DrivesTreeShowsDiscsAndTheirFiles)
{
    DWORD cd = AddDisc("MOVIES1", 0, 0);
    DWORD fixed = AddDisc("", 1, 0);
    DWORD network = AddDisc("share (n:)", 1, 1);
    CDisc nameless;
    theCollection.AddDisc(&nameless, false);  // no volume name: no item

    CMovieFile file;
    StrSet(&file.m_folder, "films");
    StrSet(&file.m_fileName, "a.avi");
    DWORD fileId = theCollection.AddFile(&file);
    CDisc* disc = theCollection.GetDiscCopy(cd);
    ASSERT_NE(nullptr, disc);
    disc->m_fileIds.push_back(fileId);
    theCollection.ReleaseDiscCopy(&disc);

    ASSERT_TRUE(view.Create(NULL, NULL, WS_CHILD | WS_VISIBLE, CRect(0, 0, 500, 400), &host, 59648));
    view.CreateTree();
    Pump();
    CTreeCtrl& tree = view.GetTree();
    ASSERT_NE(nullptr, tree.m_hWnd);
    EXPECT_EQ(4u, tree.GetCount());
    HTREEITEM first = tree.GetRootItem();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ("MOVIES1", TextOf(tree, first));
    EXPECT_EQ(0, ImageOf(tree, first));
    HTREEITEM child = tree.GetChildItem(first);
    ASSERT_NE(nullptr, child);
    EXPECT_EQ("\\films\\a.avi", TextOf(tree, child));
    EXPECT_EQ(3, ImageOf(tree, child));
    EXPECT_FALSE(view.IsDiscItem(child));
    HTREEITEM second = tree.GetNextSiblingItem(first);
    EXPECT_EQ("[untitled]", TextOf(tree, second));
    EXPECT_EQ(1, ImageOf(tree, second));
    EXPECT_TRUE(view.IsDiscItem(second));  // empty, still a disc
    EXPECT_EQ(fixed, view.GetTreeItemId(second));
    HTREEITEM third = tree.GetNextSiblingItem(second);
    EXPECT_EQ(2, ImageOf(tree, third));
    EXPECT_EQ(network, view.GetTreeItemId(third));

    view.SelectFile(fileId);
    EXPECT_EQ(child, tree.GetSelectedItem());
    view.SelectDisc(fixed);
    EXPECT_EQ(second, tree.GetSelectedItem());
    // A refill keeps the selection.
    view.FillTree();
    EXPECT_EQ(fixed, view.GetTreeItemId(tree.GetSelectedItem()));
    EXPECT_TRUE(view.IsDiscItem(tree.GetSelectedItem()));

    // The information panel docks right of the tree and shows the selection
    // in its remove mode.
    HWND panel = FindWindowExA(view.m_hWnd, NULL, "#32770", NULL);
    ASSERT_NE(nullptr, panel);
    RECT treeRect, panelRect;
    GetWindowRect(tree.m_hWnd, &treeRect);
    GetWindowRect(panel, &panelRect);
    EXPECT_EQ(treeRect.right, panelRect.left);
    EXPECT_GT(panelRect.right - panelRect.left, 0);
    EXPECT_TRUE(IsWindowVisible(panel));
    char text[64] = {};
    GetDlgItemTextA(panel, IDCANCEL, text, sizeof text);
    EXPECT_STREQ("Remove Drive", text);
    view.SelectFile(fileId);
    GetDlgItemTextA(panel, IDC_FILEINFO_NAME, text, sizeof text);
    EXPECT_STREQ("a.avi", text);
}

// Shown for screenshots only: the drives view with its information panel on
// a selected file.
TEST_F(MovieListViewTest, DISABLED_ShowcaseDrivesPanel)
{
    DWORD cd = AddDisc("SUMMER_2003", 0, 0);
    AddDisc("Data (h:)", 1, 0);
    CMovieFile file;
    StrSet(&file.m_folder, "\\Movies\\");
    StrSet(&file.m_fileName, "Heist cd1.avi");
    file.m_size = 734003200;
    file.m_creationTime.wYear = 2003;
    file.m_creationTime.wMonth = 7;
    file.m_creationTime.wDay = 12;
    DWORD fileId = theCollection.AddFile(&file);
    CDisc* disc = theCollection.GetDiscCopy(cd);
    disc->m_fileIds.push_back(fileId);
    theCollection.ReleaseDiscCopy(&disc);
    host.MoveWindow(20, 20, 760, 460);
    ASSERT_TRUE(view.Create(NULL, NULL, WS_CHILD | WS_VISIBLE, CRect(0, 0, 740, 440), &host, 59648));
    view.CreateTree();
    view.SelectFile(fileId);
    DWORD end = GetTickCount() + 6000;
    while (GetTickCount() < end) {
        Pump();
        Sleep(20);
    }
}

}  // namespace

#endif
