// The movie information dialog: edits on its pages reach the catalogue only
// through Save and the write-back, Cancel and Remove save nothing, a new
// movie and its loan, read-only mode on another catalogue, and the
// write-back when the catalogue changed under the dialog.
#include <gtest/gtest.h>

#include "test_movie_info.h"
#include "classlib/WinApp.h"
#include "core/MovieChangeLog.h"
#include "dialogs/MovieMainPage.h"

namespace {

DWORD StorePerson(const char* name, CMovieCollection& collection = theCollection)
{
    CPerson person;
    StrSet(&person.m_name, name);
    return collection.AddPerson(&person);
}

void Lend(DWORD personId, DWORD movieId, CMovieCollection& collection = theCollection)
{
    CPerson* person = collection.GetPersonCopy(personId);
    person->AddLoan(movieId);
    person->m_loans.back().m_borrowed.m_time = SYSTEMTIME{ 2003, 4, 0, 5, 12, 0, 0, 0 };
    collection.ReleasePersonCopy(&person);
}

// The movie ids of the person's open loans.
std::vector<DWORD> OpenLoans(DWORD personId)
{
    std::vector<DWORD> ids;
    CPerson* person = theCollection.GetPersonCopy(personId);
    for (const CLoan& loan : person->m_loans) {
        if (loan.IsOpen())
            ids.push_back(loan.m_movieId);
    }
    theCollection.ReleasePersonCopy(&person);
    return ids;
}

// Chooses the first person in the loan dialog; then runs next.
void ChooseBorrower(HWND window, std::function<void()> next)
{
    SelectLine(window, IDC_PERSONS_LIST, 0);
    PostClick(window, IDOK);
    Later(next);
}

class MovieInfoTest : public CollectionTest {
protected:
    void SetUp() override
    {
        CollectionTest::SetUp();
        AfxSetMessageBoxRecording(true, IDOK);
    }
    ScopedProfile profile{ "MovieInfo" };
};

} // namespace

TEST_F(MovieInfoTest, EditsReachTheCatalogueOnlyThroughSave)
{
    DWORD alpha = StoreMovie("Alpha", 1999);
    StoreMovie("Bravo", 2001);
    DWORD part1 = StoreFile("alpha cd1.avi", 1);
    DWORD extra = StoreFile("alpha extra.avi", -1);
    CMovie* movie = theCollection.GetMovieCopy(alpha);
    movie->AddFile(part1, true);
    movie->AddFile(extra, true);
    StrSet(&movie->m_mediaTypeName, "Avi");
    movie->m_imdbInfo->AddCastEntry("Ann Lee", "Herself");
    theCollection.ReleaseMovieCopy(&movie);
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string saved = std::string(folder) + "movie-info-test.vdb";
    ASSERT_TRUE(theCollection.Save(saved.c_str(), false));
    CMovieChangeLog log(&theCollection);
    PaintedList list;

    // Edits on every page, a file taken off and another's part number
    // changed; the first time cancelled, then saved.
    for (bool save : { false, true }) {
        CMovieInfoDlg dlg;
        OpenOn(dlg, alpha);
        HWND files = NULL;
        DialogDriver driver([&](HWND window) {
            std::string caption = WindowCaption(window);
            if (caption == "Actor") {
                SetItemText(window, IDC_ACTOR_NAME, "Bo Dee");
                SendMessageA(window, WM_COMMAND, IDOK, 0);  // no character: refused
                EXPECT_FALSE(IsItemEnabled(window, IDOK));
                SetItemText(window, IDC_ACTOR_CHARACTER, "The Cook");
                PostClick(window, IDOK);
                Later([&] { PostClick(files, IDC_FILES_EDIT); });
            } else if (caption == "Edit file") {
                SetItemText(window, IDC_EDITFILE_COUNT, "7");
                PostClick(window, IDOK);
                // Keys in a page act on the dialog: Tab goes on to the next
                // control, Enter saves, Esc cancels.
                Later([&] {
                    HWND title = GetDlgItem(PageOf(dlg, CMovieInfoDlg::PAGE_MAIN), IDC_MAIN_TITLE);
                    SetFocus(title);
                    PostMessageA(title, WM_KEYDOWN, VK_TAB, 0);
                });
                Later([&] {
                    EXPECT_EQ(IDC_MAIN_ID, GetDlgCtrlID(GetFocus()));
                    PostMessageA(GetFocus(), WM_KEYDOWN, save ? VK_RETURN : VK_ESCAPE, 0);
                });
            } else {
                HWND main = PageOf(dlg, CMovieInfoDlg::PAGE_MAIN);
                SetItemText(main, IDC_MAIN_TITLE, "Zulu");
                EXPECT_EQ("Movie Info - Zulu", WindowCaption(window));
                SetItemText(main, IDC_MAIN_YEAR, "99999");
                SetItemText(main, IDC_MAIN_RUNTIME, "4294967299");
                SetItemText(PageOf(dlg, CMovieInfoDlg::PAGE_PLOT), IDC_PLOT_TAGLINE, "Run.");
                files = PageOf(dlg, CMovieInfoDlg::PAGE_FILES);
                EXPECT_EQ((std::vector<std::string>{ "(1) alpha cd1.avi", "alpha extra.avi" }),
                          ListLines(GetDlgItem(files, IDC_FILES_LIST)));
                SetItemText(files, IDC_FILES_TYPE, "Avi");  // the media-type name: no type of its own
                SelectLine(files, IDC_FILES_LIST, 1);
                Command(files, IDC_FILES_REMOVE);
                EXPECT_EQ(0u, AfxLastMessageBoxText().find("This change will not be saved"));
                SelectLine(files, IDC_FILES_LIST, 0);
                PostClick(PageOf(dlg, CMovieInfoDlg::PAGE_ACTORS), IDC_ACTORS_ADD);
            }
        });
        ASSERT_EQ(save ? IDOK : IDCANCEL, dlg.DoModal());
        EXPECT_EQ(3, driver.Count());
        if (save) {
            dlg.SaveToDatabase(&list.view, list.view.GetEntry(0), 0);
            continue;
        }
        EXPECT_EQ("Alpha", StoredTitle(alpha));
        EXPECT_EQ(1, PartNumber(part1));
        EXPECT_TRUE(theCollection.IsSaved());
        std::vector<DWORD> changed;
        EXPECT_EQ(0u, log.GetChanged(changed));
    }

    movie = theCollection.GetMovieCopy(alpha);
    EXPECT_STREQ("Zulu", movie->m_title);
    EXPECT_EQ(65535, movie->m_imdbInfo->m_year);  // held at the limits, not wrapped
    EXPECT_EQ(4294967295u, movie->m_imdbInfo->m_runtime);
    EXPECT_STREQ("Run.", movie->m_imdbInfo->m_tagline);
    ASSERT_EQ(2u, movie->m_imdbInfo->GetCastCount());
    EXPECT_STREQ("The Cook", movie->m_imdbInfo->m_cast[1]->m_character);
    EXPECT_EQ(nullptr, movie->m_customType);
    EXPECT_EQ(std::vector<DWORD>{ part1 }, movie->m_fileIds);
    theCollection.ReleaseMovieCopy(&movie);
    EXPECT_EQ(7, PartNumber(part1));
    EXPECT_EQ(-1, PartNumber(extra));  // taken off the movie, still stored
    std::vector<DWORD> changed;
    EXPECT_EQ(std::vector<DWORD>{ alpha }, (log.GetChanged(changed), changed));
    // The renamed entry was laid out again and sorted after Bravo.
    EXPECT_EQ((std::vector<DWORD>{ 1, alpha }), list.Movies());
    DeleteFileA(saved.c_str());
}

TEST_F(MovieInfoTest, RemoveSavesNoPageAndANewMovieNeedsATitle)
{
    DWORD alpha = StoreMovie("Alpha");
    StoreMovie("Bravo");
    DWORD pat = StorePerson("Pat");
    PaintedList list;

    CMovieInfoDlg remove;
    OpenOn(remove, alpha);
    DialogDriver removing([&](HWND window) {
        SetItemText(PageOf(remove, CMovieInfoDlg::PAGE_MAIN), IDC_MAIN_TITLE, "Typed");
        PostClick(window, IDC_MOVIEINFO_REMOVE);
    });
    ASSERT_EQ(IDOK, remove.DoModal());
    EXPECT_EQ("This will remove all info stored about the movie.", AfxLastMessageBoxText());
    EXPECT_STREQ("Alpha", remove.GetEditedMovie()->m_title);  // no page saved
    remove.SaveToDatabase(&list.view, list.view.GetEntry(0), 0);
    EXPECT_EQ("<none>", StoredTitle(alpha));
    EXPECT_EQ(std::vector<DWORD>{ 1 }, list.Movies());

    CMovieInfoDlg create;
    create.SetMovie(nullptr, nullptr, true);  // a new movie is never read-only
    DialogDriver creating([&](HWND window) {
        if (WindowCaption(window) == "Loan this movie") {
            ChooseBorrower(window, [&] { PostClick(create.m_hWnd, IDC_MOVIEINFO_SAVE); });
            return;
        }
        HWND main = PageOf(create, CMovieInfoDlg::PAGE_MAIN);
        HWND files = PageOf(create, CMovieInfoDlg::PAGE_FILES);
        EXPECT_EQ("Movie Info - [no title]", WindowCaption(window));
        EXPECT_EQ("Create", ItemText(window, IDC_MOVIEINFO_SAVE));
        EXPECT_EQ("Set ID", ItemText(main, IDC_MAIN_CHANGE_ID));
        EXPECT_FALSE(IsItemVisible(window, IDC_MOVIEINFO_REMOVE));
        EXPECT_FALSE(IsItemEnabled(window, IDC_MOVIEINFO_SAVE));
        EXPECT_FALSE(IsItemEnabled(files, IDC_FILES_ADD));
        SendMessageA(window, WM_COMMAND, IDOK, 0);  // Enter: nothing without a title
        SetItemText(main, IDC_MAIN_TITLE, "Charlie");
        EXPECT_TRUE(IsItemEnabled(window, IDC_MOVIEINFO_SAVE));
        EXPECT_TRUE(IsItemEnabled(files, IDC_FILES_ADD));
        PostClick(main, IDC_MAIN_BORROWED);
    });
    ASSERT_EQ(IDOK, create.DoModal());
    EXPECT_FALSE(create.IsReadOnly());
    create.SaveToDatabase(&list.view, nullptr, kNoEntry);
    EXPECT_EQ("Charlie", StoredTitle(2));
    EXPECT_EQ((std::vector<DWORD>{ 1, 2 }), list.Movies());
    EXPECT_EQ(std::vector<DWORD>{ 2 }, OpenLoans(pat));  // under the id the catalogue gave
}

TEST_F(MovieInfoTest, ReadOnlyOnAnotherCatalogueSavesNothing)
{
    CMovieCollection other;
    StoreMovie("Not this one");
    DWORD id = StoreMovie("Elsewhere", 0, other);
    DWORD file = StoreFile("elsewhere.avi", 0, other);
    Lend(StorePerson("Pat", other), id, other);
    CMovie* source = other.GetMovieCopy(id);
    source->AddFile(file, true);
    source->m_imdbInfo->AddCastEntry("Ann Lee", "Herself");
    other.ReleaseMovieCopy(&source);

    CMovieInfoDlg dlg;
    OpenOn(dlg, id, other, true);
    DialogDriver driver([&](HWND window) {
        EXPECT_FALSE(IsItemVisible(window, IDC_MOVIEINFO_SAVE));
        EXPECT_FALSE(IsItemVisible(window, IDC_MOVIEINFO_REMOVE));
        HWND main = PageOf(dlg, CMovieInfoDlg::PAGE_MAIN);
        EXPECT_EQ("Pat is borrowing this movie since 2003-04-05.", ItemText(main, IDC_MAIN_LOAN_TEXT));
        EXPECT_FALSE(IsItemEnabled(main, IDC_MAIN_RETURNED));
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(main, IDC_MAIN_TITLE), GWL_STYLE) & ES_READONLY);

        HWND actors = PageOf(dlg, CMovieInfoDlg::PAGE_ACTORS);
        LVITEMA state = {};
        state.stateMask = state.state = LVIS_SELECTED;
        SendDlgItemMessageA(actors, IDC_ACTORS_LIST, LVM_SETITEMSTATE, 0, LPARAM(&state));
        for (int button : { IDC_ACTORS_ADD, IDC_ACTORS_EDIT, IDC_ACTORS_REMOVE, IDC_ACTORS_REMOVE_ALL,
                            IDC_ACTORS_UP, IDC_ACTORS_DOWN })
            EXPECT_FALSE(IsItemEnabled(actors, button)) << button;
        EXPECT_TRUE(IsItemEnabled(actors, IDC_ACTORS_SHOW_IMDB));

        // The file of the other catalogue, not one of theCollection.
        HWND files = PageOf(dlg, CMovieInfoDlg::PAGE_FILES);
        EXPECT_EQ(std::vector<std::string>{ "(0) elsewhere.avi" }, ListLines(GetDlgItem(files, IDC_FILES_LIST)));
        for (int button : { IDC_FILES_ADD, IDC_FILES_EDIT, IDC_FILES_REMOVE })
            EXPECT_FALSE(IsItemEnabled(files, button)) << button;
        EXPECT_TRUE(IsItemEnabled(files, IDC_FILES_MORE_INFO));
        SendMessageA(window, WM_COMMAND, IDOK, 0);  // Enter closes as Cancel does
    });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ("Not this one", StoredTitle(0));
}

TEST_F(MovieInfoTest, WriteBackFollowsWhatTheCatalogueDidMeanwhile)
{
    DWORD alpha = StoreMovie("Alpha");
    DWORD bravo = StoreMovie("Bravo");
    DWORD charlie = StoreMovie("Charlie");
    DWORD pat = StorePerson("Pat");
    DWORD sam = StorePerson("Sam");
    Lend(pat, alpha);
    Lend(sam, bravo);
    PaintedList list;

    // Runs the dialog on the stored movie: script plays the user, then Save.
    auto edit = [&](DWORD id, std::function<void(CMovieInfoDlg&)> script) {
        std::unique_ptr<CMovieInfoDlg> dlg(new CMovieInfoDlg);
        OpenOn(*dlg, id);
        DialogDriver driver([&](HWND window) {
            script(*dlg);
            PostClick(window, IDC_MOVIEINFO_SAVE);
        });
        EXPECT_EQ(IDOK, dlg->DoModal());
        return dlg;
    };

    // "Is returned" closes Pat's loan when the movie is saved.
    edit(alpha, [](CMovieInfoDlg& dlg) { Command(PageOf(dlg, CMovieInfoDlg::PAGE_MAIN), IDC_MAIN_RETURNED); })
        ->SaveEditedMovie();
    EXPECT_TRUE(OpenLoans(pat).empty());

    // Exchanging ids with another movie: both entries show their new ids,
    // and Sam's loan follows Bravo.
    edit(alpha, [&](CMovieInfoDlg& dlg) { dlg.GetMainPage()->ApplyChangedId(bravo, true); })
        ->SaveToDatabase(&list.view, list.view.GetEntry(0), 0);
    EXPECT_EQ("Alpha", StoredTitle(bravo));
    EXPECT_EQ("Bravo", StoredTitle(alpha));
    EXPECT_EQ((std::vector<DWORD>{ bravo, alpha, charlie }), list.Movies());
    EXPECT_EQ(std::vector<DWORD>{ alpha }, OpenLoans(sam));

    // Making place moves the run of ids up: the list is filled again, so
    // no entry shows another movie.
    edit(charlie, [&](CMovieInfoDlg& dlg) { dlg.GetMainPage()->ApplyChangedId(alpha, false); })
        ->SaveToDatabase(&list.view, list.view.GetEntry(2), 2);
    EXPECT_EQ("Charlie", StoredTitle(0));
    EXPECT_EQ("Alpha", StoredTitle(2));
    EXPECT_EQ((std::vector<DWORD>{ 2, 1, 0 }), list.Movies());

    // A movie removed while its dialog was open gets no record, and the
    // borrower chosen for it no loan.
    CMovieInfoDlg lend;
    OpenOn(lend, 2);
    DialogDriver lending([&](HWND window) {
        if (WindowCaption(window) != "Loan this movie") {
            PostClick(PageOf(lend, CMovieInfoDlg::PAGE_MAIN), IDC_MAIN_BORROWED);
            return;
        }
        ChooseBorrower(window, [&] {
            theCollection.RemoveMovie(2);
            PostClick(lend.m_hWnd, IDC_MOVIEINFO_SAVE);
        });
    });
    ASSERT_EQ(IDOK, lend.DoModal());
    EXPECT_EQ(pat, lend.GetMainPage()->GetShownBorrower());
    lend.SaveEditedMovie();
    EXPECT_EQ(2u, theCollection.GetMovieCount());
    EXPECT_TRUE(OpenLoans(pat).empty());

    // A new movie keeps only the files still stored.
    DWORD kept = StoreFile("kept.avi", -1);
    DWORD gone = StoreFile("gone.avi", -1);
    CMovieInfoDlg create;
    create.SetMovie(nullptr, nullptr, false);
    DialogDriver driver([&](HWND window) {
        SetItemText(PageOf(create, CMovieInfoDlg::PAGE_MAIN), IDC_MAIN_TITLE, "Delta");
        create.GetEditedMovie()->AddFile(kept, true);
        create.GetEditedMovie()->AddFile(gone, true);
        theCollection.RemoveFile(gone);
        PostClick(window, IDC_MOVIEINFO_SAVE);
    });
    ASSERT_EQ(IDOK, create.DoModal());
    create.SaveEditedMovie();
    CMovie* added = theCollection.GetMovieCopy(2);
    ASSERT_NE(nullptr, added);
    EXPECT_EQ(std::vector<DWORD>{ kept }, added->m_fileIds);
    theCollection.ReleaseMovieCopy(&added);
}
