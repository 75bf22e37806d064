// Comparing two catalogues and copying movies between them, on real
// collections.
#include <gtest/gtest.h>

#include "core/ErrorBox.h"
#include "core/StrUtil.h"
#include "dialogs/CompareCollections.h"

namespace {

DWORD AddMovie(CMovieCollection& c, const char* title, std::vector<DWORD> files = {}, DWORD id = NO_ID)
{
    CMovie movie;
    StrSet(&movie.m_title, title);
    movie.m_fileIds = files;
    if (id != NO_ID)
        movie.m_id = id;
    return c.AddMovie(&movie, id != NO_ID);
}

DWORD AddFile(CMovieCollection& c, const char* name)
{
    CMovieFile file;
    StrSet(&file.m_folder, "\\movies\\");
    StrSet(&file.m_fileName, name);
    return c.AddFile(&file);
}

DWORD AddDisc(CMovieCollection& c, const char* name, std::vector<DWORD> files)
{
    CDisc disc;
    StrSet(&disc.m_name, name);
    StrSet(&disc.m_serialNumber, name);
    disc.m_fileIds = files;
    return c.AddDisc(&disc, false);
}

std::vector<std::string> Texts(const std::vector<CompareEntry>& entries)
{
    std::vector<std::string> texts;
    for (const CompareEntry& e : entries)
        texts.push_back(e.text);
    return texts;
}

const std::atomic<bool> kGo(false);

} // namespace

TEST(CompareCollections, PartnersByExactTextEachTakingOneAndTokensReadTheirOwnCatalogue)
{
    CMovieCollection current, other, empty, empty2;
    long last = -1;
    CompareResult none = CompareCollections(empty, empty2, "%movie_name", kGo, [&](long done) { last = done; });
    EXPECT_TRUE(none.onlyCurrent.empty() && none.onlyOther.empty());
    EXPECT_EQ(-1, last);

    AddMovie(current, "Alien");
    AddMovie(current, "Alien");
    AddMovie(current, "Brazil");
    AddMovie(other, "alien");
    AddMovie(other, "Alien");
    AddMovie(other, "Casino");
    CompareResult self = CompareCollections(current, current, "%movie_name", kGo, nullptr);
    EXPECT_TRUE(self.onlyCurrent.empty() && self.onlyOther.empty());

    CompareResult result = CompareCollections(current, other, "%movie_name", kGo, [&](long done) { last = done; });
    EXPECT_EQ(6, last);
    // One "Alien" took the other's; the second stays; case makes "alien" new.
    EXPECT_EQ((std::vector<std::string>{ "Alien", "Brazil" }), Texts(result.onlyCurrent));
    EXPECT_EQ(1u, result.onlyCurrent[0].movieId);
    EXPECT_EQ((std::vector<std::string>{ "alien", "Casino" }), Texts(result.onlyOther));

    // Files named by a movie are looked up in the movie's own catalogue.
    CMovieCollection a, b;
    AddMovie(a, "X", { AddFile(a, "one.avi") });
    AddMovie(b, "X", { AddFile(b, "two.avi") });
    CompareResult byFile = CompareCollections(a, b, "%movie_file1_path", kGo, nullptr);
    ASSERT_EQ(1u, byFile.onlyOther.size());
    EXPECT_NE(std::string::npos, byFile.onlyOther[0].text.find("two.avi"));
}

TEST(CompareCollections, CopiesWholeMoviesBringingEachDiscOnce)
{
    SetErrorBoxRecording(true);
    CMovieCollection source, destination;
    DWORD f1 = AddFile(source, "part1.avi");
    DWORD f2 = AddFile(source, "part2.avi");
    DWORD extra = AddFile(source, "extra.avi");
    AddDisc(source, "DISC1", { f1, f2, extra });
    DWORD two = AddMovie(source, "Two parts", { f1, f2 });
    DWORD alone = AddMovie(source, "No files", {}, 40);
    AddMovie(destination, "Taken", {}, two);

    std::vector<DWORD> copied = CopyMovies(source, destination, { two, alone, 99 });
    EXPECT_EQ((std::vector<DWORD>{ two, alone }), copied);
    EXPECT_EQ(1u, destination.GetDiscCount());
    EXPECT_EQ(3u, destination.GetMovieCount());
    // The free id is kept; the taken one gives a new id.
    CMovie* kept = destination.GetMovieCopy(40);
    ASSERT_NE(nullptr, kept);
    EXPECT_STREQ("No files", kept->m_title);
    destination.ReleaseMovieCopy(&kept);
    CMovie* moved = destination.GetMovieCopy(1);
    ASSERT_NE(nullptr, moved);
    ASSERT_EQ(2u, moved->GetFileCount());
    CDisc* disc = destination.GetDiscCopyByFile(moved->m_fileIds[1]);
    ASSERT_NE(nullptr, disc);
    EXPECT_EQ(3u, disc->GetFileCount());
    EXPECT_EQ(disc->m_fileIds[0], moved->m_fileIds[0]);
    destination.ReleaseDiscCopy(&disc);
    destination.ReleaseMovieCopy(&moved);
    DWORD files = 0;
    for (DWORD id = destination.GetNextIdOfFile(NO_ID); id != NO_ID; id = destination.GetNextIdOfFile(id))
        files++;
    EXPECT_EQ(3u, files);

    // Refusing the look-alike disc copies nothing of the movie.
    SetRecordedAnswer(IDCANCEL);
    CMovieCollection again;
    AddDisc(again, "DISC1", {});
    EXPECT_TRUE(CopyMovies(source, again, { two }).empty());
    EXPECT_EQ(0u, again.GetMovieCount());
    EXPECT_EQ(1u, again.GetDiscCount());
    EXPECT_EQ(NO_ID, again.GetNextIdOfFile(NO_ID));
    SetRecordedAnswer(IDOK);
}
