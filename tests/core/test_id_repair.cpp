// The repair of a loaded catalogue's ids, through files that repeat ids or
// name files twice, and the walk over ids in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include "core/ErrorBox.h"
#include "core/IdOrder.h"
#include "core/MovieCollection.h"
#include "VdbBytes.h"

namespace fs = std::filesystem;

namespace {

const char kRemoved[] = " reference(s) to missing records were removed.";
const char kRenumbered[] = " record(s) repeating an id were given a new one.";
const char kDropped[] = " record(s) repeating an id were dropped.";

// Loads the bytes; what the load's one message says after what could not be
// read.
std::string Load(CMovieCollection& c, const Bytes& file)
{
    // Named for the process: other test runs may share the folder.
    fs::path path = fs::temp_directory_path() / ("ids-" + std::to_string(getpid()) + ".vdb");
    std::ofstream(path, std::ios::binary | std::ios::trunc) << file.data;
    SetErrorBoxRecording(true);
    int before = ErrorBoxCount();
    EXPECT_TRUE(c.Load(path.string().c_str()));
    fs::remove(path);
    if (ErrorBoxCount() != before + 1)
        return std::to_string(ErrorBoxCount() - before) + " messages";
    const std::string& text = LastErrorBoxText();
    const std::string read = " could not be read; ";
    size_t from = text.find(read) + read.size();
    return text.substr(from, text.find("\n\nAt the next save") - from);
}

std::string Hex(DWORD id)
{
    char text[16];
    snprintf(text, sizeof text, " %x", unsigned(id));
    return text;
}

std::string Listed(const std::vector<DWORD>& ids)
{
    std::string text;
    for (DWORD id : ids)
        text += Hex(id);
    return " [" + text.substr(std::min<size_t>(1, text.size())) + "]";
}

// " id text" for every record of a kind, walked in id order.
template <class T>
std::string Walk(CMovieCollection& c, DWORD (CMovieCollection::*next)(DWORD), T* (CMovieCollection::*get)(DWORD),
                 void (CMovieCollection::*release)(T**), std::string (*show)(const T&))
{
    std::string text;
    for (DWORD id = (c.*next)(NO_ID), last = NO_ID; id != NO_ID && (last == NO_ID || id > last);
         last = id, id = (c.*next)(id)) {
        T* record = (c.*get)(id);
        text += Hex(id) + show(*record);
        (c.*release)(&record);
    }
    return text;
}

// "movies 0 Alpha [0]; discs 0 [0]; persons 1 Bob [f4]": file ids, and the
// movies of a person's loans.
std::string Describe(CMovieCollection& c)
{
    typedef CMovieCollection C;
    return "movies" + Walk<CMovie>(c, &C::GetNextIdOfMovie, &C::GetMovieCopy, &C::ReleaseMovieCopy,
                                   [](const CMovie& m) { return " " + std::string(m.m_title) + Listed(m.m_fileIds); }) +
           "; discs" + Walk<CDisc>(c, &C::GetNextIdOfDisc, &C::GetDiscCopy, &C::ReleaseDiscCopy,
                                   [](const CDisc& d) { return Listed(d.m_fileIds); }) +
           "; persons" + Walk<CPerson>(c, &C::GetNextIdOfPerson, &C::GetPersonCopy, &C::ReleasePersonCopy,
                                       [](const CPerson& p) {
                                           std::vector<DWORD> movies;
                                           for (const CLoan& loan : p.m_loans)
                                               movies.push_back(loan.m_movieId);
                                           return " " + std::string(p.m_name) + Listed(movies);
                                       });
}

// After the repair a file belongs to at most one movie and one disc, the
// first that names it (a record keeping its id before one that repeats it);
// the other references go and are counted. A record repeating an id takes
// any free id, the gaps below the first record included, and the records
// stay in id order. The loans of every person repeating an id are checked
// like the first one's.
TEST(IdRepair, FilesStayWithTheirFirstOwnerAndRepeatedIdsTakeAnyFreeId)
{
    const struct {
        const char* what;
        NewestFile file;
        std::string said;
        const char* repaired;
    } rows[] = {
        { "two files of one id, in two movies and on two discs",
          NewestFile(2, 2, 2, 0).Disc(0, { 0 }).Disc(1, { 0 }).Movie(0, { 0 }, "Alpha").Movie(1, { 0 }, "Bravo")
              .File(0, "ALPHA.AVI").File(0, "BRAVO.AVI"),
          std::string("2") + kRemoved + " 1" + kDropped,
          "movies 0 Alpha [0] 1 Bravo []; discs 0 [0] 1 []; persons" },
        { "three files of one id in five movie lists, one of them twice, and on three discs",
          NewestFile(3, 6, 5, 0).Disc(0, { 6, 5 }).Disc(1, { 5, 7 }).Disc(2, { 5 })
              .Movie(0, { 7, 5, 5 }, "A").Movie(1, { 5, 8 }, "B").Movie(2, { 5 }, "C").Movie(3, { 5 }, "D")
              .Movie(4, { 6 }, "E").Movie(4, { 6, 9 }, "F").File(5, "a").File(5, "b").File(5, "c").File(6).File(7),
          std::string("9") + kRemoved + " 1" + kRenumbered + " 2" + kDropped,
          "movies 0 A [7 5] 1 B [] 2 C [] 3 D [] 4 E [6] 5 F []; discs 0 [6 5] 1 [7] 2 []; persons" },
        { "ids repeated at the top of the range",
          NewestFile(0, 3, 0, 3).Movie(0xFFFFFFF3, {}, "F3").Movie(0xFFFFFFF4, {}, "F4").Movie(0xFFFFFFF4, {}, "G4")
              .Person(0xFFFFFFFE, { 0xFFFFFFF3, 50 }, "Ann").Person(0xFFFFFFFE, { 0xFFFFFFF4, 60 }, "Bob")
              .Person(0xFFFFFFFE, {}, "Cy"),
          std::string("2") + kRemoved + " 3" + kRenumbered,
          "movies 0 G4 [] fffffff3 F3 [] fffffff4 F4 []; discs; persons 0 Bob [fffffff4] 1 Cy [] fffffffe Ann [fffffff3]" },
        { "ids after the last one up to the limit, then the gaps",
          NewestFile(0, 4, 0, 0).Movie(0xFFFFFFF2, {}, "F2").Movie(0xFFFFFFF3, {}, "F3")
              .Movie(0xFFFFFFF3, {}, "G3").Movie(0xFFFFFFF3, {}, "H3"),
          std::string("0") + kRemoved + " 2" + kRenumbered,
          "movies 0 G3 [] fffffff2 F2 [] fffffff3 F3 [] fffffff4 H3 []; discs; persons" },
    };
    for (const auto& row : rows) {
        CMovieCollection c;
        EXPECT_EQ(row.said, Load(c, row.file)) << row.what;
        EXPECT_EQ(row.repaired, Describe(c)) << row.what;
    }
}

// Once the last id is at the limit, the free ids are still handed out in one
// pass: 160,000 discs repeating id 0 beside one at 0xFFFFFFF4 load in a
// second or two, where a search from the start for each takes over ten
// minutes.
TEST(IdRepair, ManyRepeatedIdsAtTheLimitLoadInOnePass)
{
    const uint32_t repeats = 160000;
    NewestFile discs(repeats + 1, 0, 0, 0);
    for (uint32_t i = 0; i < repeats; i++)
        discs.Disc(0, {});
    discs.Disc(0xFFFFFFF4, {});
    CMovieCollection c;
    EXPECT_EQ("0" + std::string(kRemoved) + " " + std::to_string(repeats - 1) + kRenumbered, Load(c, discs));
    ASSERT_EQ(repeats + 1, c.GetDiscCount());
    EXPECT_EQ(repeats - 1, c.GetNextIdOfDisc(repeats - 2));
    EXPECT_EQ(0xFFFFFFF4u, c.GetNextIdOfDisc(repeats - 1));
}

// The walk over ids steps past every record of an equal id.
TEST(IdOrder, WalkStepsPastEqualIds)
{
    std::vector<std::unique_ptr<CMovie>> list;
    for (DWORD id : { 1u, 3u, 3u, 3u, 7u, 0xFFFFFFFEu, 0xFFFFFFFEu })
        list.emplace_back(new CMovie(id));
    std::vector<DWORD> walk;
    for (DWORD id = NextId(list, NO_ID); id != NO_ID && walk.size() < 10; id = NextId(list, id))
        walk.push_back(id);
    EXPECT_EQ((std::vector<DWORD>{ 1, 3, 7, 0xFFFFFFFE }), walk);
    EXPECT_EQ(3u, NextId(list, 2));
    EXPECT_EQ(NO_ID, NextId(std::vector<std::unique_ptr<CMovie>>(), NO_ID));
}

} // namespace
