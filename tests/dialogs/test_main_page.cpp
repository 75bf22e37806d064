// The movie main page with the test site on 127.0.0.1: "Update from IMDb"
// by stored title, address or a chosen hit and its merge into the pages,
// the title and rating rules, its messages, the cover operations, Change
// and "What is IMDb ?".
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "../net/test_imdb_host.h"
#include "../net/test_imdb_site.h"
#include "test_movie_info.h"
#include "classlib/WinApp.h"
#include "core/ErrorBox.h"
#include "dialogs/MovieMainPage.h"
#include "net/ImdbSite.h"

namespace {

class MainPageTest : public CollectionTest {
protected:
    void SetUp() override
    {
        CollectionTest::SetUp();
        AfxSetMessageBoxRecording(true, IDOK);
        profile.SetInt("update", "askoverwrite", 0);
        SetImdbBaseAddress(TestImdbSite::Base().c_str());
    }
    void TearDown() override
    {
        SetImdbBaseAddress(nullptr);
        CollectionTest::TearDown();
    }
    // Runs the dialog on a copy of the stored movie; script plays the user
    // in the movie dialog, other dialogs go to others.
    INT_PTR Run(DWORD id, std::function<void(HWND)> script, std::function<void(HWND)> others = nullptr)
    {
        CMovie* source = theCollection.GetMovieCopy(id);
        dlg.SetMovie(nullptr, source, false);
        theCollection.ReleaseMovieCopy(&source);
        DialogDriver driver([&](HWND window) {
            if (WindowCaption(window).compare(0, 10, "Movie Info") == 0)
                script(window);
            else if (others)
                others(window);
        });
        return dlg.DoModal();
    }
    HWND Main() { return PageOf(dlg, CMovieInfoDlg::PAGE_MAIN); }
    CImdbInfo& Record() { return *dlg.GetEditedMovie()->m_imdbInfo; }
    std::string At(const char* path) const { return TestImdbSite::Base() + path; }

    ScopedProfile profile{ "MainPage" };
    CMovieInfoDlg dlg;
};

std::string TempFile(const char* name, const std::string& data)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string path = std::string(folder) + name;
    std::ofstream(path, std::ios::binary) << data;
    return path;
}

} // namespace

TEST_F(MainPageTest, UpdateSearchesByTheStoredTitleAndRefillsEveryPage)
{
    DWORD id = StoreMovie("Alien");
    TestImdbSite site;
    std::string title, year, director, runtime, address, tagline, rating;
    int castRows = 0;
    bool updateEnabled = false;
    EXPECT_EQ(IDOK, Run(id, [&](HWND window) {
        dlg.SelectPage(CMovieInfoDlg::PAGE_PLOT);
        dlg.SelectPage(CMovieInfoDlg::PAGE_ACTORS);
        dlg.SelectPage(CMovieInfoDlg::PAGE_MAIN);
        SetItemText(Main(), IDC_MAIN_TITLE, "");
        EXPECT_EQ("", ItemText(Main(), IDC_MAIN_YEAR));  // year 0 shows empty
        EXPECT_EQ("", ItemText(Main(), IDC_MAIN_RUNTIME));
        Command(Main(), IDC_MAIN_UPDATE);
        title = ItemText(Main(), IDC_MAIN_TITLE);
        year = ItemText(Main(), IDC_MAIN_YEAR);
        director = ItemText(Main(), IDC_MAIN_DIRECTOR);
        runtime = ItemText(Main(), IDC_MAIN_RUNTIME);
        address = ItemText(Main(), IDC_MAIN_ADDRESS);
        rating = ItemText(Main(), IDC_MAIN_RATE_TEXT);
        tagline = ItemText(PageOf(dlg, CMovieInfoDlg::PAGE_PLOT), IDC_PLOT_TAGLINE);
        castRows = int(SendDlgItemMessageA(PageOf(dlg, CMovieInfoDlg::PAGE_ACTORS), IDC_ACTORS_LIST,
                                           LVM_GETITEMCOUNT, 0, 0));
        updateEnabled = IsItemEnabled(Main(), IDC_MAIN_UPDATE);
        PostClick(window, IDC_MOVIEINFO_SAVE);
    }));
    dlg.SaveEditedMovie();
    ASSERT_FALSE(site.Requests().empty());
    EXPECT_EQ("GET /Tsearch?type=fuzzy&title=Alien", site.Requests()[0]);
    EXPECT_EQ("Alien", title);
    EXPECT_EQ("1979", year);
    EXPECT_EQ("Ridley Scott", director);
    EXPECT_EQ("117", runtime);
    EXPECT_EQ(At("/Title?0078748"), address);
    EXPECT_EQ("", rating);  // "overwrite" unset: the page keeps what it shows
    EXPECT_EQ("In space no one can hear you scream.\r\nThe perfect organism.", tagline);
    EXPECT_EQ(4, castRows);
    EXPECT_TRUE(updateEnabled);
    CMovie* stored = theCollection.GetMovieCopy(id);
    ASSERT_NE(nullptr, stored);
    EXPECT_EQ(1, stored->m_imdbInfo->m_complete);
    EXPECT_EQ(COVER_SIZE_LARGE, stored->m_imdbInfo->m_coverSizeClass);
    EXPECT_EQ(4u, stored->m_imdbInfo->GetCastCount());
    theCollection.ReleaseMovieCopy(&stored);
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
    std::vector<std::string> shownAfter;
    std::string keptTitle, recordTitle, takenTitle;
    EXPECT_EQ(IDCANCEL, Run(id, [&](HWND window) {
        SetItemText(Main(), IDC_MAIN_ADDRESS, At("/Title?0078748").c_str());
        for (const auto& r : ratings) {
            profile.SetInt("update", "overwrite", r.overwrite);
            Record().m_rating = r.stored;
            SetItemText(Main(), IDC_MAIN_RATE_TEXT, r.shown);
            Command(Main(), IDC_MAIN_UPDATE);
            shownAfter.push_back(ItemText(Main(), IDC_MAIN_RATE_TEXT));
        }
        // A typed title stays with "dont_update_title", and the record takes it.
        profile.SetInt("update", "dont_update_title", 1);
        SetItemText(Main(), IDC_MAIN_TITLE, "Typed Alien");
        Command(Main(), IDC_MAIN_UPDATE);
        keptTitle = ItemText(Main(), IDC_MAIN_TITLE);
        recordTitle = Record().m_title != nullptr ? Record().m_title : "";
        profile.SetInt("update", "dont_update_title", 0);
        Command(Main(), IDC_MAIN_UPDATE);
        takenTitle = ItemText(Main(), IDC_MAIN_TITLE);
        PostClick(window, IDCANCEL);
    }));
    ASSERT_EQ(4u, shownAfter.size());
    for (size_t i = 0; i < 4; i++)
        EXPECT_EQ(ratings[i].after, shownAfter[i]) << ratings[i].overwrite << " " << ratings[i].shown;
    EXPECT_EQ("Typed Alien", keptTitle);
    EXPECT_EQ("Typed Alien", recordTitle);
    EXPECT_EQ("Alien", takenTitle);
    EXPECT_EQ("My Alien", StoredTitle(id));  // Cancel stores nothing
}

TEST_F(MainPageTest, ResultListsFailuresAndMissingNamesAreAnswered)
{
    DWORD id = StoreMovie("Star");
    std::vector<std::string> boxes;
    std::string title, runtime, coverCaption;
    int choices = 0;
    HWND results = nullptr;
    EXPECT_EQ(IDCANCEL, Run(
        id,
        [&](HWND window) {
            Command(Main(), IDC_MAIN_UPDATE);  // the results dialog: Cancel
            EXPECT_EQ("Star", ItemText(Main(), IDC_MAIN_TITLE));
            Command(Main(), IDC_MAIN_UPDATE);  // the results dialog: Star Wars
            title = ItemText(Main(), IDC_MAIN_TITLE);
            runtime = ItemText(Main(), IDC_MAIN_RUNTIME);

            SetItemText(Main(), IDC_MAIN_ADDRESS, "");
            SetItemText(Main(), IDC_MAIN_TITLE, "Nothing at all");
            Command(Main(), IDC_MAIN_UPDATE);
            boxes.push_back(AfxLastMessageBoxText());
            SetItemText(Main(), IDC_MAIN_ADDRESS, At("/Title?404").c_str());
            Command(Main(), IDC_MAIN_UPDATE);
            boxes.push_back(AfxLastMessageBoxText());
            boxes.push_back(LastErrorBoxText().substr(0, 24));
            SetItemText(Main(), IDC_MAIN_ADDRESS, "");
            SetItemText(Main(), IDC_MAIN_TITLE, "");
            StrSet(&dlg.GetEditedMovie()->m_title, nullptr);
            Command(Main(), IDC_MAIN_UPDATE);
            boxes.push_back(AfxLastMessageBoxText());
            PostClick(window, IDCANCEL);
        },
        [&](HWND other) {
            std::string caption = WindowCaption(other);
            if (caption == "Multiple results returned") {
                if (choices++ == 0) {
                    PostClick(other, IDCANCEL);
                    return;
                }
                HWND list = GetDlgItem(other, IDC_RESULTS_LIST);
                LRESULT line = SendMessageA(list, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("Star Wars (1977)"));
                SendMessageA(list, LB_SETCURSEL, WPARAM(line), 0);
                SendMessageA(other, WM_COMMAND, MAKEWPARAM(IDC_RESULTS_LIST, LBN_SELCHANGE), LPARAM(list));
                results = other;
                PostClick(other, IDC_RESULTS_SHOW_COVER);
            } else if (caption.compare(0, 1, "[") == 0) {
                coverCaption = caption;  // the hit's cover, then the choice
                PostMessageA(other, WM_COMMAND, IDCANCEL, 0);
                Later([&results] { PostClick(results, IDOK); });
            }
        }));
    EXPECT_EQ(2, choices);
    EXPECT_EQ("[93x130]", coverCaption);
    EXPECT_EQ("Star Wars", title);
    EXPECT_EQ("121", runtime);
    std::vector<std::string> expected = {
        "Unable to find a movie with this name at IMDb.",
        "Unable to perform search.\nAre the IMDB address correct ?\nAre you really connected to the internet ?",
        "Unable to retrieve site.",
        "The movie must have a name so I can search for it.",
    };
    EXPECT_EQ(expected, boxes);
}

TEST_F(MainPageTest, CoverOperationsWorkOnTheRecordsCover)
{
    DWORD id = StoreMovie("Covered");
    std::string gif = ReadTestFile(std::string(VISTREL_TEST_DATA) + "/covers/cover_93x130.gif");
    std::string plain = TempFile("vistrel-cover", gif);
    std::string text = TempFile("vistrel-cover.jpg", "not a picture");
    std::string empty = TempFile("vistrel-empty.gif", "");
    std::string saved = std::string(plain) + "-saved.gif";
    std::vector<std::string> errors;
    bool loaded = false, savedOk = false, removed = false, removedAgain = true, hasAfter = true;
    std::string type;
    EXPECT_EQ(IDCANCEL, Run(id, [&](HWND window) {
        CMovieMainPage* page = dlg.GetMainPage();
        for (const std::string& bad : { text, empty, plain + ".missing" }) {
            EXPECT_FALSE(page->LoadCover(bad.c_str()));
            errors.push_back(LastErrorBoxText());
        }
        Record().m_coverSizeClass = COVER_SIZE_SMALL;
        loaded = page->LoadCover(plain.c_str());
        char* coverType = nullptr;
        page->GetCoverType(&coverType);
        type = coverType != nullptr ? coverType : "<none>";
        free(coverType);
        EXPECT_EQ(COVER_SIZE_UNKNOWN, Record().m_coverSizeClass);
        savedOk = page->SaveCover(saved.c_str());
        removed = page->RemoveCover();
        hasAfter = page->HasCover();
        removedAgain = page->RemoveCover();
        PostClick(window, IDCANCEL);
    }));
    EXPECT_EQ((std::vector<std::string>{ "Unable to read image data", "Unable to read file or file empty",
                                         "Unable to open file " + plain + ".missing" }),
              errors);
    EXPECT_TRUE(loaded);
    EXPECT_EQ("gif", type);  // no extension: the data's own type
    EXPECT_TRUE(savedOk);
    EXPECT_EQ(gif, ReadTestFile(saved));
    EXPECT_TRUE(removed);
    EXPECT_FALSE(hasAfter);
    EXPECT_FALSE(removedAgain);
    for (const std::string& path : { plain, text, empty, saved })
        DeleteFileA(path.c_str());
}

TEST_F(MainPageTest, ChangeAndTheSiteNoteOpenTheirDialogs)
{
    for (int i = 0; i < 6; i++)
        StoreMovie(("Movie " + std::to_string(i)).c_str());
    std::vector<std::string> captions;
    std::string shownId;
    EXPECT_EQ(IDCANCEL, Run(
        2,
        [&](HWND window) {
            Command(Main(), IDC_MAIN_CHANGE_ID);
            shownId = ItemText(Main(), IDC_MAIN_ID);
            Command(Main(), IDC_MAIN_WHAT_IS_IMDB);
            PostClick(window, IDCANCEL);
        },
        [&](HWND other) {
            captions.push_back(WindowCaption(other));
            if (captions.back() == "Change ID") {
                HWND list = GetDlgItem(other, IDC_CHANGEID_LIST);
                LRESULT last = SendMessageA(list, LB_GETCOUNT, 0, 0) - 1;
                SendMessageA(list, LB_SETCURSEL, WPARAM(last), 0);
                SendMessageA(other, WM_COMMAND, MAKEWPARAM(IDC_CHANGEID_LIST, LBN_SELCHANGE), LPARAM(list));
                SetItemText(other, IDC_CHANGEID_EDIT, "9");
            }
            PostClick(other, IDOK);
        }));
    EXPECT_EQ((std::vector<std::string>{ "Change ID", "What is IMDb ?" }), captions);
    EXPECT_EQ("9", shownId);
    EXPECT_EQ(9u, dlg.GetEditedMovie()->m_id);
}
