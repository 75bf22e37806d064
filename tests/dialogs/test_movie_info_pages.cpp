// The pages of the movie information dialog on their own: the comment's
// overwrite rule after a retrieval, the cast rows and their moves, and the
// files page with the add-file and file information dialogs.
#include <gtest/gtest.h>

#include "test_movie_info.h"
#include "classlib/WinApp.h"
#include "core/Disc.h"
#include "core/ErrorBox.h"
#include "dialogs/MovieActorsPage.h"
#include "dialogs/MovieFilesPage.h"
#include "dialogs/MovieMainPage.h"
#include "dialogs/MoviePlotPage.h"
#include "net/ImdbSite.h"

namespace {

class MoviePagesTest : public CollectionTest {
protected:
    void SetUp() override
    {
        CollectionTest::SetUp();
        AfxSetMessageBoxRecording(true, IDOK);
    }
    // Runs the dialog on a copy of the stored movie: the script plays the
    // user in every dialog shown, the movie dialog's script ends it.
    INT_PTR Run(DWORD id, std::function<void(HWND)> script)
    {
        CMovie* source = theCollection.GetMovieCopy(id);
        dlg.SetMovie(nullptr, source, false);
        theCollection.ReleaseMovieCopy(&source);
        DialogDriver driver(script);
        return dlg.DoModal();
    }
    HWND Page(int index) { return PageOf(dlg, index); }

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
            rows += text;
            rows += cell == 0 ? "/" : row + 1 < count ? " " : "";
        }
    }
    return rows;
}

void SelectRows(HWND page, std::initializer_list<int> rows)
{
    HWND list = GetDlgItem(page, IDC_ACTORS_LIST);
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, WPARAM(-1), LPARAM(&state));
    state.state = LVIS_SELECTED;
    for (int row : rows)
        SendMessageA(list, LVM_SETITEMSTATE, WPARAM(row), LPARAM(&state));
}

} // namespace

TEST_F(MoviePagesTest, CommentFollowsTheOverwriteBitsAfterARetrieval)
{
    DWORD id = StoreMovie("Heist");
    EXPECT_EQ(IDCANCEL, Run(id, [&](HWND window) {
        HWND plot = Page(CMovieInfoDlg::PAGE_PLOT);
        CImdbInfo& record = *dlg.GetEditedMovie()->m_imdbInfo;
        const struct {
            int overwrite;
            const char* typed;
            const char* comment;
        } cases[] = { { 0, "mine", "mine" }, { 64, "mine", "fetched" }, { 1, "mine", "mine" }, { 1, "", "fetched" },
                      { 65, "mine", "fetched" } };
        for (const auto& c : cases) {
            profile.SetInt("update", "overwrite", c.overwrite);
            SetItemText(plot, IDC_PLOT_COMMENT, c.typed);
            StrSet(&record.m_comment, "fetched");
            StrSet(&record.m_tagline, ("tagline " + std::to_string(c.overwrite)).c_str());
            StrSet(&record.m_plot, "plot");
            dlg.GetPlotPage()->FillFromMovie(true);
            EXPECT_EQ(c.comment, ItemText(plot, IDC_PLOT_COMMENT)) << c.overwrite;
            EXPECT_EQ("tagline " + std::to_string(c.overwrite), ItemText(plot, IDC_PLOT_TAGLINE));
            EXPECT_EQ("plot", ItemText(plot, IDC_PLOT_OUTLINE));
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
        HWND page = Page(CMovieInfoDlg::PAGE_ACTORS);
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
        // With several rows the anchor decides.
        SelectRows(page, { 0, 6 });
        SendDlgItemMessageA(page, IDC_ACTORS_LIST, LVM_SETSELECTIONMARK, 0, 0);
        EXPECT_EQ(base + "Cher,", actors->GetShowImdbAddress());
        PostClick(window, IDC_MOVIEINFO_SAVE);
    }));
    dlg.SaveEditedMovie();

    movie = theCollection.GetMovieCopy(id);
    ASSERT_EQ(7u, movie->m_imdbInfo->GetCastCount());
    EXPECT_STREQ("Cher (I)", movie->m_imdbInfo->m_cast[0]->m_actor);
    EXPECT_STREQ("e", movie->m_imdbInfo->m_cast[5]->m_actor);
    EXPECT_EQ(longCharacter, movie->m_imdbInfo->m_cast[6]->m_character);  // read whole
    theCollection.ReleaseMovieCopy(&movie);
}

TEST_F(MoviePagesTest, FilesPageListsPartsAndAddsFreeFiles)
{
    CDisc disc;
    StrSet(&disc.m_name, "MOVIES");
    disc.m_driveLetter = 'm';
    DWORD discId = theCollection.AddDisc(&disc, false);
    auto storeFile = [&](const char* name, int32_t part) {
        CMovieFile file;
        StrSet(&file.m_folder, "\\Films\\");
        StrSet(&file.m_fileName, name);
        StrSet(&file.m_movieTitle, "Heist");
        file.m_partNumber = part;
        DWORD fileId = theCollection.AddFile(&file);
        CDisc* holder = theCollection.GetDiscCopy(discId);
        holder->AddFileId(fileId);
        theCollection.ReleaseDiscCopy(&holder);
        return fileId;
    };
    DWORD whole = storeFile("heist.avi", -1);
    DWORD first = storeFile("heist cd0.avi", 0);
    DWORD loose = storeFile("heist cd1.avi", 1);
    DWORD id = StoreMovie("Heist");
    CMovie* movie = theCollection.GetMovieCopy(id);
    movie->AddFile(whole, true);
    movie->AddFile(first, true);
    theCollection.ReleaseMovieCopy(&movie);

    std::vector<std::string> shown;
    std::string yearAfterAdd, infoName;
    EXPECT_EQ(IDCANCEL, Run(id, [&](HWND window) {
        std::string caption = WindowCaption(window);
        HWND files = Page(CMovieInfoDlg::PAGE_FILES);
        HWND list = GetDlgItem(files, IDC_FILES_LIST);
        if (caption == "Add file to movie") {
            HWND good = GetDlgItem(GetDlgItem(window, IDC_ADDFILE_TABS), IDC_ADDFILE_GOOD);
            EXPECT_EQ(1, SendMessageA(good, LB_GETCOUNT, 0, 0));  // only the free file
            SendMessageA(good, LB_SETSEL, TRUE, 0);
            PostClick(window, IDOK);
            Later([&, files, list] {
                for (int i = 0; i < int(SendMessageA(list, LB_GETCOUNT, 0, 0)); i++) {
                    char text[64] = {};
                    SendMessageA(list, LB_GETTEXT, WPARAM(i), LPARAM(text));
                    shown.push_back(text);
                }
                yearAfterAdd = ItemText(Page(CMovieInfoDlg::PAGE_MAIN), IDC_MAIN_YEAR);
                SendMessageA(list, LB_SETCURSEL, 0, 0);
                SendMessageA(files, WM_COMMAND, MAKEWPARAM(IDC_FILES_LIST, LBN_SELCHANGE), LPARAM(list));
                PostClick(files, IDC_FILES_MORE_INFO);
            });
            return;
        }
        if (caption == "File Information") {
            infoName = ItemText(window, IDC_FILEINFO_NAME);
            PostClick(window, IDOK);
            Later([&] { PostClick(dlg.m_hWnd, IDCANCEL); });
            return;
        }
        SendMessageA(list, LB_SETCURSEL, 1, 0);
        SendMessageA(files, WM_COMMAND, MAKEWPARAM(IDC_FILES_LIST, LBN_SELCHANGE), LPARAM(list));
        EXPECT_EQ("--- no info ---", ItemText(files, IDC_FILES_INFO));
        EXPECT_TRUE(IsItemEnabled(files, IDC_FILES_EDIT));
        // A year typed on the main page survives the refill after adding.
        SetItemText(Page(CMovieInfoDlg::PAGE_MAIN), IDC_MAIN_YEAR, "1984");
        PostClick(files, IDC_FILES_ADD);
    }));
    EXPECT_EQ((std::vector<std::string>{ "heist.avi", "(0) heist cd0.avi", "(1) heist cd1.avi" }), shown);
    EXPECT_EQ("1984", yearAfterAdd);
    EXPECT_EQ("heist.avi", infoName);
    EXPECT_EQ((std::vector<DWORD>{ whole, first, loose }), dlg.GetEditedMovie()->m_fileIds);
    movie = theCollection.GetMovieCopy(id);
    EXPECT_EQ(2u, movie->GetFileCount());  // cancelled: the stored movie is as it was
    theCollection.ReleaseMovieCopy(&movie);
}
