// The pages of the movie information dialog on their own: the comment's
// overwrite rule after a retrieval, the cast rows and their moves, and the
// files page with the add-file and file information dialogs.
#include <gtest/gtest.h>

#include "test_movie_info.h"
#include "classlib/WinApp.h"
#include "core/Disc.h"
#include "dialogs/MovieActorsPage.h"
#include "dialogs/MoviePlotPage.h"
#include "net/ImdbSite.h"

namespace {

class MoviePagesTest : public CollectionTest {
protected:
    // Runs the dialog on the stored movie; script plays the user in every
    // dialog shown and ends the movie dialog.
    INT_PTR Run(DWORD id, std::function<void(HWND)> script)
    {
        OpenOn(dlg, id);
        DialogDriver driver(script);
        return dlg.DoModal();
    }

    ScopedProfile profile{ "MoviePages" };
    CMovieInfoDlg dlg;
};

// "name/character" of every row.
std::string Rows(HWND page)
{
    HWND list = GetDlgItem(page, IDC_ACTORS_LIST);
    std::string rows;
    int count = int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; row++) {
        for (int cell : { 0, 2 }) {
            char text[64] = {};
            LVITEMA item = {};
            item.iSubItem = cell;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list, LVM_GETITEMTEXTA, WPARAM(row), LPARAM(&item));
            rows += std::string(row > 0 && cell == 0 ? " " : "") + text + (cell == 0 ? "/" : "");
        }
    }
    return rows;
}

void SelectRows(HWND page, std::initializer_list<int> rows)
{
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED;
    SendDlgItemMessageA(page, IDC_ACTORS_LIST, LVM_SETITEMSTATE, WPARAM(-1), LPARAM(&state));
    state.state = LVIS_SELECTED;
    for (int row : rows)
        SendDlgItemMessageA(page, IDC_ACTORS_LIST, LVM_SETITEMSTATE, WPARAM(row), LPARAM(&state));
}

} // namespace

TEST_F(MoviePagesTest, CommentFollowsTheOverwriteBitsAfterARetrieval)
{
    EXPECT_EQ(IDCANCEL, Run(StoreMovie("Heist"), [&](HWND window) {
        HWND plot = PageOf(dlg, CMovieInfoDlg::PAGE_PLOT);
        CImdbInfo& record = *dlg.GetEditedMovie()->m_imdbInfo;
        const struct {
            int overwrite;
            const char* typed;
            const char* comment;
        } cases[] = { { 0, "mine", "mine" }, { 64, "mine", "fetched" }, { 1, "mine", "mine" },
                      { 1, "", "fetched" }, { 65, "mine", "fetched" } };
        for (const auto& c : cases) {
            profile.SetInt("update", "overwrite", c.overwrite);
            SetItemText(plot, IDC_PLOT_COMMENT, c.typed);
            StrSet(&record.m_comment, "fetched");
            StrSet(&record.m_tagline, std::to_string(c.overwrite).c_str());
            dlg.GetPlotPage()->FillFromMovie(true);
            EXPECT_EQ(c.comment, ItemText(plot, IDC_PLOT_COMMENT)) << c.overwrite;
            EXPECT_EQ(std::to_string(c.overwrite), ItemText(plot, IDC_PLOT_TAGLINE));  // always taken
        }
        PostClick(window, IDCANCEL);
    }));
}

TEST_F(MoviePagesTest, CastRowsMoveAsTheSelectionSaysAndStayPaired)
{
    DWORD id = StoreMovie("Heist");
    CMovie* movie = theCollection.GetMovieCopy(id);
    for (const char* name : { "a", "b", "c", "d", "e" })
        movie->m_imdbInfo->AddCastEntry(name, std::string(1, char(name[0] - 32)).c_str());
    theCollection.ReleaseMovieCopy(&movie);
    const std::string base = std::string(ImdbBaseAddress()) + "/Name?";
    const std::string longCharacter(600, 'x');

    ASSERT_EQ(IDOK, Run(id, [&](HWND window) {
        HWND page = PageOf(dlg, CMovieInfoDlg::PAGE_ACTORS);
        CMovieActorsPage* actors = dlg.GetActorsPage();
        SelectRows(page, { 0, 2, 4 });
        Command(page, IDC_ACTORS_REMOVE);
        EXPECT_EQ("b/B d/D", Rows(page));
        actors->FillFromMovie();
        SelectRows(page, { 0, 1, 3 });  // the top two stay, d rises
        Command(page, IDC_ACTORS_UP);
        EXPECT_EQ("a/A b/B d/D c/C e/E", Rows(page));
        SelectRows(page, { 2, 4 });  // e stays at the bottom, d sinks
        Command(page, IDC_ACTORS_DOWN);
        EXPECT_EQ("a/A b/B c/C d/D e/E", Rows(page));

        SelectRows(page, {});
        EXPECT_FALSE(IsItemEnabled(page, IDC_ACTORS_SHOW_IMDB));
        EXPECT_EQ("", actors->GetShowImdbAddress());
        actors->AddActor(-1, "John Smith (II)", longCharacter.c_str());
        actors->AddActor(0, "Cher (I)", "Herself");
        SelectRows(page, { 6 });
        EXPECT_TRUE(IsItemEnabled(page, IDC_ACTORS_SHOW_IMDB));
        EXPECT_EQ(base + "Smith,+John+(II)", actors->GetShowImdbAddress());
        SelectRows(page, { 0, 6 });  // with several rows the anchor decides
        SendDlgItemMessageA(page, IDC_ACTORS_LIST, LVM_SETSELECTIONMARK, 0, 0);
        EXPECT_EQ(base + "Cher,", actors->GetShowImdbAddress());
        PostClick(window, IDC_MOVIEINFO_SAVE);
    }));
    dlg.SaveEditedMovie();
    movie = theCollection.GetMovieCopy(id);
    ASSERT_EQ(7u, movie->m_imdbInfo->GetCastCount());
    EXPECT_STREQ("Cher (I)", movie->m_imdbInfo->m_cast[0]->m_actor);
    EXPECT_EQ(longCharacter, movie->m_imdbInfo->m_cast[6]->m_character);  // read whole
    theCollection.ReleaseMovieCopy(&movie);
}

TEST_F(MoviePagesTest, FilesPageAddsFreeFilesAndShowsTheirInformation)
{
    CDisc disc;
    StrSet(&disc.m_name, "MOVIES");
    DWORD whole = StoreFile("heist.avi", -1);
    DWORD first = StoreFile("heist cd0.avi", 0);
    DWORD loose = StoreFile("heist cd1.avi", 1);
    for (DWORD file : { whole, first, loose })
        disc.AddFileId(file);
    theCollection.AddDisc(&disc, false);
    DWORD id = StoreMovie("Heist");
    CMovie* movie = theCollection.GetMovieCopy(id);
    movie->AddFile(whole, true);
    movie->AddFile(first, true);
    theCollection.ReleaseMovieCopy(&movie);

    std::vector<std::string> shown;
    std::string yearAfterAdd, infoName;
    EXPECT_EQ(IDCANCEL, Run(id, [&](HWND window) {
        std::string caption = WindowCaption(window);
        HWND files = PageOf(dlg, CMovieInfoDlg::PAGE_FILES);
        if (caption == "Add file to movie") {
            HWND good = GetDlgItem(GetDlgItem(window, IDC_ADDFILE_TABS), IDC_ADDFILE_GOOD);
            EXPECT_EQ(1, SendMessageA(good, LB_GETCOUNT, 0, 0));  // only the free file
            SendMessageA(good, LB_SETSEL, TRUE, 0);
            PostClick(window, IDOK);
            Later([&, files] {
                shown = ListLines(GetDlgItem(files, IDC_FILES_LIST));
                yearAfterAdd = ItemText(PageOf(dlg, CMovieInfoDlg::PAGE_MAIN), IDC_MAIN_YEAR);
                SelectLine(files, IDC_FILES_LIST, 0);
                PostClick(files, IDC_FILES_MORE_INFO);
            });
        } else if (caption == "File Information") {
            infoName = ItemText(window, IDC_FILEINFO_NAME);
            PostClick(window, IDOK);
            Later([&] { PostClick(dlg.m_hWnd, IDCANCEL); });
        } else {
            SelectLine(files, IDC_FILES_LIST, 1);
            EXPECT_EQ("--- no info ---", ItemText(files, IDC_FILES_INFO));
            // A year typed on the main page survives the refill after adding.
            SetItemText(PageOf(dlg, CMovieInfoDlg::PAGE_MAIN), IDC_MAIN_YEAR, "1984");
            PostClick(files, IDC_FILES_ADD);
        }
    }));
    EXPECT_EQ((std::vector<std::string>{ "heist.avi", "(0) heist cd0.avi", "(1) heist cd1.avi" }), shown);
    EXPECT_EQ("1984", yearAfterAdd);
    EXPECT_EQ("heist.avi", infoName);
    EXPECT_EQ((std::vector<DWORD>{ whole, first, loose }), dlg.GetEditedMovie()->m_fileIds);
    movie = theCollection.GetMovieCopy(id);
    EXPECT_EQ(2u, movie->GetFileCount());  // cancelled: the stored movie is as it was
    theCollection.ReleaseMovieCopy(&movie);
}
