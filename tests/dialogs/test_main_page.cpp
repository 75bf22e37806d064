// The movie main page with the test site on 127.0.0.1: "Update from IMDb"
// by stored title, address or a chosen hit and its merge into the pages,
// the title and rating rules, its messages, the cover operations, Change
// and "What is IMDb ?".
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "../net/test_imdb_host.h"
#include "../net/test_imdb_site.h"
#include "test_movie_info.h"
#include "classlib/WinApp.h"
#include "core/ErrorBox.h"
#include "dialogs/MovieMainPage.h"

namespace {

class MainPageTest : public CollectionTest, protected TestImdbSiteUser {
protected:
    void SetUp() override
    {
        CollectionTest::SetUp();
        AfxSetMessageBoxRecording(true, IDOK);
        profile.SetInt("update", "askoverwrite", 0);
    }
    // Runs the dialog on a copy of the stored movie: script plays the user
    // in it, others in every other dialog, then the dialog is cancelled.
    void Run(DWORD id, std::function<void()> script, std::function<void(HWND)> others = nullptr)
    {
        CMovie* source = theCollection.GetMovieCopy(id);
        dlg.SetMovie(nullptr, source, false);
        theCollection.ReleaseMovieCopy(&source);
        DialogDriver driver([&](HWND window) {
            if (WindowCaption(window).compare(0, 10, "Movie Info") != 0) {
                if (others)
                    others(window);
                return;
            }
            script();
            PostClick(window, IDCANCEL);
        });
        EXPECT_EQ(IDCANCEL, dlg.DoModal());
    }
    HWND Main() { return PageOf(dlg, CMovieInfoDlg::PAGE_MAIN); }
    std::string Shown(int id) { return ItemText(Main(), id); }
    void Update() { Command(Main(), IDC_MAIN_UPDATE); }
    CImdbInfo& Record() { return *dlg.GetEditedMovie()->m_imdbInfo; }

    ScopedProfile profile{ "MainPage" };
    CMovieInfoDlg dlg;
};

} // namespace

TEST_F(MainPageTest, UpdateSearchesByTheStoredTitleAndRefillsEveryPage)
{
    TestImdbSite site;
    std::vector<std::string> shown;
    Run(StoreMovie("Alien"), [&] {
        dlg.SelectPage(CMovieInfoDlg::PAGE_PLOT);
        dlg.SelectPage(CMovieInfoDlg::PAGE_ACTORS);
        dlg.SelectPage(CMovieInfoDlg::PAGE_MAIN);
        shown = { Shown(IDC_MAIN_YEAR), Shown(IDC_MAIN_RUNTIME) };  // 0 shows empty
        SetItemText(Main(), IDC_MAIN_TITLE, "");
        Update();
        for (int id : { IDC_MAIN_TITLE, IDC_MAIN_YEAR, IDC_MAIN_DIRECTOR, IDC_MAIN_RUNTIME, IDC_MAIN_RATE_TEXT })
            shown.push_back(Shown(id));
        shown.push_back(ItemText(PageOf(dlg, CMovieInfoDlg::PAGE_PLOT), IDC_PLOT_TAGLINE));
        shown.push_back(std::to_string(SendDlgItemMessageA(PageOf(dlg, CMovieInfoDlg::PAGE_ACTORS), IDC_ACTORS_LIST,
                                                           LVM_GETITEMCOUNT, 0, 0)));
        shown.push_back(IsItemEnabled(Main(), IDC_MAIN_UPDATE) ? "enabled" : "disabled");
    });
    EXPECT_EQ("GET /Tsearch?type=fuzzy&title=Alien", site.Requests().at(0));
    // "overwrite" unset: the page keeps the rating it shows.
    EXPECT_EQ((std::vector<std::string>{ "", "", "Alien", "1979", "Ridley Scott", "117", "",
                                         "In space no one can hear you scream.\r\nThe perfect organism.", "4",
                                         "enabled" }),
              shown);
    EXPECT_EQ(COVER_SIZE_LARGE, Record().m_coverSizeClass);
}

TEST_F(MainPageTest, TitleAndRatingFollowTheirSettings)
{
    DWORD id = StoreMovie("My Alien");
    struct {
        int overwrite;
        const char* shown;
        double stored;
        const char* after;
    } ratings[] = { { 17, "3.0", 5.0, "8.4" }, { 1, "3.0", 5.0, "3.0" }, { 1, "", -1.0, "8.4" }, { 0, "", -1.0, "" } };
    std::vector<std::string> after, titles;
    Run(id, [&] {
        SetItemText(Main(), IDC_MAIN_ADDRESS, At("/Title?0078748").c_str());
        for (const auto& r : ratings) {
            profile.SetInt("update", "overwrite", r.overwrite);
            Record().m_rating = r.stored;
            SetItemText(Main(), IDC_MAIN_RATE_TEXT, r.shown);
            Update();
            after.push_back(Shown(IDC_MAIN_RATE_TEXT));
        }
        // A typed title stays with "dont_update_title", and the record takes it.
        profile.SetInt("update", "dont_update_title", 1);
        SetItemText(Main(), IDC_MAIN_TITLE, "Typed Alien");
        Update();
        titles = { Shown(IDC_MAIN_TITLE), Record().m_title };
        profile.SetInt("update", "dont_update_title", 0);
        Update();
        titles.push_back(Shown(IDC_MAIN_TITLE));
    });
    EXPECT_EQ((std::vector<std::string>{ "8.4", "3.0", "8.4", "" }), after);
    EXPECT_EQ((std::vector<std::string>{ "Typed Alien", "Typed Alien", "Alien" }), titles);
    EXPECT_EQ("My Alien", StoredTitle(id));  // Cancel stores nothing
}

TEST_F(MainPageTest, SubtitlesEditIsEnabledExactlyWhileItsBoxIsChecked)
{
    // Per stored flag: enabled on opening, after a click on the box, after
    // a second click.
    for (BYTE flag : { 0, 1 }) {
        CMovie movie;
        StrSet(&movie.m_title, "Subtitled");
        StrSet(&movie.m_subtitles, "English");
        movie.m_hasSubtitles = flag;
        DWORD id = theCollection.AddMovie(&movie, false);
        std::vector<bool> enabled;
        Run(id, [&] {
            for (int click = 0; click < 3; click++) {
                if (click > 0)
                    SendDlgItemMessageA(Main(), IDC_MAIN_HAS_SUBTITLES, BM_CLICK, 0, 0);
                EXPECT_EQ(IsItemChecked(Main(), IDC_MAIN_HAS_SUBTITLES), (flag + click) % 2 == 1);
                enabled.push_back(IsItemEnabled(Main(), IDC_MAIN_SUBTITLES));
            }
        });
        bool on = flag != 0;
        EXPECT_EQ((std::vector<bool>{ on, !on, on }), enabled) << int(flag);
    }
}

TEST_F(MainPageTest, ResultListsFailuresAndMissingNamesAreAnswered)
{
    std::vector<std::string> texts;
    int choices = 0;
    HWND results = nullptr;
    Run(
        StoreMovie("Star"),
        [&] {
            Update();  // the results dialog: Cancel
            texts.push_back(Shown(IDC_MAIN_TITLE));
            Update();  // the results dialog: Star Wars, after its cover
            texts.push_back(Shown(IDC_MAIN_TITLE) + " " + Shown(IDC_MAIN_RUNTIME));
            SetItemText(Main(), IDC_MAIN_TITLE, "Nothing at all");
            Update();
            texts.push_back(AfxLastMessageBoxText());
            SetItemText(Main(), IDC_MAIN_ADDRESS, At("/Title?404").c_str());
            Update();
            texts.push_back(AfxLastMessageBoxText());
            texts.push_back(LastErrorBoxText().substr(0, 24));
            SetItemText(Main(), IDC_MAIN_ADDRESS, "");
            SetItemText(Main(), IDC_MAIN_TITLE, "");
            StrSet(&dlg.GetEditedMovie()->m_title, nullptr);
            Update();
            texts.push_back(AfxLastMessageBoxText());
        },
        [&](HWND other) {
            std::string caption = WindowCaption(other);
            if (caption == "Multiple results returned" && choices++ == 0) {
                PostClick(other, IDCANCEL);
            } else if (caption == "Multiple results returned") {
                results = other;
                HWND list = GetDlgItem(other, IDC_RESULTS_LIST);
                LRESULT line = SendMessageA(list, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("Star Wars (1977)"));
                SendMessageA(list, LB_SETCURSEL, WPARAM(line), 0);
                SendMessageA(other, WM_COMMAND, MAKEWPARAM(IDC_RESULTS_LIST, LBN_SELCHANGE), LPARAM(list));
                PostClick(other, IDC_RESULTS_SHOW_COVER);
            } else if (caption == "[93x130]") {  // the hit's cover, then the choice
                PostMessageA(other, WM_COMMAND, IDCANCEL, 0);
                Later([&results] { PostClick(results, IDOK); });
            }
        });
    EXPECT_EQ(2, choices);
    EXPECT_EQ((std::vector<std::string>{
                  "Star", "Star Wars 121", "Unable to find a movie with this name at IMDb.",
                  "Unable to perform search.\nAre the IMDB address correct ?\nAre you really connected to the internet ?",
                  "Unable to retrieve site.", "The movie must have a name so I can search for it." }),
              texts);
}

TEST_F(MainPageTest, CoverOperationsChangeAndTheSiteNote)
{
    for (int i = 0; i < 6; i++)
        StoreMovie("Movie");
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string plain = std::string(folder) + "vistrel-cover", text = plain + ".jpg", empty = plain + ".gif";
    std::string gif = ReadTestFile(std::string(VISTREL_TEST_DATA) + "/covers/cover_93x130.gif");
    std::ofstream(plain, std::ios::binary) << gif;
    std::ofstream(text, std::ios::binary) << "not a picture";
    std::ofstream(empty, std::ios::binary) << "";
    std::vector<std::string> results, captions;
    Run(
        2,
        [&] {
            CMovieMainPage* page = dlg.GetMainPage();
            for (const std::string& bad : { text, empty, plain + ".missing" }) {
                results.push_back(page->LoadCover(bad.c_str()) ? "loaded" : LastErrorBoxText());
            }
            Record().m_coverSizeClass = COVER_SIZE_SMALL;
            results.push_back(page->LoadCover(plain.c_str()) ? "loaded" : "refused");
            char* type = nullptr;
            page->GetCoverType(&type);
            results.push_back(type != nullptr ? type : "<none>");  // no extension: the data's own type
            free(type);
            results.push_back(std::to_string(Record().m_coverSizeClass));
            results.push_back(page->SaveCover((plain + ".saved").c_str()) ? "saved" : "unsaved");
            results.push_back(page->RemoveCover() && !page->HasCover() && !page->RemoveCover() ? "removed" : "kept");
            Command(Main(), IDC_MAIN_CHANGE_ID);
            results.push_back(Shown(IDC_MAIN_ID));
            Command(Main(), IDC_MAIN_WHAT_IS_IMDB);
        },
        [&](HWND other) {
            captions.push_back(WindowCaption(other));
            if (captions.back() == "Change ID") {
                HWND list = GetDlgItem(other, IDC_CHANGEID_LIST);
                SendMessageA(list, LB_SETCURSEL, WPARAM(SendMessageA(list, LB_GETCOUNT, 0, 0) - 1), 0);
                SendMessageA(other, WM_COMMAND, MAKEWPARAM(IDC_CHANGEID_LIST, LBN_SELCHANGE), LPARAM(list));
                SetItemText(other, IDC_CHANGEID_EDIT, "9");
            }
            PostClick(other, IDOK);
        });
    EXPECT_EQ((std::vector<std::string>{ "Unable to read image data", "Unable to read file or file empty",
                                         "Unable to open file " + plain + ".missing", "loaded", "gif", "0", "saved",
                                         "removed", "9" }),
              results);
    EXPECT_EQ(gif, ReadTestFile(plain + ".saved"));
    EXPECT_EQ((std::vector<std::string>{ "Change ID", "What is IMDb ?" }), captions);
    EXPECT_EQ(9u, dlg.GetEditedMovie()->m_id);
    for (const std::string& path : { plain, text, empty, plain + ".saved" })
        DeleteFileA(path.c_str());
}
