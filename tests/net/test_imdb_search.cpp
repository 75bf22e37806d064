// Finding a movie: the keywords rule and the requests a search makes on a
// site served from memory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ImdbInfo.h"
#include "core/StrUtil.h"
#include "net/ImdbSearch.h"
#include "test_imdb_host.h"

namespace {

std::string At(const char* path)
{
    return std::string(TestImdbHost::kBase) + path;
}

} // namespace

TEST(ImdbKeywords, TitleAndYearComeFromTheLastFittingParentheses)
{
    struct {
        const char* keywords;
        bool found;
        const char* title;
        WORD year;
    } cases[] = {
        { "Alien (1979)", true, "Alien", 1979 },         { "Alien   (1979) (Director's Cut)", true, "Alien", 1979 },
        { "Aliens (1986/I)", true, "Aliens", 1986 },     { "Name (1999) (TV) (V)", true, "Name", 1999 },
        { "Short (ab)", false, "Short (ab)", 7 },        { "No parentheses", false, "No parentheses", 7 },
        { "Open (1999", false, "Open (1999", 7 },        { "Mixed ) (1999", false, "Mixed ) (1999", 7 },
        { "(2001)", true, "", 2001 },                    { "Words (abcd)", true, "Words", 0 },
    };
    for (const auto& c : cases) {
        std::string title;
        WORD year = 7;
        EXPECT_EQ(c.found, ImdbKeywordsTitle(c.keywords, &title, &year)) << c.keywords;
        EXPECT_EQ(c.title, title) << c.keywords;
        EXPECT_EQ(c.year, year) << c.keywords;
    }
}

TEST_F(ImdbTest, SearchesMakeTheirRequestsAndFollowASingleMovie)
{
    // Found at once: one search, then the movie's own pages.
    CImdbInfo alien;
    ASSERT_TRUE(GetInfo(alien, host, "Alien", true, false, -1, false));
    EXPECT_EQ("Alien", std::string(alien.m_title));
    EXPECT_EQ(1979, alien.m_year);
    EXPECT_EQ((std::vector<std::string>{ At("/Tsearch?type=fuzzy&title=Alien"), At("/Taglines?0078748"),
                                         At("/Plot?0078748"), At("/Credits?0078748"),
                                         At("/covers/cover_300x475.jpg") }),
              host.requests);

    // Both searches list one movie: it is followed.
    host.requests.clear();
    CImdbInfo aliens;
    ASSERT_TRUE(GetInfo(aliens, host, "Aliens", true, false, -1, false));
    EXPECT_EQ((std::vector<std::string>{ At("/Tsearch?type=fuzzy&title=Aliens"),
                                         At("/Find select=Titles&Go.x=1&Go.y=16&for=Aliens"), At("/Title?0090605"),
                                         At("/covers/cover_93x130.gif") }),
              host.requests);
    EXPECT_EQ(1, aliens.m_complete);
    EXPECT_EQ("Aliens", std::string(aliens.m_title));
    EXPECT_EQ("Ripley goes back, with marines.", std::string(aliens.m_plot));
    EXPECT_EQ("", std::string(aliens.m_address));

    // Several hits go back merged, without duplicates; blanks are encoded.
    CImdbInfo star;
    star.m_complete = 1;
    ASSERT_TRUE(GetInfo(star, host, "Star", false, false, -1, false));
    EXPECT_EQ(0, star.m_complete);
    EXPECT_EQ(5u, star.m_hits.size());
    EXPECT_EQ("Multiple results returned...", host.status);
    CImdbInfo none;
    EXPECT_TRUE(GetInfo(none, host, "Nothing at all", true, false, -1, false));
    EXPECT_TRUE(none.m_hits.empty());
    size_t made = host.requests.size();
    EXPECT_FALSE(GetInfo(none, host, "", true, false, -1, false));
    EXPECT_FALSE(GetInfo(none, host, nullptr, true, false, -1, false));
    EXPECT_EQ(made, host.requests.size());
    EXPECT_TRUE(host.shown.empty());
}

TEST_F(ImdbTest, ResultListsThatLeadToThemselvesEndWithTheirHit)
{
    CImdbInfo record;
    EXPECT_TRUE(GetInfo(record, host, "Loop", true, false, -1, false));
    ASSERT_EQ(1u, record.m_hits.size());
    EXPECT_EQ(At("/Tsearch?type=fuzzy&title=Loop"), record.m_hits[0]->m_address);
    EXPECT_LE(host.requests.size(), 4u);
    // An address that lists itself is not fetched a third time.
    host.requests.clear();
    CImdbInfo again;
    EXPECT_TRUE(GetInfo(again, host, At("/Tsearch?type=fuzzy&title=Loop").c_str(), true, false, -1, true));
    EXPECT_EQ(1u, again.m_hits.size());
    EXPECT_LE(host.requests.size(), 2u);
}

TEST_F(ImdbTest, FailedRequestsAreShownOnlyWhenAskedAndChangeNothing)
{
    CImdbInfo record;
    StrSet(&record.m_title, "Kept");
    record.m_year = 1990;
    EXPECT_FALSE(GetInfo(record, host, "Unknown", false, false, -1, false));
    EXPECT_TRUE(host.shown.empty());
    EXPECT_FALSE(GetInfo(record, host, At("/Title?404").c_str(), true, false, -1, true));
    EXPECT_EQ(std::vector<std::string>{ "Unable to retrieve site.\r\nError(s) returned:\r\n404 - Not Found " +
                                        At("/Title?404") + "\r\n" },
              host.shown);
    // A title page that can't be read leaves title and year alone.
    host.AddPage("/Title?bad", "<meta name=keywords content=\"Bad (2000)\"><b>Directed by</b> x");
    EXPECT_FALSE(GetInfo(record, host, At("/Title?bad").c_str(), false, false, -1, true));
    EXPECT_EQ("Kept", std::string(record.m_title));
    EXPECT_EQ(1990, record.m_year);
    EXPECT_EQ(0, record.m_complete);
}
