// The collection store: copies and hand-backs, ids, removal, renumbering.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "core/ErrorBox.h"
#include "core/MediaFormat.h"
#include "core/MediaFormatInfo.h"
#include "core/MovieChangeLog.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"

namespace {

DWORD AddMovie(CMovieCollection& c, const char* title, DWORD id = NO_ID,
               std::vector<DWORD> files = {})
{
    CMovie movie(id);
    StrSet(&movie.m_title, title);
    movie.m_fileIds = files;
    return c.AddMovie(&movie, id != NO_ID);
}

DWORD AddFile(CMovieCollection& c, const char* name)
{
    CMovieFile file;
    StrSet(&file.m_fileName, name);
    StrSet(&file.m_movieTitle, name);
    return c.AddFile(&file);
}

DWORD AddDisc(CMovieCollection& c, const char* serial, std::vector<DWORD> files)
{
    CDisc disc;
    StrSet(&disc.m_serialNumber, serial);
    StrSet(&disc.m_name, "MOVIES");
    disc.m_fileIds = files;
    return c.AddDisc(&disc, false);
}

std::string TitleOf(CMovieCollection& c, DWORD id)
{
    CMovie* movie = c.GetMovieCopy(id);
    if (movie == NULL)
        return "(none)";
    std::string title = movie->m_title ? movie->m_title : "";
    c.ReleaseMovieCopy(&movie);
    return title;
}

std::vector<DWORD> FilesOf(CMovieCollection& c, DWORD movieId)
{
    CMovie* movie = c.GetMovieCopy(movieId);
    std::vector<DWORD> files = movie ? movie->m_fileIds : std::vector<DWORD>();
    c.ReleaseMovieCopy(&movie);
    return files;
}

std::vector<DWORD> MovieIds(CMovieCollection& c)
{
    std::vector<DWORD> ids;
    for (DWORD id = c.GetNextIdOfMovie(NO_ID); id != NO_ID; id = c.GetNextIdOfMovie(id))
        ids.push_back(id);
    return ids;
}

std::vector<DWORD> LoanedMovies(CMovieCollection& c, DWORD personId)
{
    CPerson* person = c.GetPersonCopy(personId);
    std::vector<DWORD> ids;
    if (person != NULL) {
        for (const CLoan& loan : person->m_loans)
            ids.push_back(loan.m_movieId);
    }
    c.ReleasePersonCopy(&person);
    return ids;
}

DWORD AddBorrower(CMovieCollection& c, std::vector<DWORD> movieIds)
{
    CPerson person;
    StrSet(&person.m_name, "Ann");
    for (DWORD id : movieIds)
        person.AddLoan(id);
    return c.AddPerson(&person);
}

class CollectionTest : public ::testing::Test {
protected:
    void SetUp() override { SetErrorBoxRecording(true); }
    CMovieCollection c;
};

TEST_F(CollectionTest, SharedCopyIsAppliedOnEveryHandBack)
{
    CMovieChangeLog log(&c);
    DWORD id = AddMovie(c, "Alien");
    log.Reset();

    CMovie* first = c.GetMovieCopy(id);
    CMovie* second = c.GetMovieCopy(id);
    ASSERT_TRUE(first != NULL);
    EXPECT_EQ(first, second);

    StrSet(&first->m_title, "Aliens");
    c.ReleaseMovieCopy(&first);
    EXPECT_TRUE(first == NULL);
    std::vector<DWORD> changed;
    EXPECT_EQ(1u, log.GetChanged(changed));

    // The second holder still has a live copy; its hand-back applies again
    // and destroys it.
    StrSet(&second->m_title, "Alien 3");
    c.ReleaseMovieCopy(&second);
    EXPECT_TRUE(second == NULL);
    EXPECT_EQ("Alien 3", TitleOf(c, id));

    // An unchanged copy notes nothing.
    log.Reset();
    CMovie* unchanged = c.GetMovieCopy(id);
    c.ReleaseMovieCopy(&unchanged);
    EXPECT_EQ(0u, log.GetChanged(changed));

    // A pointer that was never handed out is left alone.
    CMovie local;
    CMovie* stranger = &local;
    c.ReleaseMovieCopy(&stranger);
    EXPECT_EQ(&local, stranger);
}

TEST_F(CollectionTest, FreshCollectionIsSavedAndEmpty)
{
    EXPECT_TRUE(c.IsSaved());
    EXPECT_TRUE(c.GetFileName().empty());
    EXPECT_EQ(NO_ID, c.GetNextIdOfMovie(NO_ID));
    EXPECT_EQ(NO_ID, c.GetIdOfLastMovie());
    EXPECT_TRUE(c.GetMovieCopy(0) == NULL);
    AddMovie(c, "Heat");
    EXPECT_FALSE(c.IsSaved());
    EXPECT_EQ(1u, c.GetMovieCount());
}

TEST_F(CollectionTest, TitleChangeRewritesFilesOfTheMovie)
{
    DWORD f1 = AddFile(c, "heat_cd1.avi");
    DWORD f2 = AddFile(c, "heat_cd2.avi");
    DWORD other = AddFile(c, "ronin.avi");
    DWORD id = AddMovie(c, "Heat", NO_ID, { f1, f2 });

    CMovie* movie = c.GetMovieCopy(id);
    StrSet(&movie->m_title, "Heat (1995)");
    c.ReleaseMovieCopy(&movie);

    for (DWORD fileId : { f1, f2 }) {
        CMovieFile* file = c.GetFileCopy(fileId);
        EXPECT_STREQ("Heat (1995)", file->m_movieTitle);
        c.ReleaseFileCopy(&file);
    }
    CMovieFile* file = c.GetFileCopy(other);
    EXPECT_STREQ("ronin.avi", file->m_movieTitle);
    c.ReleaseFileCopy(&file);
}

TEST_F(CollectionTest, IdsFollowTheLastAndFillTheFirstGapAtTheLimit)
{
    EXPECT_EQ(0u, AddMovie(c, "a"));
    EXPECT_EQ(1u, AddMovie(c, "b"));
    EXPECT_EQ(7u, AddMovie(c, "g", 7));
    EXPECT_EQ(4u, AddMovie(c, "d", 4));   // kept ids go in id order
    EXPECT_EQ(8u, AddMovie(c, "h"));
    EXPECT_EQ((std::vector<DWORD>{ 0, 1, 4, 7, 8 }), MovieIds(c));
    EXPECT_EQ(7u, c.GetNextIdOfMovie(5));
    EXPECT_EQ(NO_ID, c.GetNextIdOfMovie(8));

    CMovieCollection full;
    for (DWORD id : { 0u, 1u, 2u, 5u, 0xFFFFFFF4u })
        AddMovie(full, "x", id);
    EXPECT_EQ(3u, AddMovie(full, "gap"));
    EXPECT_EQ(4u, AddMovie(full, "gap"));
    EXPECT_EQ(6u, AddMovie(full, "gap"));
    EXPECT_EQ((std::vector<DWORD>{ 0, 1, 2, 3, 4, 5, 6, 0xFFFFFFF4 }), MovieIds(full));
    EXPECT_EQ("gap", TitleOf(full, 3));
    EXPECT_EQ(0xFFFFFFF4u, full.GetIdOfLastMovie());
}

TEST_F(CollectionTest, RemovingFilesUpdatesDiscsAndMovies)
{
    CMovieChangeLog log(&c);
    DWORD f1 = AddFile(c, "a.avi");
    DWORD f2 = AddFile(c, "b.avi");
    DWORD f3 = AddFile(c, "c.avi");
    DWORD disc1 = AddDisc(c, "1111-1111", { f1, f2 });
    DWORD disc2 = AddDisc(c, "2222-2222", { f3 });
    DWORD movie = AddMovie(c, "Both", NO_ID, { f1, f2, f3 });

    CMovie* byFile = c.GetMovieCopyByFile(f3);
    ASSERT_TRUE(byFile != NULL);
    EXPECT_EQ(movie, byFile->m_id);
    c.ReleaseMovieCopy(&byFile);
    CDisc* discByFile = c.GetDiscCopyByFile(f3);
    ASSERT_TRUE(discByFile != NULL);
    EXPECT_EQ(disc2, discByFile->m_id);
    c.ReleaseDiscCopy(&discByFile);

    log.Reset();
    c.RemoveFile(f1);
    EXPECT_TRUE(c.GetFileCopy(f1) == NULL);
    EXPECT_EQ((std::vector<DWORD>{ f2, f3 }), FilesOf(c, movie));
    std::vector<DWORD> changed;
    EXPECT_EQ(1u, log.GetChanged(changed));
    EXPECT_EQ(2u, c.GetDiscCount());

    // The last file of a disc takes the disc with it.
    c.RemoveFile(f2);
    EXPECT_EQ(1u, c.GetDiscCount());
    EXPECT_TRUE(c.GetDiscCopy(disc1) == NULL);

    // Removing a disc removes its files from the store and the movie.
    c.RemoveDisc(disc2);
    EXPECT_EQ(0u, c.GetDiscCount());
    EXPECT_TRUE(c.GetFileCopy(f3) == NULL);
    EXPECT_TRUE(FilesOf(c, movie).empty());
    EXPECT_EQ("Both", TitleOf(c, movie));
}

TEST_F(CollectionTest, RemovingAMovieDropsItsLoansAndOutstandingCopies)
{
    CMovieChangeLog log(&c);
    DWORD a = AddMovie(c, "A");
    DWORD b = AddMovie(c, "B");
    DWORD ann = AddBorrower(c, { a, b, a });

    CMovie* held = c.GetMovieCopy(a);
    c.RemoveMovie(a);
    EXPECT_EQ((std::vector<DWORD>{ b }), LoanedMovies(c, ann));
    EXPECT_EQ((std::vector<DWORD>{ b }), MovieIds(c));
    std::vector<DWORD> removed;
    EXPECT_EQ(1u, log.GetRemoved(removed));
    EXPECT_EQ(a, removed[0]);

    // The holder may still read its copy; handing it back stores nothing.
    EXPECT_STREQ("A", held->m_title);
    c.ReleaseMovieCopy(&held);
    EXPECT_TRUE(held == NULL);
    EXPECT_EQ((std::vector<DWORD>{ b }), MovieIds(c));

    c.RemovePerson(ann);
    EXPECT_TRUE(c.GetPersonCopy(ann) == NULL);
}

TEST_F(CollectionTest, FindBorrowerSeesOnlyOpenLoans)
{
    DWORD movie = AddMovie(c, "A");
    DWORD ann = AddBorrower(c, { movie });
    DWORD bob = AddBorrower(c, { 9, movie });
    CPerson* person = c.GetPersonCopy(ann);
    person->ReturnLoan(movie);
    c.ReleasePersonCopy(&person);

    int index = -5;
    CPerson* borrower = c.FindBorrower(movie, &index);
    ASSERT_TRUE(borrower != NULL);
    EXPECT_EQ(bob, borrower->m_id);
    EXPECT_EQ(1, index);
    c.ReleasePersonCopy(&borrower);
    EXPECT_TRUE(c.FindBorrower(42, &index) == NULL);
    EXPECT_EQ(-1, index);
}

TEST_F(CollectionTest, RenumberWithExchangeSwapsMoviesAndLoans)
{
    AddMovie(c, "M0");
    AddMovie(c, "M1");
    AddMovie(c, "M2");
    DWORD ann = AddBorrower(c, { 0, 2, 1 });

    c.RenumberMovie(0, 2, true);
    EXPECT_EQ("M0", TitleOf(c, 2));
    EXPECT_EQ("M2", TitleOf(c, 0));
    EXPECT_EQ("M1", TitleOf(c, 1));
    EXPECT_EQ((std::vector<DWORD>{ 2, 0, 1 }), LoanedMovies(c, ann));

    // To a free id: a plain move.
    c.RenumberMovie(1, 10, true);
    EXPECT_EQ((std::vector<DWORD>{ 0, 2, 10 }), MovieIds(c));
    EXPECT_EQ((std::vector<DWORD>{ 2, 0, 10 }), LoanedMovies(c, ann));

    // Equal ids and a missing movie change nothing and show nothing.
    int shown = ErrorBoxCount();
    c.RenumberMovie(2, 2, true);
    c.RenumberMovie(5, 6, true);
    EXPECT_EQ(shown, ErrorBoxCount());
    EXPECT_EQ((std::vector<DWORD>{ 0, 2, 10 }), MovieIds(c));
}

TEST_F(CollectionTest, RenumberWithoutExchangeMovesTheRunUp)
{
    for (int i = 0; i < 5; i++)
        AddMovie(c, ("M" + std::to_string(i)).c_str());
    AddMovie(c, "M7", 7);
    DWORD ann = AddBorrower(c, { 0, 1, 2, 3, 4, 7 });
    CMovieChangeLog log(&c);

    // Ids 1..3 move up to 2..4; the moving movie's own id 4 is reused.
    c.RenumberMovie(4, 1, false);
    EXPECT_EQ((std::vector<DWORD>{ 0, 1, 2, 3, 4, 7 }), MovieIds(c));
    EXPECT_EQ("M4", TitleOf(c, 1));
    EXPECT_EQ("M1", TitleOf(c, 2));
    EXPECT_EQ("M3", TitleOf(c, 4));
    EXPECT_EQ((std::vector<DWORD>{ 0, 2, 3, 4, 1, 7 }), LoanedMovies(c, ann));
    std::vector<DWORD> ids;
    EXPECT_EQ(0u, log.GetRemoved(ids));
    EXPECT_EQ(4u, log.GetChanged(ids));

    // A run that ends below a free id: 0..4 move to 1..5.
    c.RenumberMovie(7, 0, false);
    EXPECT_EQ((std::vector<DWORD>{ 0, 1, 2, 3, 4, 5 }), MovieIds(c));
    EXPECT_EQ("M7", TitleOf(c, 0));
    EXPECT_EQ("M0", TitleOf(c, 1));
    EXPECT_EQ("M3", TitleOf(c, 5));
    EXPECT_EQ((std::vector<DWORD>{ 1, 3, 4, 5, 2, 0 }), LoanedMovies(c, ann));
}

TEST_F(CollectionTest, ClearEmptiesTheStoreAndAsksForAReload)
{
    CMovieChangeLog log(&c);
    DWORD id = AddMovie(c, "A", NO_ID, { AddFile(c, "a.avi") });
    AddBorrower(c, { id });
    CMovie* held = c.GetMovieCopy(id);
    c.Clear();
    EXPECT_TRUE(log.IsReloadAll());
    EXPECT_EQ(0u, c.GetMovieCount());
    EXPECT_EQ(NO_ID, c.GetNextIdOfFile(NO_ID));
    EXPECT_EQ(NO_ID, c.GetNextIdOfPerson(NO_ID));
    StrSet(&held->m_title, "B");
    c.ReleaseMovieCopy(&held);
    EXPECT_EQ(0u, c.GetMovieCount());
    EXPECT_EQ(0u, AddMovie(c, "fresh"));
}

TEST_F(CollectionTest, SameDiscTwiceIsAddedWhenNotAsked)
{
    int shown = ErrorBoxCount();
    EXPECT_EQ(0u, AddDisc(c, "1A2B-3C4D", {}));
    EXPECT_EQ(1u, AddDisc(c, "1A2B-3C4D", {}));
    EXPECT_EQ(shown, ErrorBoxCount());
    EXPECT_EQ(2u, c.GetDiscCount());
    EXPECT_EQ(1u, c.GetNextIdOfDisc(0));
}

TEST_F(CollectionTest, SecondCollectionIsIndependentOfTheGlobalOne)
{
    theCollection.Clear();
    AddMovie(c, "Only here");
    EXPECT_EQ(0u, theCollection.GetMovieCount());
    EXPECT_TRUE(theCollection.GetMovieCopy(0) == NULL);
    CMovie* mine = c.GetMovieCopy(0);
    theCollection.ReleaseMovieCopy(&mine);  // not the global's copy
    EXPECT_TRUE(mine != NULL);
    c.ReleaseMovieCopy(&mine);
    EXPECT_TRUE(mine == NULL);
}

TEST_F(CollectionTest, WorkersTakeAndHandBackCopiesWhileMoviesAreAdded)
{
    for (int i = 0; i < 50; i++)
        AddMovie(c, "start");
    std::vector<std::thread> workers;
    for (int w = 0; w < 4; w++) {
        workers.emplace_back([this, w]() {
            for (int round = 0; round < 300; round++) {
                DWORD id = DWORD((round * 7 + w) % 50);
                CMovie* movie = c.GetMovieCopy(id);
                if (movie == NULL)
                    continue;
                movie->m_seen = BYTE(round & 1);
                c.ReleaseMovieCopy(&movie);
                c.GetNextIdOfMovie(id);
            }
        });
    }
    for (int i = 0; i < 200; i++)
        AddMovie(c, "more");
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(250u, c.GetMovieCount());
}

} // namespace

// A kept id that is already stored is refused; the same-disc question goes
// through the program's one message-box path, so tests answer it.
TEST(CollectionIds, KeptIdsAreUniqueAndTheDiscQuestionIsAnswered)
{
    SetErrorBoxRecording(true);
    CMovieCollection c;
    CMovie movie;
    movie.m_id = 7;
    EXPECT_EQ(7u, c.AddMovie(&movie, true));
    EXPECT_EQ(NO_ID, c.AddMovie(&movie, true));
    EXPECT_EQ(1u, c.GetMovieCount());

    CDisc disc;
    StrSet(&disc.m_name, "THE_MATRIX");
    StrSet(&disc.m_serialNumber, "1A2B-3C4D");
    EXPECT_NE(NO_ID, c.AddDisc(&disc, true));
    SetRecordedAnswer(IDCANCEL);
    EXPECT_EQ(NO_ID, c.AddDisc(&disc, true));
    EXPECT_EQ(0u, LastErrorBoxText().find("A CD-ROM/DVD with the same serial number and name already exist"));
    SetRecordedAnswer(IDOK);
    EXPECT_NE(NO_ID, c.AddDisc(&disc, true));
    EXPECT_EQ(2u, c.GetDiscCount());
}

// Copies are shared between takers on one thread only; a copy out on
// another thread is never read by the store, and ids of files removed
// meanwhile are not written back by its hand-back.
TEST(CollectionThreads, CopiesOfOtherThreadsStayTheirOwn)
{
    CMovieCollection c;
    CMovieFile file;
    DWORD fileId = c.AddFile(&file);
    CMovie movie;
    movie.m_fileIds.push_back(fileId);
    DWORD id = c.AddMovie(&movie, false);

    CMovie* mine = c.GetMovieCopy(id);
    CMovie* again = c.GetMovieCopy(id);
    EXPECT_EQ(mine, again);
    CMovie* theirs = NULL;
    std::thread([&] { theirs = c.GetMovieCopy(id); }).join();
    EXPECT_NE(mine, theirs);

    StrSet(&theirs->m_title, "Other thread");
    c.RemoveFile(fileId);
    c.ReleaseMovieCopy(&again);
    c.ReleaseMovieCopy(&mine);
    std::thread([&] { c.ReleaseMovieCopy(&theirs); }).join();
    CMovie* stored = c.GetMovieCopy(id);
    EXPECT_STREQ("Other thread", stored->m_title);
    EXPECT_TRUE(stored->m_fileIds.empty());
    c.ReleaseMovieCopy(&stored);
}

// A movie takes the language of its first file's audio, and keeps it when
// later files speak another one.
TEST(MovieFiles, TheFirstFileSetsTheLanguage)
{
    theCollection.Clear();
    auto addFile = [](const char* language) {
        MediaFormat format;
        InitMediaFormat(format);
        AudioStreamInfo* audio = static_cast<AudioStreamInfo*>(malloc(sizeof(AudioStreamInfo)));
        InitAudioStreamInfo(*audio);
        StrSet(&audio->language, language);
        format.audioStreams = static_cast<AudioStreamInfo**>(malloc(sizeof(AudioStreamInfo*)));
        format.audioStreams[0] = audio;
        format.audioCount = 1;
        format.selectedAudio = 0;
        StrSet(&format.kindName, "AVI");
        CMovieFile file;
        file.m_mediaInfo.reset(new CMediaFormatInfo);
        file.m_mediaInfo->SetFormat(&format);
        FreeMediaFormat(format);
        return theCollection.AddFile(&file);
    };
    DWORD german = addFile("German");
    DWORD english = addFile("English");
    CMovie movie;
    StrSet(&movie.m_language, "French");
    ASSERT_TRUE(movie.AddFile(german, true));
    EXPECT_STREQ("German", movie.m_language);
    ASSERT_TRUE(movie.AddFile(english, true));
    EXPECT_STREQ("German", movie.m_language);
    theCollection.Clear();
}
