// Where the movie information dialog opens: a double click in the tree
// list, "Info" in the compared databases, "Show Info" on a found movie, and
// in the running program Enter, Add Movie and the tree list's command.
#include <gtest/gtest.h>

#include <cstring>

#include "../app/ProgramRun.h"
#include "test_movie_info.h"
#include "app/MovieListWnd.h"
#include "classlib/WinApp.h"
#include "dialogs/ComparedDbDlg.h"
#include "dialogs/SearchDlg.h"

namespace {

typedef CollectionTest MovieInfoOpeners;

// Stops at the first visible popup menu of the thread.
BOOL CALLBACK FindVisibleMenu(HWND window, LPARAM param)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (strcmp(name, "#32768") != 0 || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
}

// The popup menu this thread shows now, if any.
HWND VisibleMenu()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindVisibleMenu, LPARAM(&found));
    return found;
}

} // namespace

TEST_F(MovieInfoOpeners, TreeListDoubleClickWritesBackOnlyAfterSave)
{
    ScopedProfile profile("TreeListOpener");
    StoreMovie("Alpha", 1999);
    DWORD bravo = StoreMovie("Bravo", 2001);
    PaintedList list;
    list.view.CreateList();
    CMovieListWnd* tree = list.view.GetMovieList();
    ASSERT_NE(nullptr, tree);
    HTREEITEM line = tree->GetNextSiblingItem(tree->GetRootItem());
    ASSERT_EQ("[1] Bravo (2001)", tree->GetItemText(line));
    RECT rect;
    tree->GetItemRect(line, &rect, TRUE);
    LPARAM at = MAKELPARAM(rect.left + 2, (rect.top + rect.bottom) / 2);

    for (int button : { IDCANCEL, int(IDC_MOVIEINFO_SAVE) }) {
        DialogDriver driver([&](HWND window) {
            EXPECT_EQ("Movie Info - Bravo", WindowCaption(window));
            SetItemText(PageWith(window, IDC_MAIN_TITLE), IDC_MAIN_TITLE, "Bravo Two");
            PostClick(window, button);
        });
        tree->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        EXPECT_EQ(1, driver.Count());
        if (button == IDCANCEL) {
            EXPECT_EQ("Bravo", StoredTitle(bravo));
            EXPECT_EQ("[1] Bravo (2001)", tree->GetItemText(line));
        }
    }
    EXPECT_EQ("Bravo Two", StoredTitle(bravo));
    EXPECT_EQ("[1] Bravo Two (2001)", tree->GetItemText(line));
}

TEST_F(MovieInfoOpeners, ComparedDatabasesShowTheOtherCataloguesMovieReadOnly)
{
    ScopedProfile profile("CompareInfo");
    StoreMovie("Alien");
    CMovieCollection other;
    StoreMovie("Alien", 0, other);
    StoreMovie("Casino", 1995, other);
    std::string caption, year;
    bool infoBefore = true, infoAfter = false, saveShown = true;
    DialogDriver driver([&](HWND window) {
        if (WindowCaption(window) != "Compared databases") {
            caption = WindowCaption(window);
            saveShown = IsItemVisible(window, IDC_MOVIEINFO_SAVE);
            year = ItemText(PageWith(window, IDC_MAIN_YEAR), IDC_MAIN_YEAR);
            PostClick(window, IDCANCEL);
            return;
        }
        Poll([&, window] {
            if (!IsItemEnabled(window, IDOK))
                return false;
            infoBefore = IsItemEnabled(window, IDC_COMPARED_INFO_OTHER);
            SendDlgItemMessageA(window, IDC_COMPARED_OTHER, LB_SETSEL, TRUE, 0);
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_COMPARED_OTHER, LBN_SELCHANGE),
                         LPARAM(GetDlgItem(window, IDC_COMPARED_OTHER)));
            infoAfter = IsItemEnabled(window, IDC_COMPARED_INFO_OTHER);
            PostClick(window, IDC_COMPARED_INFO_OTHER);
            Later([window] { PostClick(window, IDOK); });
            return true;
        });
    });
    CComparedDbDlg dlg;
    dlg.SetCompareSource(&other, "%movie_name");
    dlg.DoModal();
    EXPECT_FALSE(infoBefore);
    EXPECT_TRUE(infoAfter);
    EXPECT_EQ("Movie Info - Casino", caption);
    EXPECT_EQ("1995", year);
    EXPECT_FALSE(saveShown);
}

TEST_F(MovieInfoOpeners, ShowInfoOnAFoundMovieSavesItsEdits)
{
    ScopedProfile profile("SearchInfo");
    DWORD id = StoreMovie("Brazil");
    DialogDriver driver([&](HWND window) {
        if (WindowCaption(window) == "Movie Info - Brazil") {
            SetItemText(PageWith(window, IDC_MAIN_TITLE), IDC_MAIN_TITLE, "Brazil (1985)");
            PostClick(window, IDC_MOVIEINFO_SAVE);
            return;
        }
        SetItemText(window, IDC_SEARCH_TEXT, "brazil");
        PostClick(window, IDOK);
        Poll([&, window] {
            if (!IsItemEnabled(window, IDOK))
                return false;
            HWND results = GetDlgItem(window, IDC_SEARCH_RESULTS);
            RECT line;
            SendMessageA(results, LB_GETITEMRECT, 0, LPARAM(&line));
            PostMessageA(results, WM_RBUTTONUP, 0, MAKELPARAM(line.left + 4, line.top + 2));
            Poll([&, window] {
                HWND menu = VisibleMenu();
                if (menu == nullptr)
                    return false;
                PostMessageA(menu, WM_CHAR, 's', 0);  // "&Show Info..."
                Later([window] { PostClick(window, IDCANCEL); });
                return true;
            });
            return true;
        });
    });
    CSearchDlg dlg;
    dlg.DoModal();
    EXPECT_TRUE(dlg.IsChanged());
    EXPECT_EQ("Brazil (1985)", StoredTitle(id));
}

TEST(MovieInfoProgram, EnterAddMovieAndTheTreeListCommand)
{
    CProgramRun run("movie-info");
    std::string catalogue = run.PathOf("films.vdb");
    ASSERT_TRUE(WriteCatalogue(catalogue, 12));
    ASSERT_NE(run.StartToMainWindow("\"" + catalogue + "\""), nullptr);
    HWND pane = GetDlgItem(run.MainWindow(0), IDW_PANE);
    ASSERT_NE(nullptr, pane);

    PostMessageA(pane, WM_KEYDOWN, VK_HOME, 1);
    PostMessageA(pane, WM_KEYDOWN, VK_RETURN, 1);
    HWND info = run.WaitDialog("Movie Info - ");
    ASSERT_NE(nullptr, info);
    CProgramRun::Press(info, IDCANCEL);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(info); }));

    run.PostCommand(ID_ADD_MOVIE);
    HWND added = run.WaitDialog("Movie Info - [no title]");
    ASSERT_NE(nullptr, added);
    CProgramRun::Press(added, IDCANCEL);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(added); }));

    // Ctrl+3 is the command's key; the command shows a line per movie.
    HMODULE program = LoadLibraryExA(VISTREL_EXE, NULL, LOAD_LIBRARY_AS_DATAFILE);
    HACCEL keys = program != NULL ? LoadAcceleratorsA(program, MAKEINTRESOURCEA(IDR_MAINFRAME)) : NULL;
    ACCEL table[64];
    int count = keys != NULL ? CopyAcceleratorTableA(keys, table, 64) : 0;
    bool ctrl3 = false;
    for (int i = 0; i < count; i++)
        ctrl3 |= table[i].cmd == ID_VIEW_LISTING && table[i].key == '3' && (table[i].fVirt & FCONTROL);
    EXPECT_TRUE(ctrl3);
    if (program != NULL)
        FreeLibrary(program);
    run.SendCommand(ID_VIEW_LISTING);
    HWND tree = FindWindowExA(pane, NULL, WC_TREEVIEWA, NULL);  // the drives tree is not made yet
    ASSERT_NE(nullptr, tree);
    EXPECT_EQ(12, int(SendMessageA(tree, TVM_GETCOUNT, 0, 0)));
    PostMessageA(run.MainWindow(0), WM_CLOSE, 0, 0);
    EXPECT_TRUE(run.WaitExit());
}
